#include "CMigrationTool.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <shlwapi.h>

#include "CLandscapeXmlDocument.h"
#include "CLogonManagerLibrary.h"
#include "CQorMsgMigrator.h"
#include "CQorMsgRepair.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "QorUtil.h"
#include "FileSystem.h"
#include "MigrationState.h"
#include "ModuleHandle.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

CMigrationTool::CMigrationTool(const CMigrationToolConfig& config)
    : m_msg_servers_loaded(false), m_configuration(config)
{
    QOR_TRACE_SCOPE(this, "config=%s", config.To_String());
    m_msg_migrator = std::make_shared<CQorMsgMigrator>(&m_configuration);
}

CMigrationTool::CMigrationTool(const CMigrationTool& other)
    : m_msg_servers_loaded(other.m_msg_servers_loaded), m_original_directory(other.m_original_directory),
      m_configuration(other.m_configuration), m_source_library(other.m_source_library),
      m_destination_library(other.m_destination_library),
      m_sourceInitializationState(other.m_sourceInitializationState),
      m_destinationInitializationState(other.m_destinationInitializationState),
      m_uuid_mappings(other.m_uuid_mappings), m_msg_migrator(other.m_msg_migrator)
{
}

CMigrationTool::~CMigrationTool()
{
    m_msg_migrator.reset(); // first; the rest goes in reverse order of declaration
}

const CDM_INITIALIZATION_STATE& CMigrationTool::GetSourceInitializationState() const
{
    return m_sourceInitializationState;
}

const CDM_INITIALIZATION_STATE& CMigrationTool::GetDestinationInitializationState() const
{
    return m_destinationInitializationState;
}

bool CMigrationTool::Is_Valid() const
{
    QOR_TRACE_SCOPE(this);
    const bool valid = m_configuration.Is_Valid() && m_source_library && m_destination_library;
    return trace_scope.Return(static_cast<int>(valid)) != 0;
}

bool CMigrationTool::Do_Migration(bool migrate_shared_data)
{
    QOR_TRACE_SCOPE(this, "migrate_shared_data=%d", migrate_shared_data);
    Change_To_Our_Directory();
    const DWORD state = migrate_shared_data ? Read_Migration_State() : DWORD(S0_NOT_STARTED_YET);
    const bool migrates_shared = migrate_shared_data && state != S3_MIGRATED_INTO_COMMAND_LINE_FILE &&
                                 state != S4_MIGRATED_INTO_ENVIRONMENT_FILE;
    // Every part runs, whatever the earlier ones returned.
    const bool shared = migrates_shared ? Migrate_Shared_Settings() : true;
    const bool user = Migrate_User_Settings();
    const bool options = Migrate_TEDU_Options(migrates_shared);
    trace_scope.Data("Results after migration parts: Shared migration:%d, User settings:%d, TEDU options:%d\n", shared,
                     user, options);
    Change_Back_To_Original_Directory();
    const bool result = shared && user && options;
    if (result)
        trace_scope.Data("Migration was successful!\n");
    else
        trace_scope.Data("Migration was not successful!\nSee the trace files for more detailed information.\n");
    return trace_scope.Return(static_cast<int>(result)) != 0;
}

bool CMigrationTool::Initialize_Libraries()
{
    QOR_TRACE_SCOPE(this);
    char tracefile1[MAX_PATH], tracefile2[MAX_PATH];
    const int pid = static_cast<int>(GetCurrentProcessId());
    const int tid = static_cast<int>(GetCurrentThreadId());
    std::snprintf(tracefile1, sizeof(tracefile1), "landscape_migration_%.4d_%.4d_lm01.trc", pid, tid);
    std::snprintf(tracefile2, sizeof(tracefile2), "landscape_migration_%.4d_%.4d_lm02.trc", pid, tid);
    trace_scope.Data("tracefile1=%s,tracefile2=%s\n", tracefile1, tracefile2);

    m_source_library = std::make_shared<CLogonManagerLibrary>(CLogonManagerLibrary::V01_OLD_LOGON_MANAGER,
                                                              m_configuration.Get_Qorlogon_INI_Path(),
                                                              std::string(tracefile1), true);
    m_destination_library = std::make_shared<CLogonManagerLibrary>(
        CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, m_configuration.Get_User_Landscape_XML_Path(),
        std::string(tracefile2), m_configuration.Is_Simulation());
    for (auto [library, record] : {std::make_pair(m_source_library.get(), &m_sourceInitializationState),
                                   std::make_pair(m_destination_library.get(), &m_destinationInitializationState)}) {
        if (library)
            *record = library->Get_Initialization_State();
        else
            *record = CDM_INITIALIZATION_STATE{3, "Error creation instance CLogonManagerLibrary"};
    }
    trace_scope.Data("Initialize_Libraries. m_sourceInitializationState: %d, '%s'", m_sourceInitializationState.state,
                     m_sourceInitializationState.description);
    trace_scope.Data("Initialize_Libraries. m_destinationInitializationState: %d, '%s'",
                     m_destinationInitializationState.state, m_destinationInitializationState.description);
    return trace_scope.Return(true);
}

