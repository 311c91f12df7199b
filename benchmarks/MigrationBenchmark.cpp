// Times a whole migration (CMigrationTool::Do_Migration) on generated profiles of
// 2,000 and 20,000 entries at the trace level given on the command line.
//   migration_benchmark.exe <trace level> [work folder]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "CMigrationTool.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;

namespace {

void Write_Profile(const std::string& path, int folders, int entries)
{
    std::ofstream out(path, std::ios::binary);
    out << "[Parameters]\nSystemStatusURL=https://status.example.com\nSingleSystemStatusURL=https://status.example.com/one\n";
    for (int i = 0; i < folders; ++i) {
        out << "[Folder F" << i << "]\nName=Folder " << i << "\nExpanded=1\n";
        if (i > 0)
            out << "Parent=F" << (i - 1) / 10 << "\n";
    }
    for (int i = 0; i < entries; ++i) {
        const int kind = i % 10;
        out << (kind == 9 ? "[Link L" : kind == 8 ? "[Shortcut S" : "[Connection C") << i << "]\nName=Entry " << i
            << "\nFolder=F" << i % folders << "\n";
        if (kind == 9)
            out << "Target=S" << i - 1 << "\n"; // the shortcut just before
        else
            out << "SystemID=S" << i % 100 << "\nClient=100\nMsgServerName=ms.example.com\nMsgServerPort=3600\n";
    }
}

void Run(const std::string& folder, int folders, int entries)
{
    const std::string ini = folder + "\\qorlogon.ini";
    const std::string landscape = folder + "\\QORUILandscape.xml";
    DeleteFileA(landscape.c_str());
    Write_Profile(ini, folders, entries);
    SetEnvironmentVariableA("QORLOGON_INI", ini.c_str());
    SetEnvironmentVariableA("QORLOGON_LSXML", landscape.c_str());
    CMigrationToolConfig config;
    config.Set_Qorlogon_INI_Path(ini);
    config.Set_User_Landscape_XML_Path(landscape);
    config.Set_Shared_Landscape_XML_Path(folder + "\\QORUILandscapeGlobal.xml");
    const auto start = std::chrono::steady_clock::now();
    const bool result = CMigrationTool(config).Do_Migration(false);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("trace level %d: %6d entries in %5d folders: Do_Migration %7.3f s (%s)\n",
                Get_Trace(0)->trace().Get_Level(), entries, folders, seconds, result ? "migrated" : "FAILED");
}

} // namespace

int main(int argc, char** argv)
{
    const int level = argc > 1 ? std::atoi(argv[1]) : 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = argc > 2 ? argv[2] : std::string(temp) + "qor_migration_benchmark";
    CreateDirectoryA(folder.c_str(), nullptr);
    SetEnvironmentVariableA("QOR_TRACE_DIR", folder.c_str());
    Get_Trace(level);
    Run(folder, 200, 2000);
    Run(folder, 2000, 20000);
    return 0;
}
