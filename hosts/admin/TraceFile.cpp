#include "TraceFile.h"

#include <windows.h>

#include <cstdio>

#include "FileSystem.h"
#include "QorLogonSettings.h"
#include "QorUtil.h"

namespace Admin { namespace TraceFile {

// The file is named after the thread of the first trace request: the main thread here.
std::string Path()
{
    char name[64];
    std::snprintf(name, sizeof(name), "\\landscape_migration_%.4d_%.4d.trc", static_cast<int>(GetCurrentProcessId()),
                  static_cast<int>(GetCurrentThreadId()));
    return Folder() + name;
}

std::string Folder()
{
    char folder[MAX_PATH] = {};
    if (InitTraceDir(folder))
        return folder;
    const std::string library =
        QOR::FrontEnd::Util::FileSystem::Get_Module_File_Name(GetModuleHandleA("landscape_migration.dll"));
    return library.substr(0, library.find_last_of('\\'));
}

std::string Written()
{
    const std::string path = Path();
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : path;
}

void Keep_Folder_Beyond_Registry()
{
    char folder[MAX_PATH] = {};
    if (InitTraceDir(folder))
        SetEnvironmentVariableA(QorLogonSettings::Trace_Directory_Variable, folder);
}

long long Size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}} // namespace Admin::TraceFile