void CMigrationTool::Change_To_Our_Directory()
{
    QOR_TRACE_SCOPE(this);
    using namespace QOR::FrontEnd::Util::FileSystem;
    const std::string dir = Get_Module_Directory(Get_Module_Handle());
    trace_scope.Data("Get_Module_Directory returned %s\n", dir);
    if (dir.empty()) {
        trace_scope.Warning("Get_Module_Directory failed\n");
        return;
    }
    m_original_directory = Get_Current_Directory();
    trace_scope.Data("Get_Current_Directory returned %s\n", m_original_directory);
    if (m_original_directory.empty()) {
        trace_scope.Warning("Get_Current_Directory failed\n");
        return;
    }
    trace_scope.Data("Switching to directory '%s' for the duration of the landscape migration. The original "
                     "directory is '%s'\n",
                     dir, m_original_directory);
    if (!Set_Current_Directory(dir))
        trace_scope.Warning("Set_Current_Directory(%s) failed\n", dir);
}

void CMigrationTool::Change_Back_To_Original_Directory()
{
    QOR_TRACE_SCOPE(this);
    if (m_original_directory.empty()) {
        trace_scope.Warning("Original directory was empty.\n");
        return;
    }
    trace_scope.Data("Switching back to original directory %s\n", m_original_directory);
    if (!QOR::FrontEnd::Util::FileSystem::Set_Current_Directory(m_original_directory))
        trace_scope.Warning("Switching back to directory %s failed.\n", m_original_directory);
}

bool CMigrationTool::Dump_Library(std::shared_ptr<CLogonManagerLibrary> which)
{
    QOR_TRACE_SCOPE(this, "which=%p", static_cast<void*>(which.get()));
    CStringArray keys;
    which->GetSubFolderKeys("", &keys, TRUE, TREE_ITEM_TYPE_FOLDER);
    for (long long i = 0; i < keys.GetSize(); ++i) {
        CString name, memo, parent;
        int type = TREE_ITEM_TYPE_FOLDER;
        BOOL expanded = FALSE;
        which->GetFolderAttributes(keys[i], name, type, expanded, memo, parent);
        std::cout << "FOLDER: " << name.GetString() << "|" << keys[i].GetString() << std::endl;
    }
    which->GetEntryKeys("", &keys, TREE_ITEM_TYPE_ANY_ENTRY);
    for (long long i = 0; i < keys.GetSize(); ++i) {
        CString name;
        which->GetEntryAttribute(keys[i], ITEM_ATTR_ENTRY_NAME, name);
        std::cout << "ENTRY: " << name.GetString() << "|" << keys[i].GetString() << std::endl;
    }
    return trace_scope.Return(true);
}

// Each line is a command that puts the old key back in place of the new one.
void CMigrationTool::Dump_Mappings()
{
    QOR_TRACE_SCOPE(this);
    std::cout << "UUID mappings:" << std::endl;
    std::cout << " --- destination_uuid --- source_uuid ---" << std::endl;
    for (const auto& mapping : m_uuid_mappings)
        std::cout << "sed -i 's/" << mapping.second.GetString() << "/" << mapping.first.GetString() << "/g' "
                  << m_destination_library->Get_INI_File() << std::endl;
}


