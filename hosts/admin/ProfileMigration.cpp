#include "ProfileMigration.h"

#include <windows.h>

#include <chrono>
#include <cstdio>

#include "CMigrationChecker.h"
#include "CMigrationTool.h"
#include "ClientSettings.h"
#include "FileSystem.h"
#include "MsXml.h"
#include "ScopeExit.h"
#include "SystemText.h"
#include "TraceFile.h"

namespace Admin {

namespace ClientSettings = QOR::FrontEnd::Landscape::Migration::ClientSettings;

using QOR::FrontEnd::Landscape::Migration::CMigrationChecker;
using QOR::FrontEnd::Landscape::Migration::CMigrationTool;
using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;

namespace {

std::string In(const std::string& folder, const char* name) { return folder + "\\" + name; }

// The trace directory may come from the user's registry, which the sandbox
// hides: it is handed on in the environment before.
std::string Trace_File_Kept()
{
    TraceFile::Keep_Folder_Beyond_Registry();
    return TraceFile::Path();
}

} // namespace

ProfileMigration::ProfileMigration() : m_trace(Trace_File_Kept())
{
    m_com.Initialize(); // changes neither the environment nor the directory that the sandbox holds
}

ProfileRecord ProfileMigration::Run(const std::string& folder)
{
    const auto started = std::chrono::steady_clock::now();
    const long long traced = TraceFile::Size(m_trace);
    ProfileRecord record(folder);
    if (QOR::FrontEnd::Util::FileSystem::File_Exists(In(folder, ClientSettings::User_Landscape_Name)))
        record.result = Outcome::Already_Migrated;
    else if (!m_sandbox.Active())
        record.Fail("this process cannot give the migration a registry of its own");
    else
        Migrate_And_Verify(folder, record);
    record.trace = TraceFile::Size(m_trace) > traced ? m_trace : std::string();
    record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return record;
}

// A file that gives neither folders nor entries stays as it is, and the
// client's own first start finds it so.
void ProfileMigration::Migrate_And_Verify(const std::string& folder, ProfileRecord& record)
{
    ProfileVerifier::ConnectionTree old;
    if (!m_verifier.Read_Old(In(folder, ClientSettings::User_Ini_Name), old, record))
        return;
    if (old.Folders().empty() && old.Entries().empty()) {
        record.result = Outcome::Nothing_To_Migrate;
        return;
    }
    const bool migrated = Migrate(folder, record);
    m_verifier.Verify(old, In(folder, ClientSettings::User_Landscape_Name), record);
    if (!migrated || !record.problems.empty())
        record.result = Outcome::Failed;
}

// The connection-data libraries open the files the look-ups name, so the
// look-ups are pointed at this profile while it is migrated.
bool ProfileMigration::Migrate(const std::string& folder, ProfileRecord& record)
{
    const auto restore = QOR::FrontEnd::Util::scope_exit([this, &record] {
        if (!m_sandbox.Restore())
            record.problems.push_back({"", "",
                                       "this process's environment could not be put back after the profile: " +
                                           QOR::FrontEnd::SystemText::Error_Text(GetLastError())});
    });
    // Without them the libraries would open the files of whoever runs the tool.
    if (!SetEnvironmentVariableA(ClientSettings::Ini_Variable, In(folder, ClientSettings::User_Ini_Name).c_str()) ||
        !SetEnvironmentVariableA(ClientSettings::Landscape_Variable,
                                 In(folder, ClientSettings::User_Landscape_Name).c_str())) {
        record.problems.push_back({"", "",
                                   "the profile's files could not be named to the libraries: " +
                                       QOR::FrontEnd::SystemText::Error_Text(GetLastError())});
        return false;
    }
    try {
        CMigrationToolConfig configuration;
        const bool local = CMigrationChecker().First_Start_In_Folder(folder, configuration);
        CMigrationTool tool(configuration);
        if (tool.Do_Migration(local))
            return true;
        record.problems.push_back({"", "", "the migration failed (see the trace file)"});
    } catch (const _com_error& error) {
        char text[64];
        std::snprintf(text, sizeof(text), "XML error 0x%08lX", static_cast<unsigned long>(error.Error()));
        record.problems.push_back({"", "", std::string("the migration stopped on an ") + text});
    }
    return false;
}

} // namespace Admin
