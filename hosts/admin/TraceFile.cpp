#include "TraceFile.h"

#include <windows.h>
#include <shlwapi.h>

#include "ClientSettings.h"
#include "FileSystem.h"
#include "Tracing.h"

namespace Admin { namespace TraceFile {

namespace ClientSettings = QOR::FrontEnd::Landscape::Migration::ClientSettings;

std::string Path()
{
    using namespace QOR::FrontEnd::Landscape::Migration;
    std::string path = Trace_File_Path(Trace_File_Name());
    if (!PathIsRelativeA(path.c_str()))
        return path;
    // Made at the first trace request, in the current directory of the
    // migration then: the folder of landscape_migration.dll.
    return QOR::FrontEnd::Util::FileSystem::Get_Module_Directory(GetModuleHandleA("landscape_migration.dll")) + "\\" +
           path;
}

std::string Written()
{
    const std::string path = Path();
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : path;
}

void Keep_Folder_Beyond_Registry()
{
    const std::string folder = QOR::FrontEnd::Landscape::Migration::Trace_Directory();
    if (!folder.empty())
        SetEnvironmentVariableA(ClientSettings::Trace_Directory_Variable, folder.c_str());
}

long long Size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}} // namespace Admin::TraceFile
