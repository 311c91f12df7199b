#include "ProfileMigration.h"

#include <windows.h>

#include <cstdio>

#include "CMigrationChecker.h"
#include "CMigrationTool.h"
#include "ClientSettings.h"
#include "ConnectionStore.h"
#include "FileSystem.h"
#include "MsXml.h"
#include "ScopeExit.h"
#include "TraceFile.h"
#include "Verification.h"

namespace Admin {

namespace ClientSettings = QOR::FrontEnd::Landscape::Migration::ClientSettings;

using QOR::FrontEnd::Landscape::Migration::CMigrationChecker;
using QOR::FrontEnd::Landscape::Migration::CMigrationTool;
using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;

namespace {

std::string In(const std::string& folder, const char* name) { return folder + "\\" + name; }

// The trace directory may come from the user's registry, which the workers
// hide: it is handed on in the environment before they do.
std::string Trace_File_Kept()
{
    TraceFile::Keep_Folder_Beyond_Registry();
    return TraceFile::Path();
}

} // namespace

ProfileMigration::ProfileMigration() : m_trace(Trace_File_Kept())
{
    m_com.Initialize(); // changes neither the environment nor the directory that m_clean holds
}

ProfileRecord ProfileMigration::Run(const std::string& folder)
{
    ProfileRecord record(folder);
    const std::string landscape = In(folder, ClientSettings::User_Landscape_Name);
    if (QOR::FrontEnd::Util::FileSystem::File_Exists(landscape)) {
        record.result = Outcome::Already_Migrated;
        return record;
    }
    const long long traced = TraceFile::Size(m_trace);
    ConnectionTree old;
    if (!m_user.Active())
        record.problems.push_back({"", "", "this process cannot give the migration a registry of its own"});
    else if (!Read_Old_File(In(folder, ClientSettings::User_Ini_Name), old, record))
        record.result = record.problems.empty() ? Outcome::Nothing_To_Migrate : Outcome::Failed;
    else {
        const bool migrated = Migrate(folder, record);
        Verify(old, landscape, record);
        record.result = migrated && record.problems.empty() ? Outcome::Migrated : Outcome::Failed;
    }
    record.trace = TraceFile::Size(m_trace) > traced ? m_trace : std::string();
    return record;
}

// False when there is nothing to migrate: a file that gives neither folders
// nor entries stays as it is, and the client's own first start finds it so.
bool ProfileMigration::Read_Old_File(const std::string& ini, ConnectionTree& tree, ProfileRecord& record) const
{
    const ConnectionStore old(m_libraries.old, ini);
    if (!old.Is_Open()) {
        record.problems.push_back({"", "", "the old connection file cannot be read: " + old.Message()});
        return false;
    }
    tree = old.Read();
    return !tree.Folders().empty() || !tree.Entries().empty();
}

// The connection-data libraries open the files the look-ups name, so the
// look-ups are pointed at this profile while it is migrated.
bool ProfileMigration::Migrate(const std::string& folder, ProfileRecord& record)
{
    const auto restore = QOR::FrontEnd::Util::scope_exit([this] {
        m_clean.Restore();
        m_user.Clear();
    });
    SetEnvironmentVariableA(ClientSettings::Ini_Variable, In(folder, ClientSettings::User_Ini_Name).c_str());
    SetEnvironmentVariableA(ClientSettings::Landscape_Variable,
                            In(folder, ClientSettings::User_Landscape_Name).c_str());
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

void ProfileMigration::Verify(const ConnectionTree& old, const std::string& landscape, ProfileRecord& record) const
{
    const ConnectionStore written(m_libraries.landscape, landscape);
    record.Account(Verification(old, written.Read(), m_ports));
    if (!written.Is_Open())
        record.problems.push_back({"", "", "the landscape cannot be read: " + written.Message()});
}

} // namespace Admin
