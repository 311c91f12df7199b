#include "MigrationCommand.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "ConnectionStore.h"
#include "DefaultPaths.h"
#include "LandscapeMigration.h"
#include "Libraries.h"
#include "MsXml.h"
#include "RegistryRestorer.h"
#include "Report.h"
#include "TraceFile.h"
#include "Verification.h"

namespace Admin {

namespace DefaultPaths = QOR::FrontEnd::Landscape::Migration::DefaultPaths;

namespace {

struct File
{
    std::string label;
    std::string path;
    FILETIME written{};
    bool exists = false;
};

std::vector<File> Landscape_Files()
{
    std::vector<File> files{{"user landscape", DefaultPaths::User_Landscape()},
                            {"shared landscape", DefaultPaths::Local_Shared_Landscape()}};
    for (File& file : files) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        file.exists = GetFileAttributesExA(file.path.c_str(), GetFileExInfoStandard, &data) != FALSE;
        if (file.exists)
            file.written = data.ftLastWriteTime;
    }
    return files;
}

void Print_Files(const std::vector<File>& before)
{
    const std::vector<File> after = Landscape_Files();
    for (size_t i = 0; i < after.size(); ++i) {
        const bool changed =
            after[i].exists && (!before[i].exists || CompareFileTime(&before[i].written, &after[i].written) != 0);
        std::printf("%-17s %s: %s\n", after[i].label.c_str(), after[i].path.c_str(),
                    changed           ? "written"
                    : after[i].exists ? "unchanged"
                                      : "absent");
    }
}

QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig Configuration(const CommandLine& options)
{
    QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig config;
    config.Set_Check(options.check);
    config.Set_Force(options.force);
    config.Set_Simulation(options.simulate);
    config.Set_Dump_Mappings(options.dumpMappings);
    config.Set_Dump_Contents(options.dumpContents);
    return config;
}

} // namespace

MigrationCommand::MigrationCommand(const CommandLine& options) : m_options(options) {}

int MigrationCommand::Run() const
{
    const std::vector<File> before = Landscape_Files();
    const int stateBefore = Get_Migration_State();
    bool result = false;
    {
        // The DLL records a simulated run like a real one; the front end takes it back.
        const std::unique_ptr<RegistryRestorer> restorer(m_options.simulate ? new RegistryRestorer : nullptr);
        try {
            result = Execute_Landscape_Migration_Check_Custom(Configuration(m_options));
        } catch (const _com_error& error) {
            std::fprintf(stderr, "landscape_migrate: XML error 0x%08lX: %s\n",
                         static_cast<unsigned long>(error.Error()), error.ErrorMessage());
            return 3;
        }
    }
    std::printf("\nMigration state: %d before, %d after%s\n", stateBefore, Get_Migration_State(),
                m_options.simulate ? " (a simulation records nothing)" : "");
    Print_Files(before);
    std::printf("Trace files: %s\n", TraceFile::Folder().c_str());
    std::printf("Result: %s\n", result ? "migrated" : "no migration step ran, or it failed (see the trace)");
    if (!m_options.report.empty()) {
        Report report;
        report.Add(Record(result, before[0].exists));
        if (!report.Write(m_options.report)) {
            std::fprintf(stderr, "landscape_migrate: cannot write the report %s\n", m_options.report.c_str());
            return 1;
        }
    }
    return result ? 0 : 1;
}

// What the run did, checked against the files as they are now.
ProfileRecord MigrationCommand::Record(bool migrated, bool landscapeBefore) const
{
    ProfileRecord record(ProfileRecord::Folder_Of(DefaultPaths::Qorlogon_Ini()));
    const Libraries libraries;
    const ConnectionStore old(libraries.old, DefaultPaths::Qorlogon_Ini());
    const ConnectionStore landscape(libraries.landscape, DefaultPaths::User_Landscape());
    const ConnectionTree tree = old.Read();
    const Verification verification(tree, landscape.Read(), MessageServerPorts());
    if (landscape.Is_Open())
        record.Account(verification);
    if (migrated)
        record.result = verification.Passed() ? Outcome::Migrated : Outcome::Failed;
    else if (landscapeBefore)
        record.result = Outcome::Already_Migrated;
    else
        record.result =
            tree.Folders().empty() && tree.Entries().empty() ? Outcome::Nothing_To_Migrate : Outcome::Failed;
    record.trace = TraceFile::Written();
    return record;
}

} // namespace Admin