bool CMigrationTool::Migrate_User_Settings()
{
    QOR_TRACE_SCOPE(this);
    bool r = Initialize_Libraries();
    trace_scope.Data("Result after Initialize_Libraries: %d\n", r);
    r = r && Check_Prerequisites_4_User_Settings_Mig();
    trace_scope.Data("Result after Check_Prerequisites: %d\n", r);
    if (!r) {
        r = true; // nothing to migrate is no failure
    } else {
        r = Migrate_Folders("");
        trace_scope.Data("Result after Migrate_Folders: %d\n", r);
        r = r && Migrate_Entries();
        trace_scope.Data("Result after Migrate_Entries: %d\n", r);
        r = r && Migrate_Configuration_Params();
        trace_scope.Data("Result after Migrate_Configuration_Params: %d\n", r);
    }
    if (!Touch_User_Landscape())
        trace_scope.Data("Migration cannot be made correctly!\n");
    bool result = false;
    if (r && Add_Shared_Include()) {
        if (m_configuration.Dump_Contents()) {
            trace_scope.Data("Dumping contents to stdout.\n");
            Dump_Contents();
        }
        if (m_configuration.Dump_Mappings()) {
            trace_scope.Data("Dumping mappings to stdout.\n");
            Dump_Mappings();
        }
        result = true;
    } else {
        trace_scope.Error("User settings could not be migrated.\n");
    }
    m_source_library.reset();
    m_destination_library.reset();
    return trace_scope.Return(static_cast<int>(result)) != 0;
}

void CMigrationTool::Dump_Contents()
{
    std::cout << "--- Dumping Contents of Config Files ---" << std::endl;
    std::cout << std::endl;
    std::cout << "Source config:" << std::endl;
    Dump_Library(m_source_library);
    std::cout << std::endl;
    std::cout << "Destination config:" << std::endl;
    Dump_Library(m_destination_library);
}

bool CMigrationTool::Check_Prerequisites_4_User_Settings_Mig()
{
    QOR_TRACE_SCOPE(this);
    using QOR::FrontEnd::Util::FileSystem::File_Exists;
    const std::string source = m_source_library->Get_INI_File();
    if (!File_Exists(source)) {
        trace_scope.Warning("Source INI file does not exist: %s\n", source);
        return trace_scope.Return(false);
    }
    const std::string destination = m_destination_library->Get_INI_File();
    if (!m_configuration.Is_Simulation() && !m_configuration.Is_Forced() && File_Exists(destination)) {
        trace_scope.Error("Destination INI file exists, remove it before migration: %s\n", destination);
        return trace_scope.Return(false);
    }
    return trace_scope.Return(true);
}

// Depth first: a folder is created and mapped, then its subtree, then its next
// sibling. Top-level folders all become the destination's main folder.
bool CMigrationTool::Migrate_Folders(const CString& s_parent_key)
{
    QOR_TRACE_SCOPE(this, "s_parent_key=%s", s_parent_key);
    CStringArray s_subfolder_keys;
    if (m_source_library->GetSubFolderKeys(s_parent_key, &s_subfolder_keys, FALSE, TREE_ITEM_TYPE_FOLDER) != 0) {
        trace_scope.Error("Cannot get subfolder keys. Parent = '%s'\n", s_parent_key);
        return trace_scope.Return(false);
    }
    trace_scope.Data("GetSubFolderKeys returned %d keys\n", static_cast<int>(s_subfolder_keys.GetSize()));
    for (long long i = 0; i < s_subfolder_keys.GetSize(); ++i) {
        const CString s_key = s_subfolder_keys[i];
        if (s_key.IsEmpty()) {
            trace_scope.Error("Empty key found in s_subfolder_keys at position %d\n", static_cast<int>(i));
            return trace_scope.Return(false);
        }
        CString fromServer;
        m_source_library->GetFolderAttribute(s_key, fromServer);
        if (fromServer == "1")
            continue; // folders of the server landscape stay there, with their subtrees
        if (!Migrate_Folder(trace_scope, s_parent_key, i, s_key))
            return trace_scope.Return(false);
    }
    return trace_scope.Return(true);
}

