// CLandscapeStore, writing: new folders, entries, links and parameters, placed
// before a given sibling or at the end, indexed at once, and saved when the
// store closes (the first change of a new file writes it at once).
#include "CLandscapeStore.h"

#include "CdmDataMan.h"
#include "LandscapeDom.h"
#include "Uuid.h"

namespace Qorcdm2 {

namespace {

const char* Service_Type_Name(int type) { return type == TREE_ITEM_TYPE_QORSHORTCUT ? "QORSHORTCUT" : "QORGUI"; }

std::string Text(const CString& text) { return text.GetString(); }

} // namespace

// The element to insert before: `next` when it is one of our items under `parent`.
IXMLDOMNode* CLandscapeStore::Next_Sibling(const Index& index, const CString& next, IXMLDOMElement* parent) const
{
    const Item* item = next.IsEmpty() ? nullptr : Find(index, next);
    if (!item || item->fromServer)
        return nullptr;
    const IXMLDOMElementPtr itemParent = Dom::Parent_Element(item->element);
    if (!itemParent || Dom::Attribute(itemParent, "uuid") != Dom::Attribute(parent, "uuid") ||
        Dom::Node_Name(itemParent) != Dom::Node_Name(parent))
        return nullptr;
    return item->element;
}

int CLandscapeStore::Add_Folder(const CString& parent, const CString& name, bool expanded, const CString& memo,
                                CString& key, const CString& next)
{
    IXMLDOMElementPtr container;
    int type = TREE_ITEM_TYPE_WORKSPACE;
    if (parent.IsEmpty()) {
        container = Dom::Child_Or_New(Dom::Root(m_document.m_pXmlDocument), "Workspaces");
    } else {
        const Item* folder = nullptr;
        if (const int result = Own_Folder(parent, folder))
            return result;
        container = folder->element;
        type = TREE_ITEM_TYPE_FOLDER;
    }
    const std::string newKey = Key_For(key);
    const IXMLDOMElementPtr element = Dom::Add_Child(container, type == TREE_ITEM_TYPE_WORKSPACE ? "Workspace" : "Node",
                                                     Next_Sibling(m_folders, next, container));
    Dom::Set_Attribute(element, "uuid", newKey);
    Dom::Set_Attribute(element, "name", Text(name));
    Dom::Set_Attribute(element, "expanded", expanded ? "1" : "0");
    Dom::Set_Attribute(element, "description", Text(memo));
    m_folders.emplace(newKey, Item{element, false, type});
    key = newKey.c_str();
    return Changed();
}

int CLandscapeStore::Add_Entry(const CString& name, int type, const CString& parent, CString& key,
                               const CString& next, const CMapStringToString* properties)
{
    if (type != TREE_ITEM_TYPE_CONNECTION && type != TREE_ITEM_TYPE_QORSHORTCUT)
        return CDM_E_INVALID_ARGUMENT;
    const Item* folder = nullptr;
    if (const int result = Own_Folder(parent, folder))
        return result;
    const std::string newKey = Key_For(key);

    const IXMLDOMElementPtr services = Dom::Child_Or_New(Dom::Root(m_document.m_pXmlDocument), "Services");
    const IXMLDOMElementPtr service = Dom::Add_Child(services, "Service");
    Dom::Set_Attribute(service, "type", Service_Type_Name(type));
    Dom::Set_Attribute(service, "uuid", newKey);
    Dom::Set_Attribute(service, "name", Text(name));
    CString propertyName, propertyValue;
    for (POSITION position = properties ? properties->GetStartPosition() : nullptr; position;) {
        properties->GetNextAssoc(position, propertyName, propertyValue);
        const IXMLDOMElementPtr property = Dom::Add_Child(service, "Property");
        Dom::Set_Attribute(property, "name", Text(propertyName));
        Dom::Set_Attribute(property, "value", Text(propertyValue));
    }
    m_services.emplace(newKey, Item{service, false, type});

    const IXMLDOMElementPtr item = Dom::Add_Child(folder->element, "Item", Next_Sibling(m_entries, next, folder->element));
    Dom::Set_Attribute(item, "uuid", newKey);
    Dom::Set_Attribute(item, "serviceid", newKey);
    m_entries.emplace(newKey, Item{item, false, type});
    key = newKey.c_str();
    return Changed();
}

int CLandscapeStore::Add_Link(const CString& name, const CString& target, const CString& parent, CString& key,
                              const CString& next)
{
    const Item* linked = Find(m_entries, target);
    if (!linked || linked->type == 0)
        return CDM_E_NOT_FOUND;
    const Item* folder = nullptr;
    if (const int result = Own_Folder(parent, folder))
        return result;
    const std::string newKey = Key_For(key);
    const IXMLDOMElementPtr item = Dom::Add_Child(folder->element, "Item", Next_Sibling(m_entries, next, folder->element));
    Dom::Set_Attribute(item, "uuid", newKey);
    Dom::Set_Attribute(item, "serviceid", Dom::Attribute(linked->element, "serviceid"));
    Dom::Set_Attribute(item, "name", Text(name));
    m_entries.emplace(newKey, Item{item, false, TREE_ITEM_TYPE_LINK});
    key = newKey.c_str();
    return Changed();
}

int CLandscapeStore::Set_Parameter(const CString& name, const CString& value)
{
    if (name.IsEmpty())
        return CDM_E_INVALID_ARGUMENT;
    const IXMLDOMElementPtr parameters = Dom::Child_Or_New(Dom::Root(m_document.m_pXmlDocument), "Parameters");
    IXMLDOMElementPtr parameter;
    Dom::For_Each_Child(parameters, [&](IXMLDOMElement* candidate) {
        if (Dom::Node_Name(candidate) == "Parameter" && Dom::Attribute(candidate, "name") == name.GetString())
            parameter = candidate;
        return !parameter;
    });
    if (!parameter) {
        parameter = Dom::Add_Child(parameters, "Parameter");
        Dom::Set_Attribute(parameter, "name", Text(name));
    }
    Dom::Set_Attribute(parameter, "value", Text(value));
    return Changed();
}

} // namespace Qorcdm2
