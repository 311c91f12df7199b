#include "CMigrationChecker.h"

#include <windows.h>
#include <mbstring.h>
#include <shlwapi.h>

#include <cstdlib>
#include <cstring>

#include "CLandscapeRepair.h"
#include "CMigrationTool.h"
#include "ClientSettings.h"
#include "DefaultPaths.h"
#include "FileSystem.h"
#include "Handles.h"
#include "LandscapeFileCopy.h"
#include "LandscapeFormat.h"
#include "MigrationState.h"
#include "QorUtil.h"
#include "RAII.h"
#include "Registry.h"
#include "SystemText.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

const char* const Global_Landscape_Name = ClientSettings::Local_Shared_Landscape_Name;
const char* const Options_Key = ClientSettings::Options_Key;
const char* const Core_Landscape_Value = ClientSettings::Core_Landscape_Value;

const char* Yes_No(bool value) { return value ? "true" : "false"; }

bool Named_By_Host(int source) { return source == QORUTIL_SOURCE_COMMAND_LINE || source == QORUTIL_SOURCE_ENVIRONMENT; }

// Drive and directory of a path, rebuilt as one folder.
std::string Folder_Of(const char* path, bool dropTrailingSeparator)
{
    char drive[_MAX_DRIVE] = {}, directory[_MAX_DIR] = {};
    _splitpath_s(path, drive, sizeof(drive), directory, sizeof(directory), nullptr, 0, nullptr, 0);
    std::string folder = directory;
    if (dropTrailingSeparator && !folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return std::string(drive) + folder;
}

} // namespace

CMigrationChecker::CMigrationChecker() { QOR_TRACE_SCOPE(this); }

CMigrationChecker::CMigrationChecker(const CMigrationToolConfig& configuration) : m_configuration(configuration)
{
    QOR_TRACE_SCOPE(this, "configuration = %s", configuration.To_String());
}

CMigrationChecker::CMigrationChecker(const CMigrationChecker& other) = default;

// Moving copies: a checker is small, and the configuration has no cheaper move.
// Copying may throw, so the moves are not noexcept.
// NOLINTNEXTLINE(performance-noexcept-move-constructor)
CMigrationChecker::CMigrationChecker(CMigrationChecker&& other)
    : CMigrationChecker(static_cast<const CMigrationChecker&>(other)) // NOLINT(performance-move-constructor-init)
{
}

CMigrationChecker::~CMigrationChecker() = default;

CMigrationChecker& CMigrationChecker::operator=(const CMigrationChecker& other) = default;

// NOLINTNEXTLINE(performance-noexcept-move-constructor): copies, as the move constructor does
CMigrationChecker& CMigrationChecker::operator=(CMigrationChecker&& other)
{
    return *this = static_cast<const CMigrationChecker&>(other);
}

const CDM_INITIALIZATION_STATE& CMigrationChecker::GetSourceInitializationState() const
{
    return m_sourceInitializationState;
}

const CDM_INITIALIZATION_STATE& CMigrationChecker::GetDestinationInitializationState() const
{
    return m_destinationInitializationState;
}