// One folder of Migrate_Folders, traced as part of it.
bool CMigrationTool::Migrate_Folder(TraceScope& trace_scope, const CString& s_parent_key, long long i,
                                    const CString& s_key)
{
    CString name, memo, parent;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    m_source_library->GetFolderAttributes(s_key, name, type, expanded, memo, parent);
    if (parent != s_parent_key)
        trace_scope.Warning("The subfolder's parent does not match the parent passed to GetSubFolderKeys. i=%d\n",
                            static_cast<int>(i));
    if (s_parent_key.IsEmpty()) {
        trace_scope.Data("s_parent_key is empty. A main folder - it needs to be found, instead of created. i=%d\n",
                         static_cast<int>(i));
        CString d_parent_key;
        if (!m_destination_library->Get_Main_Folder(d_parent_key)) {
            trace_scope.Error("Get_Main_Folder returned result %d, i = %d\n", 0, static_cast<int>(i));
            return false;
        }
        trace_scope.Data("Mapping main folder: i=%d, s_key=%s, d_parent_key=%s.\n", static_cast<int>(i), s_key,
                         d_parent_key);
        m_uuid_mappings[s_key] = d_parent_key;
        if (!Migrate_Folders(s_key)) {
            trace_scope.Error("Could not migrate the subfolders of main folder with key %s\n", s_key);
            return false;
        }
        return true;
    }
    const auto mapped_parent = m_uuid_mappings.find(s_parent_key);
    if (mapped_parent == m_uuid_mappings.end()) {
        trace_scope.Error(" ---- BUG ---- ");
        trace_scope.Data("Source UUID %s/%s. Had not been added to the mappings.\n", s_parent_key, name);
        return false;
    }
    const CString d_parent_key = mapped_parent->second;
    CString d_new_folder_key, d_next_key;
    trace_scope.Data("AddFolder(d_parent_key=%s, name=%s, expanded=%d, memo=%s, d_new_folder_key=%s), i=%d.\n",
                     d_parent_key, name, expanded ? 1 : 0, memo, d_new_folder_key, static_cast<int>(i));
    const int result = m_destination_library->AddFolder(d_parent_key, name, expanded, memo, d_new_folder_key, d_next_key);
    if (result != 0) {
        trace_scope.Error("Cannot migrate folder %s/%s. Folder creation failed with result %d.\n", s_key, name, result);
        return false;
    }
    if (d_new_folder_key.IsEmpty()) {
        trace_scope.Error("Cannot migrate folder %s/%s. Returned new UUID was empty.\n", s_key, name);
        return false;
    }
    if (m_uuid_mappings.count(s_key)) {
        trace_scope.Error(" ---- BUG ---- ");
        trace_scope.Data("The key being migrated already exists in the mappings %s/%s. \n", s_key, name);
        return false;
    }
    trace_scope.Data("Mapping folder: i=%d, s_key=%s, d_new_folder_key=%s.\n", static_cast<int>(i), s_key,
                     d_new_folder_key);
    m_uuid_mappings[s_key] = d_new_folder_key;
    if (!Migrate_Folders(s_key)) {
        trace_scope.Error("Could not migrate the subfolders of folder with key %s\n", s_key);
        return false;
    }
    return true;
}

// Connections and shortcuts before links: a link needs its target in place.
bool CMigrationTool::Migrate_Entries()
{
    QOR_TRACE_SCOPE(this);
    bool r = Migrate_Typed_Entries(TREE_ITEM_TYPE_CONNECTION);
    trace_scope.Data("Migrate_Typed_Entries(TREE_ITEM_TYPE_CONNECTION): %d\n", r);
    r = r && Migrate_Typed_Entries(TREE_ITEM_TYPE_QORSHORTCUT);
    trace_scope.Data("Migrate_Typed_Entries(TREE_ITEM_TYPE_QORSHORTCUT): %d\n", r);
    r = r && Migrate_Typed_Entries(TREE_ITEM_TYPE_LINK);
    trace_scope.Data("Migrate_Typed_Entries(TREE_ITEM_TYPE_LINK): %d\n", r);
    return trace_scope.Return(static_cast<int>(r)) != 0;
}

bool CMigrationTool::Migrate_Typed_Entries(TREE_ITEMS_TYPE nEntryType)
{
    QOR_TRACE_SCOPE(this, "nEntryType=%d", static_cast<int>(nEntryType));
    CStringArray keys;
    const int listed = m_source_library->GetEntryKeys("", &keys, nEntryType);
    if (listed != 0) {
        trace_scope.Error("GetEntryKeys failed with result %d\n", listed);
        return trace_scope.Return(false);
    }
    trace_scope.Data("GetEntryKeys returned %d keys\n", static_cast<int>(keys.GetSize()));
    for (long long i = 0; i < keys.GetSize(); ++i)
        if (!Migrate_Entry(trace_scope, nEntryType, i, keys[i]))
            return trace_scope.Return(false);
    return trace_scope.Return(true);
}

