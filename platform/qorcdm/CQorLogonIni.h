#pragma once
// The old per-user connection file, qorlogon.ini, read into memory and indexed
// by key. The format is described in docs/connection-files.md. Reading never
// fails on content: a line that cannot be used is reported through the warning
// callback and left out, and what can be kept is kept.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "CString.h"

class CQorLogonIni
{
public:
    struct Folder
    {
        CString key;
        CString name;
        CString parent; // empty: a top-level folder
        CString memo;
        bool expanded = false;
        bool fromServer = false;
        std::vector<size_t> folders; // subfolders, in file order
        std::vector<size_t> entries; // entries directly inside, in file order
    };

    struct Entry
    {
        CString key;
        int type = 0; // a TREE_ITEM_TYPE_: link, shortcut or connection
        CString name;
        CString folder; // empty: the top of the tree
        CString target; // links: key of the entry linked to
        bool skip = false;
        std::vector<std::pair<CString, CString>> properties; // in file order
    };

    using Warning = std::function<void(int line, const std::string& text)>;

    // Parses the whole text; `warn` hears of every line that was not used.
    void Parse(const std::string& text, const Warning& warn);

    const Folder* Find_Folder(const char* key) const;
    const Entry* Find_Entry(const char* key) const;
    const Folder& Folder_At(size_t index) const { return m_folders[index]; }
    const Entry& Entry_At(size_t index) const { return m_entries[index]; }
    // A parameter of the file; SystemStatusURL and SingleSystemStatusURL, which
    // the client always knows, read as empty when the file does not set them.
    bool Find_Parameter(const char* name, CString& value) const;

    // Folders nest at most this deep (a top-level folder is at depth 1). A deeper
    // folder is placed at the top with its subtree, as a folder with an unknown
    // parent is: the landscape that the tree is migrated into must still load, and
    // XML readers refuse documents nested much deeper.
    static constexpr size_t Max_Folder_Depth = 200;

    // The top of the tree: top-level folders and entries outside any folder.
    const std::vector<size_t>& Top_Folders() const { return m_topFolders; }
    const std::vector<size_t>& Top_Entries() const { return m_topEntries; }

    size_t Folder_Count() const { return m_folders.size(); }
    size_t Entry_Count() const { return m_entries.size(); }

private:
    enum class Section
    {
        None,
        Ignored,
        Parameters,
        Folder,
        Entry
    };

    void Start_Section(std::string_view header, int line, const Warning& warn);
    void Read_Value(std::string_view name, std::string_view value, int line, const Warning& warn);
    void Link_Tree(const Warning& warn);
    void Attach_Unreachable_Folders(const Warning& warn);
    void Limit_Folder_Depth(const Warning& warn);
    bool Key_Taken(const std::string& key) const;

    std::vector<Folder> m_folders;
    std::vector<Entry> m_entries;
    std::unordered_map<std::string, size_t> m_folderIndex;
    std::unordered_map<std::string, size_t> m_entryIndex;
    std::vector<std::pair<CString, CString>> m_parameters;
    std::vector<size_t> m_topFolders;
    std::vector<size_t> m_topEntries;
    Section m_section = Section::None;
};
