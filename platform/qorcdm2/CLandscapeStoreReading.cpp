// CLandscapeStore, reading: listings of folders and entries in document order,
// attributes, properties, parents and parameters, all found through the index.
#include "CLandscapeStore.h"

#include "CdmResults.h"
#include "XmlText.h"

namespace Qorcdm2 {

using QOR::FrontEnd::MsXmlAdaptor::Narrow_From_Utf8;

namespace {

CString Narrow(std::string_view utf8) { return CString(Narrow_From_Utf8(utf8).c_str()); }

bool Is(const CXmlTree& tree, CXmlTree::Id node, std::string_view name)
{
    return tree.Kind_Of(node) == CXmlTree::Kind::Element && tree.Name(node) == name;
}

} // namespace

void CLandscapeStore::Collect_Folders(const CXmlTree& tree, CXmlTree::Id folder, CStringArray& keys, bool recursive,
                                      int type) const
{
    for (CXmlTree::Id child = tree.First_Child(folder); child != CXmlTree::None; child = tree.Next_Sibling(child)) {
        if (!Is(tree, child, "Node"))
            continue;
        if (type == TREE_ITEM_TYPE_FOLDER)
            keys.Add(Narrow(tree.Attribute(child, "uuid")));
        if (recursive)
            Collect_Folders(tree, child, keys, true, type);
    }
}

void CLandscapeStore::Collect_Entries(const CXmlTree& tree, CXmlTree::Id folder, CStringArray& keys, bool recursive,
                                      int type) const
{
    for (CXmlTree::Id child = tree.First_Child(folder); child != CXmlTree::None; child = tree.Next_Sibling(child)) {
        if (Is(tree, child, "Item")) {
            const std::string key = Narrow_From_Utf8(tree.Attribute(child, "uuid"));
            const auto entry = m_entries.find(key);
            if (entry != m_entries.end() && entry->second.type != 0 &&
                (type == TREE_ITEM_TYPE_ANY_ENTRY || entry->second.type == type))
                keys.Add(key.c_str());
        } else if (recursive && Is(tree, child, "Node")) {
            Collect_Entries(tree, child, keys, true, type);
        }
    }
}

int CLandscapeStore::Sub_Folders(const CString& key, CStringArray& keys, bool recursive, int type)
{
    Refresh();
    if (type != TREE_ITEM_TYPE_FOLDER && type != TREE_ITEM_TYPE_WORKSPACE)
        return CDM_E_INVALID_ARGUMENT;
    keys.RemoveAll();
    if (!key.IsEmpty()) {
        const Item* folder = Find(m_folders, key);
        if (!folder)
            return CDM_E_NOT_FOUND;
        Collect_Folders(Tree_Of(*folder), folder->element, keys, recursive, type);
        return CDM_OK;
    }
    for (const auto& [workspace, fromServer] : Workspaces()) {
        const CXmlTree& tree = fromServer ? m_included : m_tree;
        if (type == TREE_ITEM_TYPE_WORKSPACE)
            keys.Add(Narrow(tree.Attribute(workspace, "uuid")));
        if (recursive)
            Collect_Folders(tree, workspace, keys, true, type);
    }
    return CDM_OK;
}

int CLandscapeStore::Entries(const CString& key, CStringArray& keys, bool recursive, int type)
{
    Refresh();
    if (type != TREE_ITEM_TYPE_LINK && type != TREE_ITEM_TYPE_QORSHORTCUT && type != TREE_ITEM_TYPE_CONNECTION &&
        type != TREE_ITEM_TYPE_ANY_ENTRY)
        return CDM_E_INVALID_ARGUMENT;
    keys.RemoveAll();
    if (!key.IsEmpty()) {
        const Item* folder = Find(m_folders, key);
        if (!folder)
            return CDM_E_NOT_FOUND;
        Collect_Entries(Tree_Of(*folder), folder->element, keys, recursive, type);
        return CDM_OK;
    }
    if (recursive) // the top of the tree holds workspaces only
        for (const auto& [workspace, fromServer] : Workspaces())
            Collect_Entries(fromServer ? m_included : m_tree, workspace, keys, true, type);
    return CDM_OK;
}

int CLandscapeStore::Folder_Attributes(const CString& key, CString& name, int& type, BOOL& expanded, CString& memo,
                                       CString& parent)
{
    Refresh();
    const Item* folder = Find(m_folders, key);
    if (!folder)
        return CDM_E_NOT_FOUND;
    const CXmlTree& tree = Tree_Of(*folder);
    name = Narrow(tree.Attribute(folder->element, "name"));
    type = folder->type;
    expanded = tree.Attribute(folder->element, "expanded") == "1" ? TRUE : FALSE;
    memo = Narrow(tree.Attribute(folder->element, "description"));
    return Parent_Key(key, parent);
}

int CLandscapeStore::Folder_Attribute(const CString& key, int code, CString& value)
{
    Refresh();
    const Item* folder = Find(m_folders, key);
    if (!folder)
        return CDM_E_NOT_FOUND;
    if (code != ITEM_ATTR_FOLDER_FROM_SERVER)
        return CDM_E_INVALID_ARGUMENT;
    value = folder->fromServer ? "1" : "0";
    return CDM_OK;
}

int CLandscapeStore::Entry_Attribute(const CString& key, int code, CString& value)
{
    Refresh();
    const Item* entry = Find(m_entries, key);
    if (!entry || entry->type == 0)
        return CDM_E_NOT_FOUND;
    const CXmlTree& tree = Tree_Of(*entry);
    const std::string serviceKey = Narrow_From_Utf8(tree.Attribute(entry->element, "serviceid"));
    switch (code) {
    case ITEM_ATTR_ENTRY_NAME: {
        std::string_view name = tree.Attribute(entry->element, "name");
        if (name.empty() && entry->type != TREE_ITEM_TYPE_LINK) {
            const Item& service = m_services.at(serviceKey);
            name = Tree_Of(service).Attribute(service.element, "name");
        }
        value = Narrow(name);
        return CDM_OK;
    }
    case ITEM_ATTR_ENTRY_TYPE:
        value.Format("%d", entry->type);
        return CDM_OK;
    case ITEM_ATTR_LINK_TARGET:
        value = entry->type == TREE_ITEM_TYPE_LINK ? serviceKey.c_str() : "";
        return CDM_OK;
    case ITEM_ATTR_ENTRY_SKIP_FLAG:
        value = tree.Attribute(entry->element, "skip") == "1" ? "1" : "0";
        return CDM_OK;
    default:
        return CDM_E_INVALID_ARGUMENT;
    }
}

// A link shows the properties of the entry it points to.
int CLandscapeStore::Entry_Data(const CString& key, CMapStringToString& properties)
{
    Refresh();
    const Item* entry = Find(m_entries, key);
    if (!entry || entry->type == 0)
        return CDM_E_NOT_FOUND;
    const Item& service = m_services.at(Narrow_From_Utf8(Tree_Of(*entry).Attribute(entry->element, "serviceid")));
    const CXmlTree& tree = Tree_Of(service);
    for (CXmlTree::Id property = tree.First_Child(service.element); property != CXmlTree::None;
         property = tree.Next_Sibling(property))
        if (Is(tree, property, "Property"))
            properties.SetAt(Narrow(tree.Attribute(property, "name")), Narrow(tree.Attribute(property, "value")));
    return CDM_OK;
}

int CLandscapeStore::Parent_Key(const CString& key, CString& parent)
{
    Refresh();
    const Item* item = Find(m_entries, key);
    if (!item)
        item = Find(m_folders, key);
    if (!item)
        return CDM_E_NOT_FOUND;
    const CXmlTree& tree = Tree_Of(*item);
    const CXmlTree::Id container = tree.Parent(item->element);
    parent = tree.Kind_Of(container) == CXmlTree::Kind::Element && tree.Name(container) != "Workspaces"
                 ? Narrow(tree.Attribute(container, "uuid"))
                 : CString();
    return CDM_OK;
}

int CLandscapeStore::Get_Parameter(const CString& name, CString& value)
{
    Refresh();
    const CXmlTree::Id parameters = m_tree.First_Element(m_tree.Root(), "Parameters");
    if (parameters == CXmlTree::None)
        return CDM_E_NOT_FOUND;
    for (CXmlTree::Id parameter = m_tree.First_Child(parameters); parameter != CXmlTree::None;
         parameter = m_tree.Next_Sibling(parameter))
        if (Is(m_tree, parameter, "Parameter") &&
            Narrow_From_Utf8(m_tree.Attribute(parameter, "name")) == name.GetString()) {
            value = Narrow(m_tree.Attribute(parameter, "value"));
            return CDM_OK;
        }
    return CDM_E_NOT_FOUND;
}

} // namespace Qorcdm2