// One entry of Migrate_Typed_Entries, traced as part of it: false ends the type.
bool CMigrationTool::Migrate_Entry(TraceScope& trace_scope, TREE_ITEMS_TYPE nEntryType, long long index,
                                   const CString& s_key)
{
    const int i = static_cast<int>(index);
    if (s_key.IsEmpty()) {
        trace_scope.Error("Entry key at position %d is empty. Looks like a bug in qorcdm2.\n", i);
        return false;
    }
    CString value;
    m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_ENTRY_SKIP_FLAG, value);
    if (value == "1")
        return true;
    int result = m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_ENTRY_TYPE, value);
    if (result != 0) {
        trace_scope.Error("GetEntryAttribute failed with result %d, i=%d, s_key=%s\n", result, i, s_key);
        return false;
    }
    if (value.IsEmpty()) {
        trace_scope.Error("GetEntryAttribute returned an empty type, i=%d, s_key=%s\n", i, s_key);
        return false;
    }
    const int type = std::atoi(value);
    if (type < 0) {
        trace_scope.Error("GetEntryAttribute returned a weird type: %d, i=%d, s_key=%s. Looks like a bug in qorcdm2.\n",
                          type, i, s_key);
        return false;
    }
    if (type != nEntryType)
        return true;

    CMapStringToString properties;
    result = m_source_library->GetEntryData(s_key, &properties);
    Set_Corresponding_MsgPort_If_Needed(properties);
    if (result != 0) {
        trace_scope.Error("GetEntryData failed with result: %d, i=%d, s_key=%s.\n", result, i, s_key);
        return false;
    }
    CString s_parent_key;
    result = m_source_library->GetParentFolderKey(s_key, s_parent_key);
    if (result != 0) {
        trace_scope.Error("GetParentFolderKey failed with result: %d, i=%d, s_key=%s.\n", result, i, s_key);
        return false;
    }
    if (s_parent_key.IsEmpty()) {
        trace_scope.Error("s_parent_key was empty, i=%d, s_key=%s.\n", i, s_key);
        return false;
    }
    const auto mapped = m_uuid_mappings.find(s_parent_key);
    if (mapped == m_uuid_mappings.end()) {
        trace_scope.Error(" ---- BUG ---- ");
        trace_scope.Data("s_parent_key %s is not found in the mappings. i=%d, s_key=%s.\n", s_parent_key, i, s_key);
        return false;
    }
    const CString d_parent_key = mapped->second;
    if (d_parent_key.IsEmpty()) {
        trace_scope.Error(" ---- BUG ---- ");
        trace_scope.Data("s_parent_key %s is mapped to an empty destination key. i=%d, s_key=%s.\n", s_parent_key, i,
                         s_key);
        return false;
    }
    trace_scope.Data("s_parent_key %s is mapped to destination key %s, i=%d, s_key=%s.\n", s_parent_key, d_parent_key,
                     i, s_key);
    CString name;
    result = m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_ENTRY_NAME, name);
    if (result != 0) {
        trace_scope.Error("GetEntryAttribute failed with code: %d, i=%d, s_key=%s.\n", result, i, s_key);
        return false;
    }
    if (name.IsEmpty()) {
        trace_scope.Error("GetEntryAttribute returned an empty name, i=%d, s_key=%s.\n", i, s_key);
        return false;
    }
    CString d_key = s_key; // asked for under its source key, so links find it
    const CString d_next_key;
    if (type == TREE_ITEM_TYPE_LINK) {
        CString strKeyEntryToBeLinked;
        result = m_source_library->GetEntryAttribute(s_key, ITEM_ATTR_LINK_TARGET, strKeyEntryToBeLinked);
        if (result != 0 || strKeyEntryToBeLinked.IsEmpty()) {
            trace_scope.Error("GetEntryAttribute failed, result=%d, KeyEntryToBeLinked=%s, i=%d, s_key=%s.\n", result,
                              strKeyEntryToBeLinked, i, s_key);
            return false;
        }
        trace_scope.Data("AddEntryLinkToFolder(name=%s, strKeyEntryToBeLinked=%s, d_parent_key=%s, d_key=%s, "
                         "d_next_key=%s), i=%d.\n",
                         name, strKeyEntryToBeLinked, d_parent_key, d_key, d_next_key, i);
        result = m_destination_library->AddEntryLinkToFolder(name, strKeyEntryToBeLinked, d_parent_key, d_key,
                                                             d_next_key);
    } else {
        trace_scope.Data("AddEntryToFolder(name=%s, type=%d, d_parent_key=%s, d_key=%s, d_next_key=%s), i=%d.\n", name,
                         type, d_parent_key, d_key, d_next_key, i);
        result = m_destination_library->AddEntryToFolder(name, type, d_parent_key, d_key, d_next_key, &properties);
    }
    if (result != 0) {
        trace_scope.Error("Adding entry (link) failed with result=%d, i=%d, s_key=%s.\n", result, i, s_key);
        return false;
    }
    if (d_key.IsEmpty()) {
        trace_scope.Error("Adding entry (link) returned an empty key, i=%d, s_key=%s.\n", i, s_key);
        return false;
    }
    if (m_uuid_mappings.count(s_key)) {
        trace_scope.Error(" ---- BUG ---- ");
        trace_scope.Data("Source key was already in the mappings. i=%d, s_key=%s, d_key=%s.\n", i, s_key, d_key);
        return false;
    }
    trace_scope.Data("Mapping entry: i=%d, s_key=%s, d_key=%s.\n", i, s_key, d_key);
    m_uuid_mappings[s_key] = d_key;
    return true;
}

