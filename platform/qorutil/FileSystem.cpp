#include "FileSystem.h"

#include <vector>

namespace QOR { namespace FrontEnd { namespace Util { namespace FileSystem {

namespace {

// Calls a "fill this buffer" API until the buffer is large enough.
template <typename Fill>
std::string Read_Growing(Fill fill)
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        if (buffer.size() >= 32768)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string Module_File_Name(HINSTANCE module)
{
    return Read_Growing([module](char* buffer, DWORD size) {
        const DWORD length = GetModuleFileNameA(module, buffer, size);
        return length >= size ? size : length; // truncated: ask for more room
    });
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
    return Read_Growing([&path](char* buffer, DWORD size) {
        return GetFullPathNameA(path.c_str(), size, buffer, nullptr);
    });
}

std::string Full_Path(const std::string& path, std::string& folder, std::string& name)
{
    const std::string full = Full_Path(path);
    const size_t separator = full.find_last_of("\\/");
    folder = separator == std::string::npos ? std::string() : full.substr(0, separator + 1);
    name = separator == std::string::npos ? full : full.substr(separator + 1);
    return full;
}

std::string Get_Module_Directory(HINSTANCE module)
{
    const std::string file = Module_File_Name(module);
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
    return Read_Growing([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

bool Set_Current_Directory(const std::string& path)
{
    return !path.empty() && SetCurrentDirectoryA(path.c_str()) != FALSE;
}

}}}} // namespace QOR::FrontEnd::Util::FileSystem
