// CMigrationTool, lifecycle and driver: construction, the two libraries, the
// switch of the working directory, Do_Migration's fixed order of parts and the
// dumps to standard output. The parts themselves: CMigrationToolFolderTree.cpp
// (user settings and folders), CMigrationToolEntries.cpp (entries and
// parameters), CMigrationToolSharedSettings.cpp (shared landscape, include,
// options files).
#include "CMigrationTool.h"

#include <cstdio>
#include <iostream>

#include "CLogonManagerLibrary.h"
#include "CQorMsgMigrator.h"
#include "FileSystem.h"
#include "MigrationState.h"
#include "ModuleHandle.h"
#include "ScopeExit.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

CMigrationTool::CMigrationTool(const CMigrationToolConfig& config)
    : m_msg_servers_loaded(false), m_configuration(config)
{
    QOR_TRACE_SCOPE(this, "config=%s", config.To_String());
    m_msg_migrator = std::make_shared<CQorMsgMigrator>(&m_configuration);
}

CMigrationTool::CMigrationTool(const CMigrationTool& other) = default;

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
    // An XML error that leaves a part puts the directory back on its way out.
    auto restore = QOR::FrontEnd::Util::scope_exit([this] { Change_Back_To_Original_Directory(); });
    const DWORD state = migrate_shared_data ? Read_Migration_State() : DWORD(S0_NOT_STARTED_YET);
    const bool migrates_shared = migrate_shared_data && state != S3_MIGRATED_INTO_COMMAND_LINE_FILE &&
                                 state != S4_MIGRATED_INTO_ENVIRONMENT_FILE;
    // Every part runs, whatever the earlier ones returned.
    const bool shared = migrates_shared ? Migrate_Shared_Settings() : true;
    const bool user = Migrate_User_Settings();
    const bool options = Migrate_TEDU_Options(migrates_shared);
    trace_scope.Data("Results after migration parts: Shared migration:%d, User settings:%d, TEDU options:%d\n", shared,
                     user, options);
    restore.reset();
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

    m_source_library =
        std::make_shared<CLogonManagerLibrary>(CLogonManagerLibrary::V01_OLD_LOGON_MANAGER,
                                               m_configuration.Get_Qorlogon_INI_Path(), std::string(tracefile1), true);
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

}}}} // namespace QOR::FrontEnd::Landscape::Migration
