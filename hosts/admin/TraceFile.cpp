#include "TraceFile.h"

#include <windows.h>
#include <shlwapi.h>

#include "CQorPcTrc.h"
#include "FileSystem.h"
#include "QorLogonSettings.h"
#include "QorUtil.h"
#include "Tracing.h"

namespace Admin { namespace TraceFile {

std::string Path()
{
    std::string path = CQorPcTrc::Path_Of(QOR::FrontEnd::Landscape::Migration::Trace_File_Name().c_str());
    if (!PathIsRelativeA(path.c_str()))
        return path;
    // Made at the first trace request, in the current directory of the
    // migration then: the folder of landscape_migration.dll.
    const std::string library =
        QOR::FrontEnd::Util::FileSystem::Get_Module_File_Name(GetModuleHandleA("landscape_migration.dll"));
    return library.substr(0, library.find_last_of('\\') + 1) + path;
}

std::string Folder()
{
    const std::string path = Path();
    return path.substr(0, path.find_last_of('\\'));
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