bool CMigrationChecker::Check()
{
    QOR_TRACE_SCOPE(this);
    // However Check ends, the trace shows the configuration it ended with.
    const QOR::FrontEnd::Util::RAII exit_trace(
        [this] { QOR_TRACE_SCOPE(this, "configuration = %s", m_configuration.To_String()); });

    if (!LogonManager::Proxy::Landscape_Format_Enabled() && !m_configuration.Is_Forced()) {
        trace_scope.Data("Landscape is not enabled and configuration is not forced. No landscape migration will be "
                         "done.\n");
        return trace_scope.Return(false);
    }
    Load_Default_Config_File_Paths();
    if (!Environment_Fits_Code_Page(trace_scope))
        return trace_scope.Return(false);
    int source = 0;
    if (!User_Landscape_Ready(trace_scope, source))
        return trace_scope.Return(false);
    const bool ignoreCoreFile = Ignore_Core_File();
    char registered[MAX_PATH + 1] = {};
    GetRegValString(registered, MAX_PATH, Options_Key, Core_Landscape_Value, 0);

    Step step;
    switch (Read_Migration_State()) {
    case S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY:
        step = Step_From_Local_Landscape(trace_scope);
        break;
    case S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY:
        trace_scope.Data("Migration state is S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY. No migration is necessary.\n");
        break;
    default:
        step = First_Step(trace_scope, source, ignoreCoreFile ? registered : nullptr);
        break;
    }
    if (!step.taken) {
        trace_scope.Data("No migration was necessary or has been performed.\n");
        return trace_scope.Return(false);
    }
    const bool written = Write_Migration_State(step.state);
    return trace_scope.Return(written && step.succeeded);
}

// The user landscape the run migrates into: a file named by the host must allow
// it (and its state is recorded at once); a default one missing is taken from
// the Windows folder when it is there, or else records that nothing has started.
bool CMigrationChecker::User_Landscape_Ready(TraceScope& trace_scope, int& source)
{
    char user_landscape[MAX_PATH] = {};
    GetQorLogonUserLandscapeFileToLoad(user_landscape, MAX_PATH, source);
    if (Named_By_Host(source)) {
        if (!Named_File_Allows_Migration(user_landscape)) {
            trace_scope.Data("No migration for file >%s< defined by command parameter or envrionment variable.\n",
                             user_landscape);
            return false;
        }
        Write_Migration_State(source == QORUTIL_SOURCE_ENVIRONMENT ? S4_MIGRATED_INTO_ENVIRONMENT_FILE
                                                                   : S3_MIGRATED_INTO_COMMAND_LINE_FILE);
        return true;
    }
    const std::string configured = m_configuration.Get_User_Landscape_XML_Path();
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(configured))
        Copy_Landscapes_From_Windows_Folder(trace_scope);
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(configured)) {
        trace_scope.Data("User landscape does not exist. Setting migration state to S0_NOT_STARTED_YET.\n");
        Write_Migration_State(S0_NOT_STARTED_YET);
    }
    return true;
}

// State 1: the switch to the central landscape once there is one other than
// the local global file.
CMigrationChecker::Step CMigrationChecker::Step_From_Local_Landscape(TraceScope& trace_scope)
{
    trace_scope.Data("Migration state is S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY.\n");
    const std::string global = QOR::FrontEnd::Util::FileSystem::Full_Path(DefaultPaths::Local_Shared_Landscape());
    const std::string core = QOR::FrontEnd::Util::FileSystem::Full_Path(DefaultPaths::Server_Core_Landscape());
    trace_scope.Data("Global landscape file: %s\n", global);
    trace_scope.Data("Server/core landscape file: %s\n", core);
    const bool available = !core.empty() && _mbsicmp(reinterpret_cast<const unsigned char*>(core.c_str()),
                                                     reinterpret_cast<const unsigned char*>(global.c_str())) != 0;
    trace_scope.Data("Server/core landscape file is available: %s\n", available ? "yes" : "no");
    if (!available) {
        trace_scope.Data("server/core landscape is not available. No migration step will be performed.\n");
        return Step();
    }
    return Step_Ran(trace_scope, "S2_Switch_To_Central_Landscape", S2_Switch_To_Central_Landscape(),
                    S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY,
                    "Setting migration state to S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY (server/core file). \n");
}

CMigrationChecker::Step CMigrationChecker::Step_Ran(TraceScope& trace_scope, const char* step, bool succeeded,
                                                    DWORD state, const char* setting)
{
    trace_scope.Data("%s's result: %s\n", step, Yes_No(succeeded));
    if (!succeeded)
        trace_scope.Error("%s failed.\n", step);
    trace_scope.Data("%s", setting);
    return Step{true, succeeded, state};
}

