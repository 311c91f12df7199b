#include "TraceFile.h"

#include <windows.h>

#include <cstdio>

#include "FileSystem.h"
#include "QorUtil.h"

namespace Admin { namespace TraceFile {

std::string Folder()
{
    char folder[MAX_PATH] = {};
    if (InitTraceDir(folder))
        return folder;
    const std::string library =
        QOR::FrontEnd::Util::FileSystem::Get_Module_File_Name(GetModuleHandleA("landscape_migration.dll"));
    return library.substr(0, library.find_last_of('\\'));
}

// The file is named after the thread of the first trace request: the main thread here.
std::string Written()
{
    char name[64];
    std::snprintf(name, sizeof(name), "\\landscape_migration_%.4d_%.4d.trc", static_cast<int>(GetCurrentProcessId()),
                  static_cast<int>(GetCurrentThreadId()));
    const std::string path = Folder() + name;
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : path;
}

}} // namespace Admin::TraceFile
