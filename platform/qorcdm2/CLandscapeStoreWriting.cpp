// CLandscapeStore, writing: new folders, entries, links and parameters, placed
// before a given sibling or at the end, indexed at once, and saved when the
// store closes or a landscape document saves the same file.
#include "CLandscapeStore.h"

#include "CdmResults.h"
#include "XmlText.h"

namespace Qorcdm2 {

using QOR::FrontEnd::MsXmlAdaptor::Xml_Utf8;

namespace {

const char* Service_Type_Name(int type) { return type == TREE_ITEM_TYPE_QORSHORTCUT ? "QORSHORTCUT" : "QORGUI"; }

// Attributes carry text or are not there at all.
void Set(CXmlTree& tree, CXmlTree::Id element, const char* name, std::string_view narrow)
{
    if (QOR::FrontEnd::MsXmlAdaptor::Is_Plain_Xml_Text(narrow) && !narrow.empty()) { // the usual case
        tree.Set_Attribute(element, name, narrow);
        return;
    }
    const std::string value = Xml_Utf8(narrow);
    if (value.empty())
        tree.Remove_Attribute(element, name);
    else
        tree.Set_Attribute(element, name, value);
}

void Set(CXmlTree& tree, CXmlTree::Id element, const char* name, const CString& narrow)
{
    Set(tree, element, name, std::string_view(narrow.GetString(), static_cast<size_t>(narrow.GetLength())));
}

} // namespace

// The element to insert before: `next` when it is one of our items under `parent`.
CXmlTree::Id CLandscapeStore::Next_Sibling(const Index& index, const CString& next, CXmlTree::Id parent) const
{
    const Item* item = next.IsEmpty() ? nullptr : Find(index, next);
    if (!item || item->fromServer || m_tree.Parent(item->element) != parent)
        return CXmlTree::None;
    return item->element;
}

// The main element `name` of our landscape, added when it is missing.
CXmlTree::Id CLandscapeStore::Container(const char* name)
{
    const CXmlTree::Id root = m_tree.Root();
    const CXmlTree::Id container = m_tree.First_Element(root, name);
    return container != CXmlTree::None ? container : m_tree.Add_Element(root, name);
}

int CLandscapeStore::Add_Folder(const CString& parent, const CString& name, bool expanded, const CString& memo,
                                CString& key, const CString& next)
{
    Refresh();
    CXmlTree::Id container = CXmlTree::None;
    int type = TREE_ITEM_TYPE_WORKSPACE;
    if (parent.IsEmpty()) {
        container = Container("Workspaces");
    } else {
        const Item* folder = nullptr;
        if (const int result = Own_Folder(parent, folder))
            return result;
        container = folder->element;
        type = TREE_ITEM_TYPE_FOLDER;
    }
    const std::string newKey = Key_For(key);
    const CXmlTree::Id element = m_tree.Add_Element(container, type == TREE_ITEM_TYPE_WORKSPACE ? "Workspace" : "Node",
                                                    Next_Sibling(m_folders, next, container));
    Set(m_tree, element, "uuid", newKey);
    Set(m_tree, element, "name", name);
    m_tree.Set_Attribute(element, "expanded", expanded ? "1" : "0");
    Set(m_tree, element, "description", memo);
    m_folders.emplace(newKey, Item{element, false, type});
    key = newKey.c_str();
    return Changed();
}

int CLandscapeStore::Add_Entry(const CString& name, int type, const CString& parent, CString& key, const CString& next,
                               const CMapStringToString* properties)
{
    Refresh();
    if (type != TREE_ITEM_TYPE_CONNECTION && type != TREE_ITEM_TYPE_QORSHORTCUT)
        return CDM_E_INVALID_ARGUMENT;
    const Item* folder = nullptr;
    if (const int result = Own_Folder(parent, folder))
        return result;
    const CXmlTree::Id folderElement = folder->element;
    const std::string newKey = Key_For(key);

    const CXmlTree::Id service = m_tree.Add_Element(Container("Services"), "Service");
    m_tree.Set_Attribute(service, "type", Service_Type_Name(type));
    Set(m_tree, service, "uuid", newKey);
    Set(m_tree, service, "name", name);
    CString propertyName, propertyValue;
    for (POSITION position = properties ? properties->GetStartPosition() : nullptr; position;) {
        properties->GetNextAssoc(position, propertyName, propertyValue);
        const CXmlTree::Id property = m_tree.Add_Element(service, "Property");
        Set(m_tree, property, "name", propertyName);
        Set(m_tree, property, "value", propertyValue);
    }
    m_services.emplace(newKey, Item{service, false, type});

    const CXmlTree::Id item = m_tree.Add_Element(folderElement, "Item", Next_Sibling(m_entries, next, folderElement));
    Set(m_tree, item, "uuid", newKey);
    Set(m_tree, item, "serviceid", newKey);
    m_entries.emplace(newKey, Item{item, false, type});
    key = newKey.c_str();
    return Changed();
}

int CLandscapeStore::Add_Link(const CString& name, const CString& target, const CString& parent, CString& key,
                              const CString& next)
{
    Refresh();
    const Item* linked = Find(m_entries, target);
    if (!linked || linked->type == 0)
        return CDM_E_NOT_FOUND;
    const std::string serviceKey(Tree_Of(*linked).Attribute(linked->element, "serviceid"));
    const Item* folder = nullptr;
    if (const int result = Own_Folder(parent, folder))
        return result;
    const CXmlTree::Id folderElement = folder->element;
    const std::string newKey = Key_For(key);
    const CXmlTree::Id item = m_tree.Add_Element(folderElement, "Item", Next_Sibling(m_entries, next, folderElement));
    Set(m_tree, item, "uuid", newKey);
    m_tree.Set_Attribute(item, "serviceid", serviceKey);
    Set(m_tree, item, "name", name);
    m_entries.emplace(newKey, Item{item, false, TREE_ITEM_TYPE_LINK});
    key = newKey.c_str();
    return Changed();
}

int CLandscapeStore::Set_Parameter(const CString& name, const CString& value)
{
    Refresh();
    if (name.IsEmpty())
        return CDM_E_INVALID_ARGUMENT;
    const CXmlTree::Id parameters = Container("Parameters");
    const std::string wanted = Xml_Utf8(name.GetString());
    CXmlTree::Id parameter = CXmlTree::None;
    for (CXmlTree::Id child = m_tree.First_Child(parameters); child != CXmlTree::None && parameter == CXmlTree::None;
         child = m_tree.Next_Sibling(child))
        if (m_tree.Kind_Of(child) == CXmlTree::Kind::Element && m_tree.Name(child) == "Parameter" &&
            m_tree.Attribute(child, "name") == wanted)
            parameter = child;
    if (parameter == CXmlTree::None) {
        parameter = m_tree.Add_Element(parameters, "Parameter");
        Set(m_tree, parameter, "name", name);
    }
    Set(m_tree, parameter, "value", value);
    return Changed();
}

} // namespace Qorcdm2