// No state yet (or one this version does not know): the local step, into a
// file the host named or the user's own, or the central one. `ignored_core`
// is the recorded core file when it is to be ignored.
CMigrationChecker::Step CMigrationChecker::First_Step(TraceScope& trace_scope, int source, const char* ignored_core)
{
    trace_scope.Data("No migration has been performed yet.\n");
    const bool local = Takes_Local_Step(DefaultPaths::Server_Core_Landscape(), ignored_core != nullptr);
    trace_scope.Data("no_shared_landscape_reg_setting: %s, IgnoreCoreFile: %s \n", Yes_No(local),
                     ignored_core ? ignored_core : "");
    if (!local)
        return Step_Ran(trace_scope, "S2_Migrate_Using_Central_Landscape", S2_Migrate_Using_Central_Landscape(),
                        S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY,
                        "Setting migration state to S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY. \n");
    const bool succeeded = S1_Migrate_Using_Local_Landscape_Only();
    if (!Named_By_Host(source))
        return Step_Ran(trace_scope, "S1_Migrate_Using_Local_Landscape_Only", succeeded,
                        S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY,
                        "Setting migration state to S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY. \n");
    // A file the host named: its own failure message and state.
    trace_scope.Data("S1_Migrate_Using_Local_Landscape_Only's result: %s\n", Yes_No(succeeded));
    if (!succeeded)
        trace_scope.Error("Migration Using LSXML or ENV Landscape failed.\n");
    const DWORD state =
        source == QORUTIL_SOURCE_COMMAND_LINE ? S3_MIGRATED_INTO_COMMAND_LINE_FILE : S4_MIGRATED_INTO_ENVIRONMENT_FILE;
    trace_scope.Data("Setting migration state to %d. \n", static_cast<int>(state));
    return Step{true, succeeded, state};
}

// A file named by the host is migrated into unless it is a web address, or it
// already exists (on a network folder: unless it is absent and can be made).
// A process that registered its file as in use always migrates.
bool CMigrationChecker::Named_File_Allows_Migration(const char* path)
{
    if (PathIsURLA(path))
        return false;
    char key[MAX_PATH];
    std::snprintf(key, sizeof(key), "%s_%d", ClientSettings::Files_In_Use_Key, static_cast<int>(GetCurrentProcessId()));
    CString inUse;
    getRegValStringEx(inUse, key, ClientSettings::File_In_Use_Value, nullptr, 3);
    if (!inUse.IsEmpty())
        return true;
    const std::string folder = Folder_Of(path, true);
    if (PathIsNetworkPathA(folder.c_str()) || PathIsUNCServerA(folder.c_str()) ||
        PathIsUNCServerShareA(folder.c_str())) {
        CString name(path);
        return FileDoesNotExistAndCanBeCreated(name);
    }
    return !PathFileExistsA(path);
}

// A landscape left in the Windows folder (by an installation) is taken over;
// traced as part of Check.
void CMigrationChecker::Copy_Landscapes_From_Windows_Folder(TraceScope& trace_scope)
{
    std::string userFolder, userName;
    const std::string configured =
        QOR::FrontEnd::Util::FileSystem::Full_Path(m_configuration.Get_User_Landscape_XML_Path(), userFolder, userName);
    std::string windowsFolder = QOR::FrontEnd::SystemText::Windows_Directory();
    if (windowsFolder.empty() || windowsFolder.back() != '\\')
        windowsFolder += '\\';
    const std::string copy = windowsFolder + userName;
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(copy))
        return;
    const std::string target = m_configuration.Get_User_Landscape_XML_Path();
    if (LandscapeFileCopy::Copy(copy, target, false))
        trace_scope.Data("User landscape file copied from >%s< to >%s<\n", copy, target);
    const std::string global = windowsFolder + Global_Landscape_Name;
    if (QOR::FrontEnd::Util::FileSystem::File_Exists(global)) {
        const std::string globalTarget = userFolder + Global_Landscape_Name;
        if (LandscapeFileCopy::Copy(global, globalTarget, true))
            trace_scope.Data("Global landscape file copied from >%s< to >%s<\n", global, globalTarget);
    }
}

