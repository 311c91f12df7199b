// CLandscapeStore, the file: opening and loading the landscape (with the
// included one), the key index over its elements, and saving. Reading the tree
// is in CLandscapeStoreReading.cpp, adding to it in CLandscapeStoreWriting.cpp.
#include "CLandscapeStore.h"

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
