// CLandscapeStore, the file: opening and reading the landscape (with the included
// one), the key index over its elements, and writing it. Reading the tree is in
// CLandscapeStoreReading.cpp, adding to it in CLandscapeStoreWriting.cpp.
#include "CLandscapeStore.h"

#include <shlwapi.h>

#include <cctype>

#include "CMsXmlDocumentState.h"
#include "CdmResults.h"
#include "FileSystem.h"
#include "LandscapeDocuments.h"
#include "SystemText.h"
#include "Uuid.h"
#include "XmlText.h"

namespace Qorcdm2 {

using QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocumentState;
using QOR::FrontEnd::MsXmlAdaptor::Narrow_From_Utf8;

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

int Service_Type(std::string_view type)
{
    if (type == "QORGUI")
        return TREE_ITEM_TYPE_CONNECTION;
    if (type == "QORSHORTCUT")
        return TREE_ITEM_TYPE_QORSHORTCUT;
    return 0;
}

bool Is_Landscape(const CXmlTree& tree)
{
    return tree.Root() != CXmlTree::None && tree.Name(tree.Root()) == "Landscape";
}

bool File_Is_There(const std::string& path) { return QOR::FrontEnd::Util::FileSystem::File_Exists(path); }

} // namespace

CLandscapeStore::CLandscapeStore(const std::string& path, ComponentTracing* trace) : m_path(path), m_trace(trace) {}

CLandscapeStore::~CLandscapeStore()
{
    LandscapeDocuments::Store_Closing(this);
    auto& stores = Open_Stores();
    const auto found = stores.find(Path_Key(m_path));
    if (found != stores.end() && found->second == this)
        stores.erase(found);
}

int CLandscapeStore::Open(const std::string& path, ComponentTracing* trace, std::unique_ptr<CLandscapeStore>& store,
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

// MSXML reads the file, with all its checks, and writes it into memory as it
// would write it to a file; the tree takes over that text.
bool CLandscapeStore::Read_Landscape(const std::string& path, CXmlTree& tree, CString& reason)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    if (!document.Load_From_File(CString(path.c_str()), reason, true))
        return false;
    std::string text;
    if (!CMsXmlDocumentState::Serialize_Utf8(document, text) || !tree.Parse(text)) {
        reason = "its XML text could not be taken apart";
        return false;
    }
    return true;
}

bool CLandscapeStore::Load(CString& message)
{
    m_tree.Clear();
    m_included.Clear();
    m_file_as_known.reset();
    if (!File_Is_There(m_path)) {
        // A new landscape starts with the user's own workspace.
        const CXmlTree::Id root = m_tree.Add_Element(CXmlTree::Document, "Landscape");
        const CXmlTree::Id local = m_tree.Add_Element(m_tree.Add_Element(root, "Workspaces"), "Workspace");
        m_tree.Set_Attribute(local, "uuid", QOR::FrontEnd::Util::Generate_Uuid());
        m_tree.Set_Attribute(local, "name", "Local");
        m_tree.Set_Attribute(local, "expanded", "1");
        if (m_trace)
            m_trace->Data("qorcdm2: '%s' does not exist yet; it is written when the storage closes\n", m_path);
    } else {
        CString reason;
        if (!Read_Landscape(m_path, m_tree, reason)) {
            message.Format("The landscape file '%s' cannot be read: %s", m_path, reason);
        } else if (!Is_Landscape(m_tree)) {
            message.Format("The file '%s' is not a landscape: its root element is '%s'.", m_path,
                           Narrow_From_Utf8(m_tree.Name(m_tree.Root())));
            m_tree.Clear();
        }
        if (m_tree.Root() == CXmlTree::None) {
            Build_Index();
            return false;
        }
        Know_File();
        Load_Included_Landscape();
    }
    Build_Index();
    return true;
}

// Items of the landscape included with index 0 are shown too, marked as coming
// from the server, and never written.
void CLandscapeStore::Load_Included_Landscape()
{
    std::string url = Include_Url();
    if (url.empty() || PathIsURLA(url.c_str()))
        return;
    if (PathIsRelativeA(url.c_str())) {
        std::string folder, name;
        QOR::FrontEnd::Util::FileSystem::Full_Path(m_path, folder, name);
        url = folder + url;
    }
    CString reason;
    const bool read = Read_Landscape(url, m_included, reason);
    if (!read || !Is_Landscape(m_included)) {
        if (read)
            reason = "its root element is not Landscape";
        m_included.Clear();
        if (m_trace)
            m_trace->Warning("qorcdm2: the included landscape '%s' cannot be read: %s\n", url, reason);
    }
}