// Every path of this run is made from these variables: one that the ANSI code
// page cannot hold would send the migration to another folder (Wine cuts it,
// Windows puts '?' in it), so nothing is done and the trace says why. Nothing
// is recorded either: the next start, on a code page that holds the name,
// migrates as if this one had not been.
bool CMigrationChecker::Environment_Fits_Code_Page(TraceScope& trace_scope)
{
    const std::vector<std::string> names = DefaultPaths::Variables_Out_Of_Code_Page();
    for (const std::string& name : names)
        trace_scope.Error("The environment variable %s names a path that the ANSI code page %u cannot hold. No "
                          "landscape migration will be done.\n",
                          name, GetACP());
    return names.empty();
}

// The recorded core file is the local global file of an earlier local
// migration, and it is gone: it must not steer this start to the central step.
bool CMigrationChecker::Ignore_Core_File()
{
    char registered[MAX_PATH + 1] = {};
    GetRegValString(registered, MAX_PATH, Options_Key, Core_Landscape_Value, 0);
    if (!registered[0] || QOR::FrontEnd::Util::FileSystem::File_Exists(registered))
        return false;
    char server[MAX_PATH] = {};
    GetServerLandscapeFileName(0, server, MAX_PATH);
    if (server[0])
        return false;
    char drive[_MAX_DRIVE] = {}, directory[_MAX_DIR] = {}, name[_MAX_FNAME] = {}, extension[_MAX_EXT] = {};
    _splitpath_s(registered, drive, sizeof(drive), directory, sizeof(directory), name, sizeof(name), extension,
                 sizeof(extension));
    char folder[_MAX_PATH] = {};
    _makepath_s(folder, sizeof(folder), drive, directory, nullptr, nullptr);
    if (!folder[0] || std::string(name) + extension != Global_Landscape_Name)
        return false;
    return Folder_Of(m_configuration.Get_User_Landscape_XML_Path().c_str(), false) == folder;
}