// A connection with a message server but no usable port takes the port of its
// system from the message-server table, which is filled at most once for this.
void CMigrationTool::Set_Corresponding_MsgPort_If_Needed(CMapStringToString& properties)
{
    CString port, server, system;
    if (!properties.Lookup("MsgServerPort", port) || !properties.Lookup("MsgServerName", server))
        return;
    if (std::atoi(port) != 0)
        return;
    if (!properties.Lookup("SystemID", system))
        return;
    if (m_msg_migrator->Get_Message_Servers().empty() && !m_msg_servers_loaded) {
        m_msg_migrator->Do_Migration();
        m_msg_servers_loaded = true;
    }
    const auto& servers = m_msg_migrator->Get_Message_Servers();
    const auto found = servers.find(system.GetString());
    if (found != servers.end())
        properties.SetAt("MsgServerPort", std::to_string(found->second.port).c_str());
}

bool CMigrationTool::Migrate_Configuration_Params()
{
    QOR_TRACE_SCOPE(this);
    CString value;
    bool ok = m_source_library->GetConfigurationParameter("SystemStatusURL", value) == 0;
    trace_scope.Data("GetConfigurationParameter(SystemStatusURL): %d, '%s'\n", ok, value);
    if (ok && !value.IsEmpty()) {
        ok = m_destination_library->SetConfigurationParameter("SystemStatusURL", value) == 0;
        trace_scope.Data("SetConfigurationParameter(SystemStatusURL): %d\n", ok);
    }
    if (ok)
        ok = m_source_library->GetConfigurationParameter("SingleSystemStatusURL", value) == 0;
    trace_scope.Data("GetConfigurationParameter(SingleSystemStatusURL): %d, '%s'\n", ok, value);
    if (ok && !value.IsEmpty()) {
        ok = m_destination_library->SetConfigurationParameter("SingleSystemStatusURL", value) == 0;
        trace_scope.Data("SetConfigurationParameter(SingleSystemStatusURL): %d\n", ok);
    }
    return trace_scope.Return(static_cast<int>(ok)) != 0;
}


bool CMigrationTool::Migrate_Shared_Settings()
{
    QOR_TRACE_SCOPE(this);
    bool result = Migrate_Message_Servers();
    trace_scope.Data("Result after Migrate_Message_Servers: %d\n", result);
    result = result && Migrate_Routers();
    trace_scope.Data("Result after Migrate_Routers: %d\n", result);
    return trace_scope.Return(result);
}

bool CMigrationTool::Migrate_Message_Servers()
{
    QOR_TRACE_SCOPE(this);
    return trace_scope.Return(m_msg_migrator ? m_msg_migrator->Do_Migration() : false);
}

bool CMigrationTool::Migrate_Routers()
{
    QOR_TRACE_SCOPE(this);
    CQorRouteMigrator routers(&m_configuration);
    return trace_scope.Return(routers.Do_Migration());
}

