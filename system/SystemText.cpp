#include "SystemText.h"

namespace QOR { namespace FrontEnd { namespace SystemText {

// The conversion is checked by converting back: a character that the code page
// lacks comes back as '?' or as a "best fit" look-alike, and either differs.
bool To_Ansi(const std::wstring& wide, std::string& ansi)
{
    ansi.clear();
    if (wide.empty())
        return true;
    const int count = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    std::string converted(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), count, &converted[0], size, nullptr, nullptr);
    if (From_Ansi(converted) != wide)
        return false;
    ansi = std::move(converted);
    return true;
}

std::wstring From_Ansi(const std::string& ansi)
{
    if (ansi.empty())
        return std::wstring();
    const int count = static_cast<int>(ansi.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), count, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), count, &wide[0], size);
    return wide;
}

Status Environment_Variable(const char* name, std::string& value)
{
    value.clear();
    const std::wstring wideName = From_Ansi(name ? name : "");
    std::wstring wide;
    SetLastError(ERROR_SUCCESS);
    const bool read = Read_Wide(
        [&wideName](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(wideName.c_str(), buffer, size); },
        wide);
    if (!read)
        // A variable set to empty text reads as length 0 without an error.
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND || wideName.empty() ? Status::Missing : Status::Found;
    return To_Ansi(wide, value) ? Status::Found : Status::Not_In_Code_Page;
}

std::string Windows_Directory()
{
    return Read_Ansi(
        [](wchar_t* buffer, DWORD size) { return static_cast<DWORD>(GetWindowsDirectoryW(buffer, size)); });
}

std::string Module_File_Name(HMODULE module)
{
    return Read_Ansi([module](wchar_t* buffer, DWORD size) {
        const DWORD length = GetModuleFileNameW(module, buffer, size);
        return length >= size ? size : length; // truncated: ask for more room
    });
}

std::string Error_Text(DWORD code)
{
    std::wstring wide;
    Read_Wide(
        [code](wchar_t* buffer, DWORD size) {
            const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                                code, 0, buffer, size, nullptr);
            return length ? length : (GetLastError() == ERROR_INSUFFICIENT_BUFFER ? size : 0);
        },
        wide);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
        wide.pop_back();
    std::string text;
    To_Ansi(wide, text);
    return (text.empty() ? "" : text + " ") + "(error " + std::to_string(code) + ")";
}

}}} // namespace QOR::FrontEnd::SystemText
