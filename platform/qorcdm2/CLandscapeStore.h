#pragma once
// The user's landscape file as connection storage: folders are workspaces and
// nodes, connections and shortcuts are services with an item in their folder,
// links are items of another entry's service. The whole file is kept as a
// CXmlTree (MSXML only reads it), indexed by key, and written by this class. The
// layout is described in docs/landscape-files.md.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "CMapStringToString.h"
#include "CStringArray.h"
#include "CXmlTree.h"
#include "ComponentTracing.h"

namespace Qorcdm2 {

class CLandscapeStore
{
public:
    // Opens `path`; a file that does not exist yet is started as an empty
    // landscape in memory and written when the store closes. Returns an
    // initialization state (0 when all is well) and a text for any other.
    static int Open(const std::string& path, ComponentTracing* trace, std::unique_ptr<CLandscapeStore>& store,
                    CString& message);
    ~CLandscapeStore();
    CLandscapeStore(const CLandscapeStore&) = delete;
    CLandscapeStore& operator=(const CLandscapeStore&) = delete;

    // Writes what changed since the last save.
    int Close();

    int Sub_Folders(const CString& key, CStringArray& keys, bool recursive, int type);
    int Entries(const CString& key, CStringArray& keys, bool recursive, int type);
    int Folder_Attributes(const CString& key, CString& name, int& type, BOOL& expanded, CString& memo, CString& parent);
    int Folder_Attribute(const CString& key, int code, CString& value);
    int Entry_Attribute(const CString& key, int code, CString& value);
    int Entry_Data(const CString& key, CMapStringToString& properties);
    int Parent_Key(const CString& key, CString& parent);
    int Get_Parameter(const CString& name, CString& value);

    int Add_Folder(const CString& parent, const CString& name, bool expanded, const CString& memo, CString& key,
                   const CString& next);
    int Add_Entry(const CString& name, int type, const CString& parent, CString& key, const CString& next,
                  const CMapStringToString* properties);
    int Add_Link(const CString& name, const CString& target, const CString& parent, CString& key, const CString& next);
    int Set_Parameter(const CString& name, const CString& value);

    // The include with index 0, for a landscape document of the same file.
    std::string Include_Url();
    void Set_Include_Url(const std::string& url);
    // The file as it would be written, and writing it to `path`: to its own file
    // this is the store's save.
    std::string Text();
    bool Save_To(const std::string& path);

    // The store that holds `path` open in this process, if any.
    static CLandscapeStore* Find_Open(const std::string& path);
    // Someone else wrote our file: what it holds now is read at the next use.
    void File_Replaced();
    // Changes are held that the file does not have yet.
    bool Has_Unsaved_Changes() const { return m_dirty; }

private:
    struct Item
    {
        CXmlTree::Id element;
        bool fromServer = false;
        int type = 0; // folders: 5 or 11; entries: 400, 401 or 402
    };
    using Index = std::unordered_map<std::string, Item>;

    CLandscapeStore(const std::string& path, ComponentTracing* trace);
    bool Load(CString& message);
    bool Read_Landscape(const std::string& path, CXmlTree& tree, CString& reason);
    void Refresh();
    void Build_Index();
    void Index_Folder(const CXmlTree& tree, CXmlTree::Id folder, int type, bool fromServer);
    void Index_Item(const CXmlTree& tree, CXmlTree::Id item, bool fromServer);
    void Load_Included_Landscape();

    const CXmlTree& Tree_Of(const Item& item) const { return item.fromServer ? m_included : m_tree; }
    const Item* Find(const Index& index, const CString& key) const;
    bool Key_Taken(const std::string& key) const;
    std::string Key_For(const CString& requested) const;
    int Own_Folder(const CString& key, const Item*& folder) const;
    CXmlTree::Id Next_Sibling(const Index& index, const CString& next, CXmlTree::Id parent) const;
    CXmlTree::Id Container(const char* name);
    void Collect_Folders(const CXmlTree& tree, CXmlTree::Id folder, CStringArray& keys, bool recursive, int type) const;
    void Collect_Entries(const CXmlTree& tree, CXmlTree::Id folder, CStringArray& keys, bool recursive, int type) const;
    std::vector<std::pair<CXmlTree::Id, bool>> Workspaces() const;
    int Changed();
    bool Save();
    void Know_File();
    bool File_As_Known() const;

    std::string m_path;
    ComponentTracing* m_trace;
    CXmlTree m_tree;
    CXmlTree m_included; // the include with index 0, read-only; empty when there is none
    Index m_folders;
    Index m_entries;
    Index m_services;
    bool m_dirty = false;
    bool m_replaced = false; // the file was written by someone else since we read it
    // Size and time of the file as we last read or wrote it: while it is so, it
    // is known to load.
    std::optional<WIN32_FILE_ATTRIBUTE_DATA> m_file_as_known;
};

} // namespace Qorcdm2