bool CMigrationTool::Migrate_TEDU_Options(bool migrate_shared_data)
{
    QOR_TRACE_SCOPE(this, "migrate_shared_data=%d", migrate_shared_data);
    CTEDUOptionsMigrator options(&m_configuration, migrate_shared_data);
    return trace_scope.Return(options.Do_Migration());
}

bool CMigrationTool::Touch_User_Landscape()
{
    QOR_TRACE_SCOPE(this);
    if (m_configuration.Is_Simulation())
        return trace_scope.Return(true);
    const std::string path = m_configuration.Get_User_Landscape_XML_Path();
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(path)) {
        trace_scope.Data("Need to touch non-existing user landscape '%s'\n", path);
        Qorcdm2::CLandscapeXmlDocument landscape(true, std::shared_ptr<Qorcdm2::IFileCache>());
        const bool saved = landscape.Save_To_File(CString(path.c_str()));
        if (!saved)
            trace_scope.Error("Could not create landscape file '%s'.\n", path);
        return trace_scope.Return(saved);
    }
    if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) {
        trace_scope.Error("The landscape file '%s' is read only.\n", path);
        return trace_scope.Return(false);
    }
    return trace_scope.Return(true);
}

bool CMigrationTool::Add_Shared_Include()
{
    QOR_TRACE_SCOPE(this);
    if (m_configuration.Is_Simulation())
        return trace_scope.Return(true);
    const std::string shared = m_configuration.Get_Shared_Landscape_XML_Path();
    const std::string user = m_configuration.Get_User_Landscape_XML_Path();
    trace_scope.Data("Adding include '%s' to user landscape\n", shared);
    Qorcdm2::CLandscapeXmlDocument landscape(false, std::shared_ptr<Qorcdm2::IFileCache>());
    CString error;
    if (!landscape.Load_From_File(CString(user.c_str()), error, true)) {
        trace_scope.Error("Cannot load user landscape '%s'\n", user);
        return trace_scope.Return(false);
    }
    trace_scope.Data("Loaded user landscape '%s'\n", user);
    const DWORD state = Read_Migration_State();
    if (state == S3_MIGRATED_INTO_COMMAND_LINE_FILE || state == S4_MIGRATED_INTO_ENVIRONMENT_FILE) {
        // A file named by the host keeps an include that still leads somewhere.
        const CString include = landscape.GetIncludeIndex0Url();
        if (include.IsEmpty()) {
            const bool migrated = Migrate_Shared_Settings();
            trace_scope.DeveloperNote("Shared file '%s' migrated for registry settings (rc=%d)\n", shared, migrated);
        } else if (PathIsURLA(include)) {
            trace_scope.DeveloperNote("Include file '%s' with index 0 is on website\n", include);
            return trace_scope.Return(true);
        } else if (QOR::FrontEnd::Util::FileSystem::File_Exists(include.GetString())) {
            trace_scope.DeveloperNote("Include file '%s' with index 0 is existing\n", include);
            return trace_scope.Return(true);
        } else {
            const bool migrated = Migrate_Shared_Settings();
            trace_scope.DeveloperNote("Shared file '%s' migrated for Include with index 0 (rc=%d)\n", shared, migrated);
        }
    }
    landscape.Set_Server_Include_URL(CString(shared.c_str()));
    if (!landscape.Save_To_File(CString(user.c_str()))) {
        trace_scope.Error("Cannot save user landscape '%s'\n", user);
        return trace_scope.Return(false);
    }
    return trace_scope.Return(true);
}

bool CMigrationTool::Repair_Missing_Message_Servers()
{
    QOR_TRACE_SCOPE(this);
    char server[MAX_PATH] = {};
    if (!GetServerLandscapeFileName(0, server, MAX_PATH) && !GetCoreLandscapeFileName(0, server, MAX_PATH))
        return trace_scope.Return(true); // no server landscape: nothing to repair
    CQorMsgRepair repair(m_configuration.Get_Qormsg_INI_Path(), m_configuration.Get_Windows_Services_File(),
                         m_configuration.Get_User_Landscape_XML_Path(), m_configuration.Get_Shared_Landscape_XML_Path());
    return trace_scope.Return(repair.Do_Migration());
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
