#include "ProfileMigration.h"

#include <windows.h>

#include "ConnectionStore.h"
#include "MsXml.h"
#include "QorUtil.h"
#include "SystemText.h"
#include "TraceFile.h"
#include "Verification.h"

namespace Admin {

using QOR::FrontEnd::Landscape::Migration::CMigrationTool;
using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;

const char* const ProfileMigration::Old_File = "qorlogon.ini";
const char* const ProfileMigration::User_Landscape = "QORUILandscape.xml";
const char* const ProfileMigration::Shared_Landscape = "QORUILandscapeGlobal.xml";

namespace {

std::string Environment(const char* name)
{
    std::string value;
    QOR::FrontEnd::Util::SystemText::Environment_Variable(name, value);
    return value;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

} // namespace

ProfileMigration::ProfileMigration(const std::string& folder)
    : m_folder(folder), m_ini(folder + "\\" + Old_File), m_landscape(folder + "\\" + User_Landscape)
{
}

ProfileRecord ProfileMigration::Run()
{
    ProfileRecord record;
    record.profile = m_folder;
    if (Exists(m_landscape))
        record.result = "already migrated";
    else if (Source_Is_Empty(record))
        record.result = record.problems.empty() ? "nothing to migrate" : "failed";
    else {
        const bool migrated = Migrate(record);
        const ConnectionStore old("qorcdm.dll", m_ini);
        const ConnectionStore landscape("qorcdm2.dll", m_landscape);
        record.Account(Verification(old.Read(), landscape.Read(), MessageServerPorts()));
        if (!landscape.Is_Open())
            record.problems.push_back({"", "", "the landscape cannot be read: " + landscape.Message()});
        record.result = migrated && record.problems.empty() ? "migrated" : "failed";
    }
    record.trace = TraceFile::Written();
    return record;
}

// A file that gives neither folders nor entries leaves nothing to do: the
// profile stays as it is, and the client's own first start finds it so.
bool ProfileMigration::Source_Is_Empty(ProfileRecord& record) const
{
    const ConnectionStore old("qorcdm.dll", m_ini);
    if (!old.Is_Open()) {
        record.problems.push_back({"", "", "the old connection file cannot be read: " + old.Message()});
        return true;
    }
    const ConnectionTree tree = old.Read();
    return tree.Folders().empty() && tree.Entries().empty();
}

// The paths of the client's first start, with this folder in place of
// %APPDATA%\QOR\Common; but no options files. The user's first start merges
// the business client's connections again whatever the landscape holds (a
// second merge would list them twice), and the machine's options file is that
// of the user's machine: both are left to that start.
CMigrationToolConfig ProfileMigration::Configuration() const
{
    CMigrationToolConfig config;
    const std::string windows = Environment("windir");
    config.Set_Qorlogon_INI_Path(m_ini);
    config.Set_User_Landscape_XML_Path(m_landscape);
    config.Set_Shared_Landscape_XML_Path(m_folder + "\\" + Shared_Landscape);
    config.Set_Qormsg_INI_Path(windows + "\\qormsg.ini");
    config.Set_Qorroute_INI_Path(windows + "\\qorroute.ini");
    config.Set_Windows_Services_File(windows + "\\System32\\drivers\\etc\\services");
    return config;
}

// The connection-data libraries open the files the look-ups name, so the
// look-ups are pointed at this profile for the rest of this process. A server
// landscape configured for this machine makes the step central, as it would at
// the user's first start.
bool ProfileMigration::Migrate(ProfileRecord& record) const
{
    SetEnvironmentVariableA("QORLOGON_INI", m_ini.c_str());
    SetEnvironmentVariableA("QORLOGON_LSXML", m_landscape.c_str());
    CMigrationToolConfig config = Configuration();
    char server[MAX_PATH] = {};
    const bool central = GetServerLandscapeFileName(0, server, MAX_PATH) && server[0];
    if (central)
        config.Set_Shared_Landscape_XML_Path(server);
    try {
        CMigrationTool tool(config);
        if (tool.Do_Migration(!central))
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
