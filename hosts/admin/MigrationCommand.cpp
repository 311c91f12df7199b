#include "MigrationCommand.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "DefaultPaths.h"
#include "ExitCode.h"
#include "LandscapeFormat.h"
#include "LandscapeMigration.h"
#include "MsXml.h"
#include "ProfileVerifier.h"
#include "RegistryRestorer.h"
#include "TraceFile.h"

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

// A recorded migration state in words, beside its number.
std::string State_Words(int state)
{
    static const char* const words[] = {"not started yet", "shared landscape migrated locally",
                                        "shared landscape migrated centrally",
                                        "migrated into a landscape file named on the command line",
                                        "migrated into a landscape file named by an environment variable"};
    return std::to_string(state) + " (" + (state >= 0 && state < 5 ? words[state] : "unknown") + ")";
}

// The state says that a migration was made before, and the run left it so.
bool Made_Before(const MigrationCommand::States& states)
{
    return states.before == states.after && (states.before == 1 || states.before == 2);
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

// Why a run that did nothing did nothing.
std::string MigrationCommand::Why(const ProfileRecord& record, const States& states)
{
    if (record.result == Outcome::Already_Migrated)
        return " (migration state " + State_Words(states.before) + "); nothing was done";
    if (states.formatOff)
        return "; the landscape format is switched off for this user (--force migrates all the same)";
    if (states.simulated)
        return " (a simulation: no file was written)";
    return std::string();
}

MigrationCommand::MigrationCommand(const CommandLine& options) : m_options(options) {}

int MigrationCommand::Run(Report& report) const
{
    const std::vector<File> before = Landscape_Files();
    States states;
    states.before = Get_Migration_State();
    states.formatOff = !m_options.force && !LogonManager::Proxy::Landscape_Format_Enabled();
    states.simulated = m_options.simulate;
    bool result = false;
    {
        // The DLL records a simulated run like a real one; the front end takes it back.
        const std::unique_ptr<RegistryRestorer> restorer(m_options.simulate ? new RegistryRestorer : nullptr);
        try {
            result = Execute_Landscape_Migration_Check_Custom(Configuration(m_options));
        } catch (const _com_error& error) {
            std::fprintf(stderr, "landscape_migrate: XML error 0x%08lX: %s\n",
                         static_cast<unsigned long>(error.Error()), error.ErrorMessage());
            return Exit_Xml;
        }
    }
    states.after = Get_Migration_State();
    std::printf("\nMigration state: %s before, %s after%s\n", State_Words(states.before).c_str(),
                State_Words(states.after).c_str(), m_options.simulate ? " (a simulation records nothing)" : "");
    Print_Files(before);
    const ProfileRecord record = Record(result, states);
    report.Add(record);
    std::printf("Result: %s%s\n", Words(record.result), Why(record, states).c_str());
    for (const ProfileRecord::Problem& problem : record.problems)
        std::printf("  %s%s%s\n", problem.key.c_str(), problem.key.empty() ? "" : " ", problem.reason.c_str());
    if (!record.trace.empty())
        std::printf("Trace file: %s\n", record.trace.c_str());
    return Is_Failure(record.result) ? Exit_Failed : Exit_Success;
}

// What the run did, checked against the files as they are now. A call that
// returns false has done nothing when the format is off or the user's state
// says that the migration was made before; otherwise its step failed.
ProfileRecord MigrationCommand::Record(bool migrated, const States& states) const
{
    ProfileRecord record(ProfileRecord::Folder_Of(DefaultPaths::Qorlogon_Ini()));
    record.trace = TraceFile::Written();
    if (!migrated && states.formatOff)
        record.result = Outcome::Nothing_To_Migrate;
    else if (!migrated && Made_Before(states))
        record.result = Outcome::Already_Migrated;
    else if (m_options.simulate) // nothing was written to verify
        record.result = migrated ? Outcome::Migrated : Outcome::Failed;
    else {
        record = ProfileVerifier().Verify_Profile(DefaultPaths::Qorlogon_Ini(), DefaultPaths::User_Landscape());
        record.trace = TraceFile::Written();
        if (!migrated && record.result != Outcome::Nothing_To_Migrate)
            record.Fail("no migration step ran, or it failed" +
                        std::string(record.trace.empty() ? "" : " (see the trace file)"));
    }
    return record;
}

} // namespace Admin
