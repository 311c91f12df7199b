// Command-line front end: runs the migration check with the flags given here
// and says what happened.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "LandscapeMigration.h"
#include "MsXml.h"
#include "QorUtil.h"

using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;

namespace {

const char* const Usage =
    "usage: landscape_migrate [options]\n"
    "\n"
    "Migrates the current user's connections from qorlogon.ini into the landscape\n"
    "files, as the client does at start-up, and reports what happened.\n"
    "\n"
    "  --check           check mode: the configuration counts as valid without tests\n"
    "  --force           overwrite existing landscape files; migrate even when the\n"
    "                    landscape format is switched off\n"
    "  --simulate        simulation: no file is written (the migration state is\n"
    "                    still recorded, as for a real run)\n"
    "  --dump-mappings   print the old and new key of every folder and entry\n"
    "  --dump-contents   print the contents of both connection stores\n"
    "  --help            this text\n"
    "\n"
    "Exit code: 0 when a migration step ran and succeeded, 1 when nothing was\n"
    "done or it failed, 2 for a wrong option, 3 for an XML error.\n";

struct File
{
    std::string label;
    std::string path;
    FILETIME written{};
    bool exists = false;
};

void Stat(File& file)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    file.exists = GetFileAttributesExA(file.path.c_str(), GetFileExInfoStandard, &data) != FALSE;
    if (file.exists)
        file.written = data.ftLastWriteTime;
}

std::vector<File> Landscape_Files()
{
    char user[MAX_PATH] = {}, shared[MAX_PATH] = {};
    int source = 0;
    GetQorLogonUserLandscapeFileToLoad(user, MAX_PATH, source);
    GetQorLogonLocalSharedLandscapeFileToLoad(shared, MAX_PATH, source);
    std::vector<File> files{{"user landscape", user}, {"shared landscape", shared}};
    for (File& file : files)
        Stat(file);
    return files;
}

// Without a trace directory the file is made in the current directory of the
// first write, which during a migration is the folder of landscape_migration.dll.
std::string Trace_Folder()
{
    char folder[MAX_PATH] = {};
    if (InitTraceDir(folder))
        return folder;
    GetModuleFileNameA(GetModuleHandleA("landscape_migration.dll"), folder, MAX_PATH);
    std::string library = folder;
    return library.substr(0, library.find_last_of('\\'));
}

} // namespace

int main(int argc, char** argv)
{
    CMigrationToolConfig config;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h" || option == "/?") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (option == "--check")
            config.Set_Check(true);
        else if (option == "--force")
            config.Set_Force(true);
        else if (option == "--simulate")
            config.Set_Simulation(true);
        else if (option == "--dump-mappings")
            config.Set_Dump_Mappings(true);
        else if (option == "--dump-contents")
            config.Set_Dump_Contents(true);
        else {
            std::fprintf(stderr, "landscape_migrate: unknown option '%s'\n\n%s", option.c_str(), Usage);
            return 2;
        }
    }
    std::vector<File> before = Landscape_Files();
    const int stateBefore = Get_Migration_State();
    bool result = false;
    try {
        result = Execute_Landscape_Migration_Check_Custom(config);
    } catch (const _com_error& error) {
        std::fprintf(stderr, "landscape_migrate: XML error 0x%08lX: %s\n", static_cast<unsigned long>(error.Error()),
                     error.ErrorMessage());
        return 3;
    }
    std::printf("\nMigration state: %d before, %d after\n", stateBefore, Get_Migration_State());
    const std::vector<File> after = Landscape_Files();
    for (size_t i = 0; i < after.size(); ++i) {
        const bool changed = after[i].exists && (!before[i].exists ||
                                                 CompareFileTime(&before[i].written, &after[i].written) != 0);
        std::printf("%-17s %s: %s\n", after[i].label.c_str(), after[i].path.c_str(),
                    changed ? "written" : after[i].exists ? "unchanged" : "absent");
    }
    std::printf("Trace files: %s\n", Trace_Folder().c_str());
    std::printf("Result: %s\n", result ? "migrated" : "no migration step ran, or it failed (see the trace)");
    return result ? 0 : 1;
}
