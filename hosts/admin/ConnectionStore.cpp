#include "ConnectionStore.h"

#include <cstdlib>

namespace Admin {

ConnectionStore::ConnectionStore(const char* library, const std::string& path) : m_module(LoadLibraryA(library))
{
    const auto init = Function<CdmDataManInit_t>("CdmDataManInit");
    if (!init) {
        m_message = std::string(library) + " cannot be loaded";
        return;
    }
    int state = 0, error = 0;
    CString message;
    m_state = init(path.c_str(), &state, &error, &message, 0, "");
    m_message = message.GetString();
}

ConnectionStore::~ConnectionStore()
{
    if (const auto exit = Function<CdmDataManExit_t>("CdmDataManExit"))
        exit();
}

template <typename F>
F ConnectionStore::Function(const char* name) const
{
    return m_module ? reinterpret_cast<F>(GetProcAddress(m_module.get(), name)) : nullptr;
}

ConnectionTree ConnectionStore::Read() const
{
    ConnectionTree tree;
    if (!Is_Open())
        return tree;
    Read_Folders(tree);
    CStringArray keys;
    Function<CdmDataManGetEntryKeys_t>("CdmDataManGetEntryKeys")(CString(), &keys, TRUE, TREE_ITEM_TYPE_ANY_ENTRY);
    for (long long i = 0; i < keys.GetSize(); ++i)
        tree.Add(Read_Entry(keys[i]));
    return tree;
}

// The landscape keeps its top-level folders as workspaces; the old file has none
// and lists every folder from its root.
void ConnectionStore::Read_Folders(ConnectionTree& tree) const
{
    const auto subFolders = Function<CdmDataManGetSubFolderKeys_t>("CdmDataManGetSubFolderKeys");
    CStringArray workspaces, keys;
    subFolders(CString(), &workspaces, FALSE, TREE_ITEM_TYPE_WORKSPACE);
    for (long long i = 0; i < workspaces.GetSize(); ++i) {
        tree.Add(Read_Folder(workspaces[i], true));
        subFolders(workspaces[i], &keys, TRUE, TREE_ITEM_TYPE_FOLDER);
        for (long long k = 0; k < keys.GetSize(); ++k)
            tree.Add(Read_Folder(keys[k], false));
    }
    subFolders(CString(), &keys, TRUE, TREE_ITEM_TYPE_FOLDER);
    for (long long k = 0; k < keys.GetSize(); ++k)
        tree.Add(Read_Folder(keys[k], false));
}

ConnectionTree::Folder ConnectionStore::Read_Folder(const CString& key, bool workspace) const
{
    CString name, memo, parent, fromServer;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    Function<CdmDataManGetFolderAttributes_t>("CdmDataManGetFolderAttributes")(key, name, type, expanded, memo, parent);
    Function<CdmDataManGetFolderAttribute_t>("CdmDataManGetFolderAttribute")(key, ITEM_ATTR_FOLDER_FROM_SERVER,
                                                                               fromServer);
    ConnectionTree::Folder folder;
    folder.key = key.GetString();
    folder.name = name.GetString();
    folder.parent = workspace ? "" : parent.GetString();
    folder.memo = memo.GetString();
    folder.expanded = expanded != FALSE;
    folder.fromServer = fromServer == "1";
    folder.workspace = workspace;
    return folder;
}

ConnectionTree::Entry ConnectionStore::Read_Entry(const CString& key) const
{
    const auto attribute = Function<CdmDataManGetEntryAttribute_t>("CdmDataManGetEntryAttribute");
    CString name, type, target, skip, parent;
    attribute(key, ITEM_ATTR_ENTRY_NAME, name);
    attribute(key, ITEM_ATTR_ENTRY_TYPE, type);
    attribute(key, ITEM_ATTR_LINK_TARGET, target);
    attribute(key, ITEM_ATTR_ENTRY_SKIP_FLAG, skip);
    Function<CdmDataManGetParentFolderKey_t>("CdmDataManGetParentFolderKey")(key, parent);
    ConnectionTree::Entry entry;
    entry.key = key.GetString();
    entry.name = name.GetString();
    entry.type = std::atoi(type);
    entry.target = target.GetString();
    entry.skip = skip == "1";
    entry.parent = parent.GetString();
    CMapStringToString properties;
    Function<CdmDataManGetEntryData_t>("CdmDataManGetEntryData")(key, &properties);
    CString property, value;
    for (POSITION at = properties.GetStartPosition(); at;) {
        properties.GetNextAssoc(at, property, value);
        entry.properties[property.GetString()] = value.GetString();
    }
    return entry;
}

} // namespace Admin