// The file was written by someone else (a landscape document saved it): read it
// again before the next use, as the library's state is what the file holds.
void CLandscapeStore::Refresh()
{
    if (!m_replaced)
        return;
    m_replaced = false;
    CString message;
    if (!Load(message) && m_trace)
        m_trace->Error("qorcdm2: %s\n", message);
}

void CLandscapeStore::File_Replaced()
{
    m_replaced = true;
    m_dirty = false;
    m_file_as_known.reset();
}

void CLandscapeStore::Build_Index()
{
    m_folders.clear();
    m_entries.clear();
    m_services.clear();
    // Services first: an item is an entry only when its service is known.
    for (const CXmlTree* tree : {&m_tree, &m_included}) {
        const bool fromServer = tree == &m_included;
        const CXmlTree::Id root = tree->Root();
        const CXmlTree::Id services = root == CXmlTree::None ? CXmlTree::None : tree->First_Element(root, "Services");
        if (services == CXmlTree::None)
            continue;
        for (CXmlTree::Id service = tree->First_Child(services); service != CXmlTree::None;
             service = tree->Next_Sibling(service))
            if (tree->Kind_Of(service) == CXmlTree::Kind::Element && tree->Name(service) == "Service")
                m_services.emplace(Narrow_From_Utf8(tree->Attribute(service, "uuid")),
                                   Item{service, fromServer, Service_Type(tree->Attribute(service, "type"))});
    }
    for (const auto& [workspace, fromServer] : Workspaces())
        Index_Folder(fromServer ? m_included : m_tree, workspace, TREE_ITEM_TYPE_WORKSPACE, fromServer);
}

// Our own workspaces, then those of the included landscape (second: true).
std::vector<std::pair<CXmlTree::Id, bool>> CLandscapeStore::Workspaces() const
{
    std::vector<std::pair<CXmlTree::Id, bool>> workspaces;
    for (const CXmlTree* tree : {&m_tree, &m_included}) {
        const CXmlTree::Id root = tree->Root();
        const CXmlTree::Id container =
            root == CXmlTree::None ? CXmlTree::None : tree->First_Element(root, "Workspaces");
        if (container == CXmlTree::None)
            continue;
        for (CXmlTree::Id workspace = tree->First_Child(container); workspace != CXmlTree::None;
             workspace = tree->Next_Sibling(workspace))
            if (tree->Kind_Of(workspace) == CXmlTree::Kind::Element && tree->Name(workspace) == "Workspace")
                workspaces.emplace_back(workspace, tree == &m_included);
    }
    return workspaces;
}

// Without recursion: a landscape may nest folders deeper than a stack allows.
void CLandscapeStore::Index_Folder(const CXmlTree& tree, CXmlTree::Id folder, int type, bool fromServer)
{
    std::vector<std::pair<CXmlTree::Id, int>> pending{{folder, type}};
    while (!pending.empty()) {
        const auto [element, kind] = pending.back();
        pending.pop_back();
        const std::string key = Narrow_From_Utf8(tree.Attribute(element, "uuid"));
        if (!m_folders.emplace(key, Item{element, fromServer, kind}).second && m_trace)
            m_trace->Warning("qorcdm2: folder key '%s' is used twice; the later folder is not indexed\n", key);
        std::vector<CXmlTree::Id> subfolders;
        for (CXmlTree::Id child = tree.First_Child(element); child != CXmlTree::None;
             child = tree.Next_Sibling(child)) {
            if (tree.Kind_Of(child) != CXmlTree::Kind::Element)
                continue;
            if (tree.Name(child) == "Node")
                subfolders.push_back(child);
            else if (tree.Name(child) == "Item")
                Index_Item(tree, child, fromServer);
        }
        for (auto sub = subfolders.rbegin(); sub != subfolders.rend(); ++sub)
            pending.emplace_back(*sub, TREE_ITEM_TYPE_FOLDER);
    }
}

