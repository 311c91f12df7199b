// CMigrationTool, the user-settings step and the folder tree: the step's
// sequence and prerequisites, then the depth-first copy of the source folders
// into the destination's main workspace, each source key mapped to its new key.
#include "CMigrationTool.h"

#include "CLogonManagerLibrary.h"
#include "FileSystem.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

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
    if (!m_configuration.Is_Simulation() && !m_configuration.Is_Forced() && File_Exists(destination))
        return trace_scope.Return(
            trace_scope.Failed("Destination INI file exists, remove it before migration: %s\n", destination));
    return trace_scope.Return(true);
}

// Depth first: a folder is created and mapped, then its subtree, then its next
// sibling. Top-level folders all become the destination's main folder.
bool CMigrationTool::Migrate_Folders(const CString& s_parent_key)
{
    QOR_TRACE_SCOPE(this, "s_parent_key=%s", s_parent_key);
    CStringArray s_subfolder_keys;
    if (m_source_library->GetSubFolderKeys(s_parent_key, &s_subfolder_keys, FALSE, TREE_ITEM_TYPE_FOLDER) != 0)
        return trace_scope.Return(trace_scope.Failed("Cannot get subfolder keys. Parent = '%s'\n", s_parent_key));
    trace_scope.Data("GetSubFolderKeys returned %d keys\n", static_cast<int>(s_subfolder_keys.GetSize()));
    for (long long i = 0; i < s_subfolder_keys.GetSize(); ++i) {
        const CString s_key = s_subfolder_keys[i];
        if (s_key.IsEmpty())
            return trace_scope.Return(
                trace_scope.Failed("Empty key found in s_subfolder_keys at position %d\n", static_cast<int>(i)));
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
        if (!m_destination_library->Get_Main_Folder(d_parent_key))
            return trace_scope.Failed("Get_Main_Folder returned result %d, i = %d\n", 0, static_cast<int>(i));
        trace_scope.Data("Mapping main folder: i=%d, s_key=%s, d_parent_key=%s.\n", static_cast<int>(i), s_key,
                         d_parent_key);
        m_uuid_mappings[s_key] = d_parent_key;
        if (!Migrate_Folders(s_key))
            return trace_scope.Failed("Could not migrate the subfolders of main folder with key %s\n", s_key);
        return true;
    }
    const auto mapped_parent = m_uuid_mappings.find(s_parent_key);
    if (mapped_parent == m_uuid_mappings.end())
        return trace_scope.Failed_Bug("Source UUID %s/%s. Had not been added to the mappings.\n", s_parent_key, name);
    const CString d_parent_key = mapped_parent->second;
    CString d_new_folder_key, d_next_key;
    trace_scope.Data("AddFolder(d_parent_key=%s, name=%s, expanded=%d, memo=%s, d_new_folder_key=%s), i=%d.\n",
                     d_parent_key, name, expanded ? 1 : 0, memo, d_new_folder_key, static_cast<int>(i));
    const int result =
        m_destination_library->AddFolder(d_parent_key, name, expanded, memo, d_new_folder_key, d_next_key);
    if (result != 0)
        return trace_scope.Failed("Cannot migrate folder %s/%s. Folder creation failed with result %d.\n", s_key, name,
                                  result);
    if (d_new_folder_key.IsEmpty())
        return trace_scope.Failed("Cannot migrate folder %s/%s. Returned new UUID was empty.\n", s_key, name);
    if (m_uuid_mappings.count(s_key))
        return trace_scope.Failed_Bug("The key being migrated already exists in the mappings %s/%s. \n", s_key, name);
    trace_scope.Data("Mapping folder: i=%d, s_key=%s, d_new_folder_key=%s.\n", static_cast<int>(i), s_key,
                     d_new_folder_key);
    m_uuid_mappings[s_key] = d_new_folder_key;
    if (!Migrate_Folders(s_key))
        return trace_scope.Failed("Could not migrate the subfolders of folder with key %s\n", s_key);
    return true;
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