bool CMigrationChecker::FileExists(const char* name)
{
    QOR::FrontEnd::Util::unique_hfile file(
        CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return static_cast<bool>(file);
}

// These messages carry no line prefix: the probe opens no trace scope.
bool CMigrationChecker::FileDoesNotExistAndCanBeCreated(CString& name)
{
    CQorPcTrc& trace = Get_Trace(QORPCTRC_LEVEL_ERROR)->trace();
    name.Remove('"');
    if (name.IsEmpty()) {
        Print(trace, QORPCTRC_LEVEL_ERROR, "The given file name is empty\n");
        return false;
    }
    const char last = name[name.GetLength() - 1];
    if (last == '\\' || last == '/') {
        const CString folder = name;
        name += ClientSettings::User_Landscape_Name;
        Print(trace, QORPCTRC_LEVEL_WARNING,
              "The given name >%s< contains only folder path, added QORUILandscape.xml to the name=>%s<\n", folder,
              name);
    }
    if (FileExists(name))
        return false;
    Print(trace, QORPCTRC_LEVEL_WARNING, "The given file with name>%s< is not existing\n", name);
    const CString probe = name + ".tmp";
    {
        QOR::FrontEnd::Util::unique_hfile created(
            CreateFileA(probe, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!created) {
            Print(trace, QORPCTRC_LEVEL_ERROR, "Failed in creating the new file\n");
            return false;
        }
    }
    DeleteFileA(probe);
    Print(trace, QORPCTRC_LEVEL_DEVELOPER, "The new file is created and deleted \n");
    return true;
}

void CMigrationChecker::Load_Default_Config_File_Paths()
{
    QOR_TRACE_SCOPE(this);
    m_configuration.Set_Qorlogon_INI_Path(DefaultPaths::Qorlogon_Ini());
    m_configuration.Set_User_Landscape_XML_Path(DefaultPaths::User_Landscape());
    m_configuration.Set_Shared_Landscape_XML_Path(DefaultPaths::Local_Shared_Landscape());
    m_configuration.Set_User_TEDUOptions_XML_Path(DefaultPaths::User_TEDUOptions());
    m_configuration.Set_Shared_TEDUOptions_XML_Path(DefaultPaths::Shared_TEDUOptions());
    Load_Machine_File_Paths();
    if (trace_scope.Enabled(QORPCTRC_LEVEL_DATA))
        trace_scope.Data("m_configuration=%s\n", m_configuration.To_String());
}

void CMigrationChecker::Load_Machine_File_Paths()
{
    m_configuration.Set_Qormsg_INI_Path(DefaultPaths::Qormsg_Ini());
    m_configuration.Set_Qorroute_INI_Path(DefaultPaths::Qorroute_Ini());
    m_configuration.Set_Windows_Services_File(DefaultPaths::Services_File());
}

// A user not migrated yet takes the local step unless there is a landscape on
// the server to include (and the recorded one is not a local file to ignore).
bool CMigrationChecker::Takes_Local_Step(const std::string& server_core_landscape, bool ignore_core_file) const
{
    return server_core_landscape.empty() || ignore_core_file;
}

bool CMigrationChecker::First_Start_In_Folder(const std::string& folder, CMigrationToolConfig& configuration)
{
    m_configuration = CMigrationToolConfig();
    m_configuration.Set_Qorlogon_INI_Path(folder + "\\" + ClientSettings::User_Ini_Name);
    m_configuration.Set_User_Landscape_XML_Path(folder + "\\" + ClientSettings::User_Landscape_Name);
    m_configuration.Set_Shared_Landscape_XML_Path(folder + "\\" + ClientSettings::Local_Shared_Landscape_Name);
    Load_Machine_File_Paths();
    const std::string core = DefaultPaths::Server_Core_Landscape_Of_Default_Location();
    const bool local = Takes_Local_Step(core, Ignore_Core_File());
    if (!local)
        m_configuration.Set_Shared_Landscape_XML_Path(core);
    configuration = m_configuration;
    return local;
}

void CMigrationChecker::Copy_Records(const CMigrationTool& tool)
{
    m_sourceInitializationState = tool.GetSourceInitializationState();
    m_destinationInitializationState = tool.GetDestinationInitializationState();
}

bool CMigrationChecker::S1_Migrate_Using_Local_Landscape_Only()
{
    QOR_TRACE_SCOPE(this);
    CMigrationTool tool(m_configuration);
    const bool result = tool.Do_Migration(true);
    Copy_Records(tool);
    if (result) {
        const std::string shared = m_configuration.Get_Shared_Landscape_XML_Path();
        trace_scope.Data("Migration was OK. Setting core landscape to: %s\n", shared);
        QOR::FrontEnd::Util::Registry::Set_String(HKEY_CURRENT_USER, Options_Key, Core_Landscape_Value, shared);
    }
    return trace_scope.Return(result);
}

bool CMigrationChecker::S2_Migrate_Using_Central_Landscape()
{
    QOR_TRACE_SCOPE(this);
    m_configuration.Set_Shared_Landscape_XML_Path(DefaultPaths::Server_Core_Landscape());
    CMigrationTool tool(m_configuration);
    const bool result = tool.Do_Migration(false);
    Copy_Records(tool);
    return trace_scope.Return(result);
}

bool CMigrationChecker::S2_Switch_To_Central_Landscape()
{
    QOR_TRACE_SCOPE(this);
    CLandscapeRepair repair(m_configuration.Get_User_Landscape_XML_Path(),
                            m_configuration.Get_Shared_Landscape_XML_Path(), DefaultPaths::Server_Core_Landscape());
    return trace_scope.Return(repair.Do_Update());
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
