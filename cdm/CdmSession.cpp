#include "CdmSession.h"

#include <cstdlib>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

CdmSession::CdmSession(const CdmLibraryFile& library, const std::string& path) : m_functions(library.Functions())
{
    if (!library.Usable()) {
        m_message = library.File() + (library.Module() ? " lacks a function of the table" : " cannot be loaded");
        return;
    }
    int state = 0, error = 0;
    CString message;
    m_initialized = true;
    m_state = m_functions.Init(path.c_str(), &state, &error, &message, 0, "");
    m_message = message.GetString();
}

CdmSession::~CdmSession()
{
    if (m_initialized)
        m_functions.Exit();
}

ConnectionTree CdmSession::Read() const
{
    ConnectionTree tree;
    if (!Is_Open())
        return tree;
    Read_Folders(tree);
    CStringArray keys;
    m_functions.GetEntryKeys(CString(), &keys, TRUE, TREE_ITEM_TYPE_ANY_ENTRY);
    for (long long i = 0; i < keys.GetSize(); ++i)
        tree.Add(Read_Entry(keys[i]));
    return tree;
}

// The landscape keeps its top-level folders as workspaces; the old file has none
// and lists every folder from its root.
void CdmSession::Read_Folders(ConnectionTree& tree) const
{
    const auto subFolders = m_functions.GetSubFolderKeys;
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

ConnectionTree::Folder CdmSession::Read_Folder(const CString& key, bool workspace) const
{
    CString name, memo, parent, fromServer;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    m_functions.GetFolderAttributes(key, name, type, expanded, memo, parent);
    m_functions.GetFolderAttribute(key, ITEM_ATTR_FOLDER_FROM_SERVER, fromServer);
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

ConnectionTree::Entry CdmSession::Read_Entry(const CString& key) const
{
    const auto attribute = m_functions.GetEntryAttribute;
    CString name, type, target, skip, parent;
    attribute(key, ITEM_ATTR_ENTRY_NAME, name);
    attribute(key, ITEM_ATTR_ENTRY_TYPE, type);
    attribute(key, ITEM_ATTR_LINK_TARGET, target);
    attribute(key, ITEM_ATTR_ENTRY_SKIP_FLAG, skip);
    m_functions.GetParentFolderKey(key, parent);
    ConnectionTree::Entry entry;
    entry.key = key.GetString();
    entry.name = name.GetString();
    entry.type = std::atoi(type);
    entry.target = target.GetString();
    entry.skip = skip == "1";
    entry.parent = parent.GetString();
    CMapStringToString properties;
    m_functions.GetEntryData(key, &properties);
    CString property, value;
    for (POSITION at = properties.GetStartPosition(); at;) {
        properties.GetNextAssoc(at, property, value);
        entry.properties[property.GetString()] = value.GetString();
    }
    return entry;
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
