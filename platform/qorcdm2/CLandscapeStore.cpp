#include "CLandscapeStore.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cctype>

#include "CdmDataMan.h"
#include "FileSystem.h"
#include "LandscapeDom.h"
#include "Uuid.h"

namespace Qorcdm2 {

namespace {

// Stores open in this process, by upper-case full path.
std::unordered_map<std::string, CLandscapeStore*>& Open_Stores()
{
    static std::unordered_map<std::string, CLandscapeStore*> stores;
    return stores;
}

std::string Path_Key(const std::string& path)
{
    std::string key = QOR::FrontEnd::Util::FileSystem::Full_Path(path);
    for (char& ch : key)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return key;
}

int Service_Type(const std::string& type)
{
    if (type == "QORGUI")
        return TREE_ITEM_TYPE_CONNECTION;
    if (type == "QORSHORTCUT")
        return TREE_ITEM_TYPE_QORSHORTCUT;
    return 0;
}

const char* Service_Type_Name(int type) { return type == TREE_ITEM_TYPE_QORSHORTCUT ? "QORSHORTCUT" : "QORGUI"; }

std::string Text(const CString& text) { return text.GetString(); }

bool File_Is_There(const std::string& path) { return QOR::FrontEnd::Util::FileSystem::File_Exists(path); }

} // namespace

CLandscapeStore::CLandscapeStore(const std::string& path, CQorPcTrc* trace) : m_path(path), m_trace(trace) {}

CLandscapeStore::~CLandscapeStore()
{
    auto& stores = Open_Stores();
    const auto found = stores.find(Path_Key(m_path));
    if (found != stores.end() && found->second == this)
        stores.erase(found);
}

int CLandscapeStore::Open(const std::string& path, CQorPcTrc* trace, std::unique_ptr<CLandscapeStore>& store,
                          CString& message)
{
    store.reset(new CLandscapeStore(path, trace));
    if (!store->Load(message)) {
        store.reset();
        return CDM_INIT_FILE_UNREADABLE;
    }
    Open_Stores()[Path_Key(path)] = store.get();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        message.Format("The landscape file '%s' is read-only.", path);
        return CDM_INIT_FILE_NOT_WRITABLE;
    }
    return CDM_INIT_OK;
}

bool CLandscapeStore::Load(CString& message)
{
    IXMLDOMDocument2* document = m_document.m_pXmlDocument;
    if (!File_Is_There(m_path)) {
        // A new landscape starts with the user's own workspace.
        Dom::Initialize_Landscape(document);
        const IXMLDOMElementPtr local =
            Dom::Add_Child(Dom::Child_Or_New(Dom::Root(document), "Workspaces"), "Workspace");
        Dom::Set_Attribute(local, "uuid", QOR::FrontEnd::Util::Generate_Uuid());
        Dom::Set_Attribute(local, "name", "Local");
        Dom::Set_Attribute(local, "expanded", "1");
        if (m_trace)
            m_trace->TraceData("qorcdm2: '%s' does not exist yet; it is written at the first change\n", m_path);
    } else {
        CString reason;
        if (!m_document.Load_From_File(CString(m_path.c_str()), reason, true)) {
            message.Format("The landscape file '%s' cannot be read: %s", m_path, reason);
            return false;
        }
        const IXMLDOMElementPtr root = Dom::Root(document);
        if (!root || Dom::Node_Name(root) != "Landscape") {
            message.Format("The file '%s' is not a landscape: its root element is '%s'.", m_path,
                           root ? Dom::Node_Name(root) : std::string());
            return false;
        }
        Load_Included_Landscape(root);
    }
    Build_Index();
    return true;
}

// Items of the landscape included with index 0 are shown too, marked as coming
// from the server, and never written.
void CLandscapeStore::Load_Included_Landscape(IXMLDOMElement* root)
{
    const IXMLDOMElementPtr includes = Dom::First_Child(root, "Includes");
    std::string url;
    if (includes)
        Dom::For_Each_Child(includes, [&](IXMLDOMElement* include) {
            if (Dom::Node_Name(include) == "Include" && Dom::Attribute(include, "index") == "0")
                url = Dom::Attribute(include, "url");
            return url.empty();
        });
    if (url.empty() || PathIsURLA(url.c_str()))
        return;
    if (PathIsRelativeA(url.c_str())) {
        std::string folder, name;
        QOR::FrontEnd::Util::FileSystem::Full_Path(m_path, folder, name);
        url = folder + url;
    }
    CString reason;
    if (!m_included.Load_From_File(CString(url.c_str()), reason, true) || !Dom::Root(m_included.m_pXmlDocument) ||
        Dom::Node_Name(Dom::Root(m_included.m_pXmlDocument)) != "Landscape") {
        if (m_trace)
            m_trace->TraceWarning("qorcdm2: the included landscape '%s' cannot be read: %s\n", url, reason);
        m_included.m_pXmlDocument = nullptr;
    }
}

void CLandscapeStore::Build_Index()
{
    m_folders.clear();
    m_entries.clear();
    m_services.clear();
    const IXMLDOMElementPtr own = Dom::Root(m_document.m_pXmlDocument);
    const IXMLDOMElementPtr included = m_included.m_pXmlDocument ? Dom::Root(m_included.m_pXmlDocument) : nullptr;
    // Services first: an item is an entry only when its service is known.
    for (auto [root, fromServer] : {std::make_pair(own, false), std::make_pair(included, true)}) {
        if (const IXMLDOMElementPtr services = root ? Dom::First_Child(root, "Services") : nullptr)
            Dom::For_Each_Child(services, [&, fromServer = fromServer](IXMLDOMElement* service) {
                if (Dom::Node_Name(service) == "Service")
                    m_services.emplace(Dom::Attribute(service, "uuid"),
                                       Item{service, fromServer, Service_Type(Dom::Attribute(service, "type"))});
                return true;
            });
    }
    for (const auto& workspace : Workspaces())
        Index_Folder(workspace.first, TREE_ITEM_TYPE_WORKSPACE, workspace.second);
}

