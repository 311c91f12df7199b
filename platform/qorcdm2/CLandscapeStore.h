#pragma once
// The user's landscape file as connection storage: folders are workspaces and
// nodes, connections and shortcuts are services with an item in their folder,
// links are items of another entry's service. Everything is kept in one DOM
// document and indexed by key. The layout is described in docs/landscape-files.md.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CMapStringToString.h"
#include "CMsXmlDocument.h"
#include "CQorPcTrc.h"
#include "CStringArray.h"

namespace Qorcdm2 {

class CLandscapeStore
{
public:
    // Opens `path`; a file that does not exist yet is started as an empty
    // landscape in memory and written at the first change. Returns an
    // initialization state (0 when all is well) and a text for any other.
    static int Open(const std::string& path, CQorPcTrc* trace, std::unique_ptr<CLandscapeStore>& store,
                    CString& message);
    ~CLandscapeStore();
    CLandscapeStore(const CLandscapeStore&) = delete;
    CLandscapeStore& operator=(const CLandscapeStore&) = delete;

    // Writes what changed since the last save.
    int Close();

    int Sub_Folders(const CString& key, CStringArray& keys, bool recursive, int type) const;
    int Entries(const CString& key, CStringArray& keys, bool recursive, int type) const;
    int Folder_Attributes(const CString& key, CString& name, int& type, BOOL& expanded, CString& memo,
                          CString& parent) const;
    int Folder_Attribute(const CString& key, int code, CString& value) const;
    int Entry_Attribute(const CString& key, int code, CString& value) const;
    int Entry_Data(const CString& key, CMapStringToString& properties) const;
    int Parent_Key(const CString& key, CString& parent) const;
    int Get_Parameter(const CString& name, CString& value) const;

    int Add_Folder(const CString& parent, const CString& name, bool expanded, const CString& memo, CString& key,
                   const CString& next);
    int Add_Entry(const CString& name, int type, const CString& parent, CString& key, const CString& next,
                  const CMapStringToString* properties);
    int Add_Link(const CString& name, const CString& target, const CString& parent, CString& key,
                 const CString& next);
    int Set_Parameter(const CString& name, const CString& value);

    // The store that holds `path` open in this process, if any.
    static CLandscapeStore* Find_Open(const std::string& path);
    IXMLDOMDocument2Ptr Document() const { return m_document.m_pXmlDocument; }
    // Someone saved `document` to our file: it is now what the file holds.
    void Saved_By_Document(IXMLDOMDocument2* document);

private:
    struct Item
    {
        IXMLDOMElementPtr element;
        bool fromServer = false;
        int type = 0; // folders: 5 or 11; entries: 400, 401 or 402
    };
    using Index = std::unordered_map<std::string, Item>;

    CLandscapeStore(const std::string& path, CQorPcTrc* trace);
    bool Load(CString& message);
    void Build_Index();
    void Index_Landscape(IXMLDOMElement* root, bool fromServer);
    void Index_Folder(IXMLDOMElement* folder, int type, bool fromServer);
    void Index_Item(IXMLDOMElement* item, bool fromServer);
    void Load_Included_Landscape(IXMLDOMElement* root);

    const Item* Find(const Index& index, const CString& key) const;
    bool Key_Taken(const std::string& key) const;
    std::string Key_For(const CString& requested) const;
    int Own_Folder(const CString& key, const Item*& folder) const;
    IXMLDOMNode* Next_Sibling(const Index& index, const CString& next, IXMLDOMElement* parent) const;
    void Collect_Folders(IXMLDOMElement* folder, CStringArray& keys, bool recursive, int type) const;
    void Collect_Entries(IXMLDOMElement* folder, CStringArray& keys, bool recursive, int type) const;
    int Collect_Below(const CString& key, const std::function<void(IXMLDOMElement*)>& collect) const;
    std::vector<std::pair<IXMLDOMElementPtr, bool>> Workspaces() const;
    int Changed();
    bool Save();

    std::string m_path;
    CQorPcTrc* m_trace;
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument m_document;
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument m_included; // the include with index 0, read-only
    Index m_folders;
    Index m_entries;
    Index m_services;
    bool m_dirty = false;
};

} // namespace Qorcdm2