// An item whose uuid is its service's is that service's own entry; an item of
// another entry's service is a link. Items of other services (options-file
// connections, for instance) are kept but are no entries (type 0).
void CLandscapeStore::Index_Item(const CXmlTree& tree, CXmlTree::Id item, bool fromServer)
{
    const std::string key = Narrow_From_Utf8(tree.Attribute(item, "uuid"));
    const std::string serviceKey = Narrow_From_Utf8(tree.Attribute(item, "serviceid"));
    const auto service = m_services.find(serviceKey);
    int type = 0;
    if (service != m_services.end() && service->second.type != 0)
        type = key == serviceKey ? service->second.type : TREE_ITEM_TYPE_LINK;
    if (!m_entries.emplace(key, Item{item, fromServer, type}).second && m_trace)
        m_trace->Warning("qorcdm2: item key '%s' is used twice; the later item is not indexed\n", key);
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
// landscape document saves the same file: the file is only ever written whole.
// A process killed halfway through a migration thus leaves the file as it was,
// or none, and the next start migrates again; a file written at the first
// change would hold part of the user's tree, and the next start would take it
// for the user's own landscape and leave it at that.
int CLandscapeStore::Changed()
{
    m_dirty = true;
    return CDM_OK;
}

bool CLandscapeStore::Save()
{
    if (!Save_To(m_path)) {
        if (m_trace)
            m_trace->Error("qorcdm2: the landscape file '%s' cannot be written\n", m_path);
        return false;
    }
    return true;
}

std::string CLandscapeStore::Text()
{
    Refresh();
    std::string text;
    m_tree.Write(text);
    return text;
}

void CLandscapeStore::Know_File()
{
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (GetFileAttributesExA(m_path.c_str(), GetFileExInfoStandard, &now))
        m_file_as_known = now;
    else
        m_file_as_known.reset();
}

bool CLandscapeStore::File_As_Known() const
{
    WIN32_FILE_ATTRIBUTE_DATA now{};
    return m_file_as_known && GetFileAttributesExA(m_path.c_str(), GetFileExInfoStandard, &now) &&
           now.nFileSizeLow == m_file_as_known->nFileSizeLow && now.nFileSizeHigh == m_file_as_known->nFileSizeHigh &&
           CompareFileTime(&now.ftLastWriteTime, &m_file_as_known->ftLastWriteTime) == 0;
}

// Our own file needs no test for a backup while it is as we read or wrote it:
// parsing several megabytes to learn that it loads would cost more than the
// save. Changed by anyone else since, it is tested.
bool CLandscapeStore::Save_To(const std::string& path)
{
    using Target = CMsXmlDocumentState::Target;
    const std::string text = Text();
    const bool own = Path_Key(path) == Path_Key(m_path);
    const bool saved =
        CMsXmlDocumentState::Write_Safely(QOR::FrontEnd::SystemText::From_Ansi(path), text,
                                          own && File_As_Known() ? Target::Known_To_Load : Target::Unknown);
    if (saved && own) {
        m_dirty = false;
        Know_File();
    }
    return saved;
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

std::string CLandscapeStore::Include_Url()
{
    Refresh();
    const CXmlTree::Id root = m_tree.Root();
    const CXmlTree::Id includes = root == CXmlTree::None ? CXmlTree::None : m_tree.First_Element(root, "Includes");
    if (includes == CXmlTree::None)
        return std::string();
    for (CXmlTree::Id include = m_tree.First_Child(includes); include != CXmlTree::None;
         include = m_tree.Next_Sibling(include))
        if (m_tree.Kind_Of(include) == CXmlTree::Kind::Element && m_tree.Name(include) == "Include" &&
            m_tree.Attribute(include, "index") == "0")
            return Narrow_From_Utf8(m_tree.Attribute(include, "url"));
    return std::string();
}

// Includes come first, where a reader looks for them.
void CLandscapeStore::Set_Include_Url(const std::string& url)
{
    Refresh();
    const CXmlTree::Id root = m_tree.Root();
    CXmlTree::Id includes = m_tree.First_Element(root, "Includes");
    if (includes == CXmlTree::None)
        includes = m_tree.Add_Element(root, "Includes", m_tree.First_Child(root));
    CXmlTree::Id include = CXmlTree::None;
    for (CXmlTree::Id child = m_tree.First_Child(includes); child != CXmlTree::None && include == CXmlTree::None;
         child = m_tree.Next_Sibling(child))
        if (m_tree.Kind_Of(child) == CXmlTree::Kind::Element && m_tree.Name(child) == "Include" &&
            m_tree.Attribute(child, "index") == "0")
            include = child;
    if (include == CXmlTree::None) {
        include = m_tree.Add_Element(includes, "Include");
        m_tree.Set_Attribute(include, "index", "0");
    }
    const std::string value = QOR::FrontEnd::MsXmlAdaptor::Xml_Utf8(url);
    if (value.empty())
        m_tree.Remove_Attribute(include, "url");
    else
        m_tree.Set_Attribute(include, "url", value);
    m_dirty = true;
}

} // namespace Qorcdm2