// Our own workspaces, then those of the included landscape (second: true).
std::vector<std::pair<IXMLDOMElementPtr, bool>> CLandscapeStore::Workspaces() const
{
    std::vector<std::pair<IXMLDOMElementPtr, bool>> workspaces;
    const IXMLDOMElementPtr own = Dom::Root(m_document.m_pXmlDocument);
    const IXMLDOMElementPtr included = m_included.m_pXmlDocument ? Dom::Root(m_included.m_pXmlDocument) : nullptr;
    for (auto [root, fromServer] : {std::make_pair(own, false), std::make_pair(included, true)}) {
        const IXMLDOMElementPtr container = root ? Dom::First_Child(root, "Workspaces") : nullptr;
        if (container)
            Dom::For_Each_Child(container, [&, fromServer = fromServer](IXMLDOMElement* workspace) {
                if (Dom::Node_Name(workspace) == "Workspace")
                    workspaces.emplace_back(workspace, fromServer);
                return true;
            });
    }
    return workspaces;
}

void CLandscapeStore::Index_Folder(IXMLDOMElement* folder, int type, bool fromServer)
{
    const std::string key = Dom::Attribute(folder, "uuid");
    if (!m_folders.emplace(key, Item{folder, fromServer, type}).second && m_trace)
        m_trace->TraceWarning("qorcdm2: folder key '%s' is used twice; the later folder is not indexed\n", key);
    Dom::For_Each_Child(folder, [&](IXMLDOMElement* child) {
        const std::string name = Dom::Node_Name(child);
        if (name == "Node")
            Index_Folder(child, TREE_ITEM_TYPE_FOLDER, fromServer);
        else if (name == "Item")
            Index_Item(child, fromServer);
        return true;
    });
}

// An item whose uuid is its service's is that service's own entry; an item of
// another entry's service is a link. Items of other services (options-file
// connections, for instance) are kept but are no entries (type 0).
void CLandscapeStore::Index_Item(IXMLDOMElement* item, bool fromServer)
{
    const std::string key = Dom::Attribute(item, "uuid");
    const std::string serviceKey = Dom::Attribute(item, "serviceid");
    const auto service = m_services.find(serviceKey);
    int type = 0;
    if (service != m_services.end() && service->second.type != 0)
        type = key == serviceKey ? service->second.type : TREE_ITEM_TYPE_LINK;
    if (!m_entries.emplace(key, Item{item, fromServer, type}).second && m_trace)
        m_trace->TraceWarning("qorcdm2: item key '%s' is used twice; the later item is not indexed\n", key);
}

const CLandscapeStore::Item* CLandscapeStore::Find(const Index& index, const CString& key) const
{
    const auto found = index.find(key.GetString());
    return found == index.end() ? nullptr : &found->second;
}

bool CLandscapeStore::Key_Taken(const std::string& key) const
{
    return m_folders.count(key) || m_entries.count(key) || m_services.count(key);
}

// The requested key when it is free, otherwise a new UUID.
std::string CLandscapeStore::Key_For(const CString& requested) const
{
    if (!requested.IsEmpty() && !Key_Taken(requested.GetString()))
        return requested.GetString();
    std::string key;
    do
        key = QOR::FrontEnd::Util::Generate_Uuid();
    while (Key_Taken(key));
    return key;
}

int CLandscapeStore::Own_Folder(const CString& key, const Item*& folder) const
{
    folder = Find(m_folders, key);
    if (!folder)
        return CDM_E_NOT_FOUND;
    return folder->fromServer ? CDM_E_READ_ONLY : CDM_OK;
}

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

// Changes stay in memory and are written when the store closes, or when a
// landscape document saves the same file. The first change of a file that
// does not exist yet writes it at once, so that the file is there for whoever
// looks for it while the migration goes on.
int CLandscapeStore::Changed()
{
    m_dirty = true;
    if (File_Is_There(m_path))
        return CDM_OK;
    return Save() ? CDM_OK : CDM_E_WRITE_FAILED;
}

bool CLandscapeStore::Save()
{
    std::string folder, name;
    QOR::FrontEnd::Util::FileSystem::Full_Path(m_path, folder, name);
    if (!folder.empty() && !PathIsDirectoryA(folder.c_str()))
        SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    if (!m_document.Save_To_File(CString(m_path.c_str()))) {
        if (m_trace)
            m_trace->TraceError("qorcdm2: the landscape file '%s' cannot be written\n", m_path);
        return false;
    }
    m_dirty = false;
    return true;
}

int CLandscapeStore::Close()
{
    if (!m_dirty)
        return CDM_OK;
    return Save() ? CDM_OK : CDM_E_WRITE_FAILED;
}

CLandscapeStore* CLandscapeStore::Find_Open(const std::string& path)
{
    const auto found = Open_Stores().find(Path_Key(path));
    return found == Open_Stores().end() ? nullptr : found->second;
}

void CLandscapeStore::Saved_By_Document(IXMLDOMDocument2* document)
{
    if (document != static_cast<IXMLDOMDocument2*>(m_document.m_pXmlDocument)) {
        m_document.m_pXmlDocument = document;
        Build_Index();
    }
    m_dirty = false;
}

} // namespace Qorcdm2
