#pragma once
#include <map>
#include <memory>
#include <string>

#include "CMigrationToolConfig.h"
#include "CdmDataMan.h"
#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

class CLogonManagerLibrary;
class CQorMsgMigrator;
class TraceScope;

// One migration run: the shared settings, the user's connection tree from the
// old storage into the landscape, and the options files.
class LANDSCAPE_MIGRATION_API CMigrationTool
{
public:
    explicit CMigrationTool(const CMigrationToolConfig& config);
    CMigrationTool(const CMigrationTool& other);
    ~CMigrationTool();
    CMigrationTool& operator=(const CMigrationTool&) = delete;

    bool Do_Migration(bool migrate_shared_data);
    bool Is_Valid() const;
    const CDM_INITIALIZATION_STATE& GetSourceInitializationState() const;
    const CDM_INITIALIZATION_STATE& GetDestinationInitializationState() const;

private:
    bool Initialize_Libraries();
    void Change_To_Our_Directory();
    void Change_Back_To_Original_Directory();
    bool Dump_Library(std::shared_ptr<CLogonManagerLibrary> which);
    void Dump_Mappings();

    bool Migrate_User_Settings();
    bool Check_Prerequisites_4_User_Settings_Mig();
    bool Migrate_Folders(const CString& s_parent_key);
    bool Migrate_Typed_Entries(TREE_ITEMS_TYPE nEntryType);
    bool Migrate_Entries();
    void Set_Corresponding_MsgPort_If_Needed(CMapStringToString& properties);
    bool Migrate_Configuration_Params();

    bool Migrate_Shared_Settings();
    bool Repair_Missing_Message_Servers();
    bool Touch_User_Landscape();
    bool Add_Shared_Include();
    bool Migrate_Message_Servers();
    bool Migrate_Routers();
    bool Migrate_TEDU_Options(bool migrate_shared_data);

    bool Migrate_Entry(TraceScope& trace_scope, TREE_ITEMS_TYPE nEntryType, long long i, const CString& s_key);
    // What the old file says of one entry.
    struct SourceEntry
    {
        int type = 0;
        CMapStringToString properties;
        CString parent, name;
    };
    bool Read_Entry_Type(TraceScope& trace_scope, int i, const CString& s_key, TREE_ITEMS_TYPE nEntryType, int& type,
                         bool& wanted);
    bool Read_Entry_Data(TraceScope& trace_scope, int i, const CString& s_key, SourceEntry& entry);
    bool Map_Entry_Parent(TraceScope& trace_scope, int i, const CString& s_key, const CString& s_parent_key,
                          CString& d_parent_key);
    bool Read_Entry_Name(TraceScope& trace_scope, int i, const CString& s_key, CString& name);
    bool Add_Entry(TraceScope& trace_scope, int i, const CString& s_key, SourceEntry& entry,
                   const CString& d_parent_key, CString& d_key);
    bool Map_Entry(TraceScope& trace_scope, int i, const CString& s_key, const CString& d_key);
    bool Migrate_Folder(TraceScope& trace_scope, const CString& s_parent_key, long long i, const CString& s_key);
    void Dump_Contents();

    bool m_msg_servers_loaded;
    std::string m_original_directory;
    const CMigrationToolConfig& m_configuration;
    std::shared_ptr<CLogonManagerLibrary> m_source_library;
    std::shared_ptr<CLogonManagerLibrary> m_destination_library;
    CDM_INITIALIZATION_STATE m_sourceInitializationState;
    CDM_INITIALIZATION_STATE m_destinationInitializationState;
    std::map<CString, CString> m_uuid_mappings;
    std::shared_ptr<CQorMsgMigrator> m_msg_migrator;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
