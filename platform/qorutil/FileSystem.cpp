#include "FileSystem.h"

#include <shlobj.h>

#include <algorithm>

#include "Handles.h"
#include "ReplaceFile.h"
#include "SystemText.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace FileSystem {

namespace {

std::wstring Folder_Of(const std::wstring& path)
{
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? L"." : path.substr(0, separator + 1);
}

// Creates the folders of the target's path that are missing: a new profile has
// no client folder until the first landscape is saved into it.
bool Create_Folders_Of(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(Folder_Of(path).c_str(), ARRAYSIZE(full), full, nullptr);
    if (length == 0 || length >= ARRAYSIZE(full))
        return false;
    const int result = SHCreateDirectoryExW(nullptr, full, nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

// A temporary file beside a target, gone at the end of the scope unless it was
// renamed into the target.
class TemporaryFile
{
public:
    explicit TemporaryFile(const std::wstring& target)
    {
        wchar_t name[MAX_PATH] = {};
        if (GetTempFileNameW(Folder_Of(target).c_str(), L"qor", 0, name))
            m_path = name;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
    }
    const std::wstring& Path() const { return m_path; }
    // It has become the target: nothing is left to delete.
    void Renamed() { m_path.clear(); }

private:
    std::wstring m_path;
};

// Writes `bytes` into the file and proves that they are there. The flush comes
// before the rename: a rename makes durable only what already reached the disk,
// and MOVEFILE_WRITE_THROUGH flushes only a move that has to copy.
bool Write_Proven(const std::wstring& path, const std::string& bytes)
{
    const unique_hfile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const size_t most = 1 << 20;
    for (size_t done = 0; done < bytes.size();) {
        const DWORD wanted = static_cast<DWORD>(std::min(bytes.size() - done, most));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, wanted, &written, nullptr) || written != wanted)
            return false;
        done += written;
    }
    LARGE_INTEGER size{};
    return FlushFileBuffers(file.get()) && GetFileSizeEx(file.get(), &size) &&
           static_cast<unsigned long long>(size.QuadPart) == bytes.size();
}

} // namespace

bool File_Exists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Full_Path(const std::string& path)
{
    if (path.empty())
        return std::string();
    const std::wstring wide = QOR::FrontEnd::SystemText::From_Ansi(path);
    return QOR::FrontEnd::SystemText::Read_Ansi(
        [&wide](wchar_t* buffer, DWORD size) { return GetFullPathNameW(wide.c_str(), size, buffer, nullptr); });
}

std::string Full_Path(const std::string& path, std::string& folder, std::string& name)
{
    std::string full = Full_Path(path);
    const size_t separator = full.find_last_of("\\/");
    folder = separator == std::string::npos ? std::string() : full.substr(0, separator + 1);
    name = separator == std::string::npos ? full : full.substr(separator + 1);
    return full;
}

std::string Get_Module_Directory(HINSTANCE module)
{
    const std::string file = QOR::FrontEnd::SystemText::Module_File_Name(module);
    const size_t separator = file.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : file.substr(0, separator);
}

std::string Get_DLL_Path(HINSTANCE module, const std::string& name)
{
    const std::string folder = Get_Module_Directory(module);
    return folder.empty() ? std::string() : folder + "\\" + name;
}

std::string Get_Current_Directory()
{
    return QOR::FrontEnd::SystemText::Read_Ansi(
        [](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

bool Set_Current_Directory(const std::string& path)
{
    return !path.empty() && SetCurrentDirectoryA(path.c_str()) != FALSE;
}

bool Replace_File(const std::wstring& path, const std::string& bytes)
{
    if (!Create_Folders_Of(path))
        return false;
    TemporaryFile temporary(path);
    if (temporary.Path().empty() || !Write_Proven(temporary.Path(), bytes) ||
        !MoveFileExW(temporary.Path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    temporary.Renamed();
    return true;
}

}}}} // namespace QOR::FrontEnd::Util::FileSystem
