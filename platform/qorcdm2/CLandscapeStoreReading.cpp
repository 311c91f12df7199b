// CLandscapeStore, reading: listings of folders and entries in document order,
// attributes, properties, parents and parameters, all found through the index.
#include "CLandscapeStore.h"

#include "CdmDataMan.h"
#include "LandscapeDom.h"

namespace Qorcdm2 {

void CLandscapeStore::Collect_Folders(IXMLDOMElement* folder, CStringArray& keys, bool recursive, int type) const
{
    Dom::For_Each_Child(folder, [&](IXMLDOMElement* child) {
        if (Dom::Node_Name(child) != "Node")
            return true;
        if (type == TREE_ITEM_TYPE_FOLDER)
            keys.Add(Dom::Attribute(child, "uuid").c_str());
        if (recursive)
            Collect_Folders(child, keys, true, type);
        return true;
    });
}

void CLandscapeStore::Collect_Entries(IXMLDOMElement* folder, CStringArray& keys, bool recursive, int type) const
{
    Dom::For_Each_Child(folder, [&](IXMLDOMElement* child) {
        const std::string name = Dom::Node_Name(child);
        if (name == "Item") {
            const std::string key = Dom::Attribute(child, "uuid");
            const auto entry = m_entries.find(key);
            if (entry != m_entries.end() && entry->second.type != 0 &&
                (type == TREE_ITEM_TYPE_ANY_ENTRY || entry->second.type == type))
                keys.Add(key.c_str());
        } else if (name == "Node" && recursive) {
            Collect_Entries(child, keys, true, type);
        }
        return true;
    });
}

// Runs `collect` on the folder of `key`, which must exist.
int CLandscapeStore::Collect_Below(const CString& key, const std::function<void(IXMLDOMElement*)>& collect) const
{
    const Item* folder = Find(m_folders, key);
    if (!folder)
        return CDM_E_NOT_FOUND;
    collect(folder->element);
    return CDM_OK;
}

int CLandscapeStore::Sub_Folders(const CString& key, CStringArray& keys, bool recursive, int type) const
{
    if (type != TREE_ITEM_TYPE_FOLDER && type != TREE_ITEM_TYPE_WORKSPACE)
        return CDM_E_INVALID_ARGUMENT;
    keys.RemoveAll();
    if (!key.IsEmpty())
        return Collect_Below(key, [&](IXMLDOMElement* folder) { Collect_Folders(folder, keys, recursive, type); });
    for (const auto& workspace : Workspaces()) {
        if (type == TREE_ITEM_TYPE_WORKSPACE)
            keys.Add(Dom::Attribute(workspace.first, "uuid").c_str());
        if (recursive)
            Collect_Folders(workspace.first, keys, true, type);
    }
    return CDM_OK;
}

int CLandscapeStore::Entries(const CString& key, CStringArray& keys, bool recursive, int type) const
{
    if (type != TREE_ITEM_TYPE_LINK && type != TREE_ITEM_TYPE_QORSHORTCUT && type != TREE_ITEM_TYPE_CONNECTION &&
        type != TREE_ITEM_TYPE_ANY_ENTRY)
        return CDM_E_INVALID_ARGUMENT;
    keys.RemoveAll();
    if (!key.IsEmpty())
        return Collect_Below(key, [&](IXMLDOMElement* folder) { Collect_Entries(folder, keys, recursive, type); });
    if (recursive) // the top of the tree holds workspaces only
        for (const auto& workspace : Workspaces())
            Collect_Entries(workspace.first, keys, true, type);
    return CDM_OK;
}

int CLandscapeStore::Folder_Attributes(const CString& key, CString& name, int& type, BOOL& expanded, CString& memo,
                                       CString& parent) const
{
    const Item* folder = Find(m_folders, key);
    if (!folder)
        return CDM_E_NOT_FOUND;
    name = Dom::Attribute(folder->element, "name").c_str();
    type = folder->type;
    expanded = Dom::Attribute(folder->element, "expanded") == "1" ? TRUE : FALSE;
    memo = Dom::Attribute(folder->element, "description").c_str();
    return Parent_Key(key, parent);
}

int CLandscapeStore::Folder_Attribute(const CString& key, int code, CString& value) const
{
    const Item* folder = Find(m_folders, key);
    if (!folder)
        return CDM_E_NOT_FOUND;
    if (code != ITEM_ATTR_FOLDER_FROM_SERVER)
        return CDM_E_INVALID_ARGUMENT;
    value = folder->fromServer ? "1" : "0";
    return CDM_OK;
}

int CLandscapeStore::Entry_Attribute(const CString& key, int code, CString& value) const
{
    const Item* entry = Find(m_entries, key);
    if (!entry || entry->type == 0)
        return CDM_E_NOT_FOUND;
    const std::string serviceKey = Dom::Attribute(entry->element, "serviceid");
    switch (code) {
    case ITEM_ATTR_ENTRY_NAME: {
        std::string name = Dom::Attribute(entry->element, "name");
        if (name.empty() && entry->type != TREE_ITEM_TYPE_LINK)
            name = Dom::Attribute(m_services.at(serviceKey).element, "name");
        value = name.c_str();
        return CDM_OK;
    }
    case ITEM_ATTR_ENTRY_TYPE:
        value.Format("%d", entry->type);
        return CDM_OK;
    case ITEM_ATTR_LINK_TARGET:
        value = entry->type == TREE_ITEM_TYPE_LINK ? serviceKey.c_str() : "";
        return CDM_OK;
    case ITEM_ATTR_ENTRY_SKIP_FLAG:
        value = Dom::Attribute(entry->element, "skip") == "1" ? "1" : "0";
        return CDM_OK;
    default:
        return CDM_E_INVALID_ARGUMENT;
    }
}

// A link shows the properties of the entry it points to.
int CLandscapeStore::Entry_Data(const CString& key, CMapStringToString& properties) const
{
    const Item* entry = Find(m_entries, key);
    if (!entry || entry->type == 0)
        return CDM_E_NOT_FOUND;
    const Item& service = m_services.at(Dom::Attribute(entry->element, "serviceid"));
    Dom::For_Each_Child(service.element, [&](IXMLDOMElement* property) {
        if (Dom::Node_Name(property) == "Property")
            properties.SetAt(Dom::Attribute(property, "name").c_str(), Dom::Attribute(property, "value").c_str());
        return true;
    });
    return CDM_OK;
}

int CLandscapeStore::Parent_Key(const CString& key, CString& parent) const
{
    const Item* item = Find(m_entries, key);
    if (!item)
        item = Find(m_folders, key);
    if (!item)
        return CDM_E_NOT_FOUND;
    const IXMLDOMElementPtr container = Dom::Parent_Element(item->element);
    parent = container && Dom::Node_Name(container) != "Workspaces" ? Dom::Attribute(container, "uuid").c_str() : "";
    return CDM_OK;
}

int CLandscapeStore::Get_Parameter(const CString& name, CString& value) const
{
    const IXMLDOMElementPtr parameters = Dom::First_Child(Dom::Root(m_document.m_pXmlDocument), "Parameters");
    bool found = false;
    if (parameters)
        Dom::For_Each_Child(parameters, [&](IXMLDOMElement* parameter) {
            if (Dom::Node_Name(parameter) == "Parameter" && Dom::Attribute(parameter, "name") == name.GetString()) {
                value = Dom::Attribute(parameter, "value").c_str();
                found = true;
            }
            return !found;
        });
    return found ? CDM_OK : CDM_E_NOT_FOUND;
}

} // namespace Qorcdm2
