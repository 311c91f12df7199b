#include "LandscapeFileCopy.h"

#include <windows.h>

#include "FileSystem.h"
#include "Handles.h"
#include "ScopeExit.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace LandscapeFileCopy {

namespace {

bool Size_Of(HANDLE file, LARGE_INTEGER& size) { return file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size); }

// The copy has as many bytes as its source and they are on the disk.
bool Whole_And_Flushed(const std::string& from, const std::string& copy)
{
    const Util::unique_hfile source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const Util::unique_hfile target(CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER expected{}, copied{};
    return Size_Of(source.get(), expected) && Size_Of(target.get(), copied) && expected.QuadPart == copied.QuadPart &&
           FlushFileBuffers(target.get());
}

} // namespace

bool Copy(const std::string& from, const std::string& to, bool overwrite)
{
    std::string folder, name;
    Util::FileSystem::Full_Path(to, folder, name);
    char temporary[MAX_PATH] = {};
    if (folder.empty() || !GetTempFileNameA(folder.c_str(), "qor", 0, temporary))
        return false;
    auto remove = Util::scope_exit([&temporary] { DeleteFileA(temporary); });
    const DWORD replace = overwrite ? MOVEFILE_REPLACE_EXISTING : 0;
    if (!CopyFileA(from.c_str(), temporary, FALSE) || !Whole_And_Flushed(from, temporary) ||
        !MoveFileExA(temporary, to.c_str(), replace | MOVEFILE_WRITE_THROUGH))
        return false;
    remove.release();
    return true;
}

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::LandscapeFileCopy
