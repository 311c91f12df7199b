#include "WholeFile.h"

#include <windows.h>

#include "Handles.h"

namespace QOR { namespace FrontEnd { namespace WholeFile {

bool Read(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    const Util::unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (bytes.empty() ||
        (ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size()))
        return true;
    bytes.clear();
    return false;
}

}}} // namespace QOR::FrontEnd::WholeFile
