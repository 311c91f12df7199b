#include "CQorLogonIni.h"

#include <algorithm>
#include <cstring> // and the CRT's _strnicmp

#include "CdmDataMan.h"

namespace {

std::string_view Trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::string_view();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Text as C strings see it: up to a NUL byte, if there is one.
std::string_view C_Text(std::string_view text) { return text.substr(0, text.find('\0')); }

CString To_CString(std::string_view text)
{
    const std::string_view c_text = C_Text(text);
    return CString(c_text.data(), static_cast<int>(c_text.size()));
}

bool Same(std::string_view text, const char* word)
{
    const std::string_view c_text = C_Text(text);
    return c_text.size() == std::strlen(word) && _strnicmp(c_text.data(), word, c_text.size()) == 0;
}

int Entry_Type_Of(std::string_view word)
{
    if (Same(word, "Connection"))
        return TREE_ITEM_TYPE_CONNECTION;
    if (Same(word, "Shortcut"))
        return TREE_ITEM_TYPE_QORSHORTCUT;
    if (Same(word, "Link"))
        return TREE_ITEM_TYPE_LINK;
    return 0;
}

// "1" is on, "0" is off; anything else is off and worth a warning.
bool Flag(std::string_view value, int line, const CQorLogonIni::Warning& warn)
{
    if (value != "0" && value != "1")
        warn(line, "flag value '" + std::string(value) + "' is neither 0 nor 1; taken as 0");
    return value == "1";
}

// Replaces the value of an existing name, or adds the pair at the end.
bool Set_Pair(std::vector<std::pair<CString, CString>>& pairs, std::string_view name, std::string_view value)
{
    const CString key = To_CString(name);
    for (auto& pair : pairs)
        if (pair.first == key) {
            pair.second = To_CString(value);
            return false;
        }
    pairs.emplace_back(key, To_CString(value));
    return true;
}

} // namespace

void CQorLogonIni::Parse(const std::string& text, const Warning& warn)
{
    const std::string_view all(text);
    int lineNumber = 0;
    for (size_t start = 0; start < all.size();) {
        // Lines end in CR LF, LF or a lone CR (files saved by old editors).
        size_t end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = Trim(all.substr(start, end - start));
        start = end + (all.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++lineNumber;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                warn(lineNumber, "section header without ']'; the section is ignored");
                m_section = Section::Ignored;
            } else {
                Start_Section(Trim(line.substr(1, line.size() - 2)), lineNumber, warn);
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0) {
            warn(lineNumber, "line is not of the form name=value; ignored");
            continue;
        }
        Read_Value(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), lineNumber, warn);
    }
    Link_Tree(warn);
}

bool CQorLogonIni::Key_Taken(const std::string& key) const
{
    return m_folderIndex.count(key) != 0 || m_entryIndex.count(key) != 0;
}

void CQorLogonIni::Start_Section(std::string_view header, int line, const Warning& warn)
{
    m_section = Section::Ignored;
    if (Same(header, "Parameters")) {
        m_section = Section::Parameters;
        return;
    }
    const size_t blank = header.find_first_of(" \t");
    const std::string_view word = header.substr(0, blank);
    const std::string key(blank == std::string_view::npos ? std::string_view() : Trim(header.substr(blank)));
    const bool isFolder = Same(word, "Folder");
    const int entryType = Entry_Type_Of(word);
    if (!isFolder && entryType == 0) {
        warn(line, "unknown section [" + std::string(header) + "]; ignored");
    } else if (key.empty()) {
        warn(line, "section [" + std::string(header) + "] has no key; ignored");
    } else if (Key_Taken(key)) {
        warn(line, "key '" + key + "' is used twice; the later section is ignored");
    } else if (isFolder) {
        m_folderIndex.emplace(key, m_folders.size());
        m_folders.emplace_back();
        m_folders.back().key = key.c_str();
        m_section = Section::Folder;
    } else {
        m_entryIndex.emplace(key, m_entries.size());
        m_entries.emplace_back();
        m_entries.back().key = key.c_str();
        m_entries.back().type = entryType;
        m_section = Section::Entry;
    }
}

void CQorLogonIni::Read_Value(std::string_view name, std::string_view value, int line, const Warning& warn)
{
    switch (m_section) {
    case Section::None:
        warn(line, "value outside any section; ignored");
        return;
    case Section::Ignored:
        return;
    case Section::Parameters:
        if (!Set_Pair(m_parameters, name, value))
            warn(line, "parameter '" + std::string(name) + "' is set twice; the later value is kept");
        return;
    case Section::Folder: {
        Folder& folder = m_folders.back();
        if (Same(name, "Name"))
            folder.name = To_CString(value);
        else if (Same(name, "Parent"))
            folder.parent = To_CString(value);
        else if (Same(name, "Memo"))
            folder.memo = To_CString(value);
        else if (Same(name, "Expanded"))
            folder.expanded = Flag(value, line, warn);
        else if (Same(name, "FromServer"))
            folder.fromServer = Flag(value, line, warn);
        else
            warn(line, "unknown folder setting '" + std::string(name) + "'; ignored");
        return;
    }
    case Section::Entry: {
        Entry& entry = m_entries.back();
        if (Same(name, "Name"))
            entry.name = To_CString(value);
        else if (Same(name, "Folder"))
            entry.folder = To_CString(value);
        else if (Same(name, "Skip"))
            entry.skip = Flag(value, line, warn);
        else if (Same(name, "Target"))
            entry.target = To_CString(value);
        else if (!Set_Pair(entry.properties, name, value))
            warn(line, "property '" + std::string(name) + "' is set twice; the later value is kept");
        return;
    }
    }
}

// Builds the tree in file order. A folder or entry whose parent is unknown is
// kept at the top rather than dropped.
void CQorLogonIni::Link_Tree(const Warning& warn)
{
    for (size_t i = 0; i < m_folders.size(); ++i) {
        Folder& folder = m_folders[i];
        const auto parent = m_folderIndex.find(folder.parent.GetString());
        if (!folder.parent.IsEmpty() && parent == m_folderIndex.end()) {
            warn(0, std::string("folder '") + folder.key.GetString() + "' names the unknown parent '" +
                        folder.parent.GetString() + "'; it is placed at the top");
            folder.parent.Empty();
        }
        if (folder.parent.IsEmpty())
            m_topFolders.push_back(i);
        else
            m_folders[parent->second].folders.push_back(i);
    }
    Attach_Unreachable_Folders(warn);
    Limit_Folder_Depth(warn);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry& entry = m_entries[i];
        const auto folder = m_folderIndex.find(entry.folder.GetString());
        if (!entry.folder.IsEmpty() && folder == m_folderIndex.end()) {
            warn(0, std::string("entry '") + entry.key.GetString() + "' names the unknown folder '" +
                        entry.folder.GetString() + "'; it is placed at the top");
            entry.folder.Empty();
        }
        if (entry.folder.IsEmpty())
            m_topEntries.push_back(i);
        else
            m_folders[folder->second].entries.push_back(i);
        if (entry.type == TREE_ITEM_TYPE_LINK && entry.target.IsEmpty())
            warn(0, std::string("link '") + entry.key.GetString() + "' has no Target");
    }
}

// Folders whose parents form a cycle cannot be reached from the top; the first
// of each cycle is moved to the top so that nothing is lost.
void CQorLogonIni::Attach_Unreachable_Folders(const Warning& warn)
{
    std::vector<bool> reached(m_folders.size(), false);
    auto mark = [&](size_t root) {
        std::vector<size_t> pending{root};
        while (!pending.empty()) {
            const size_t index = pending.back();
            pending.pop_back();
            if (reached[index])
                continue;
            reached[index] = true;
            pending.insert(pending.end(), m_folders[index].folders.begin(), m_folders[index].folders.end());
        }
    };
    for (size_t top : m_topFolders)
        mark(top);
    for (size_t i = 0; i < m_folders.size(); ++i) {
        if (reached[i])
            continue;
        Folder& folder = m_folders[i];
        warn(0, std::string("folder '") + folder.key.GetString() + "' is its own ancestor; it is placed at the top");
        std::vector<size_t>& siblings = m_folders[m_folderIndex.at(folder.parent.GetString())].folders;
        siblings.erase(std::find(siblings.begin(), siblings.end(), i));
        folder.parent.Empty();
        m_topFolders.push_back(i);
        mark(i);
    }
}

// Walks the tree without recursion (a file may chain folders as deep as it
// likes); the subfolders of a folder at the deepest level move to the top, where
// their own subtrees are walked in turn.
void CQorLogonIni::Limit_Folder_Depth(const Warning& warn)
{
    std::vector<std::pair<size_t, size_t>> pending; // folder, its depth
    for (size_t next = 0; next < m_topFolders.size(); ++next) {
        pending.emplace_back(m_topFolders[next], 1);
        while (!pending.empty()) {
            const auto [index, depth] = pending.back();
            pending.pop_back();
            Folder& folder = m_folders[index];
            if (depth < Max_Folder_Depth) {
                for (size_t child : folder.folders)
                    pending.emplace_back(child, depth + 1);
                continue;
            }
            for (size_t child : folder.folders) {
                Folder& moved = m_folders[child];
                warn(0, std::string("folder '") + moved.key.GetString() + "' is nested deeper than " +
                            std::to_string(Max_Folder_Depth) + " levels; it is placed at the top");
                moved.parent.Empty();
                m_topFolders.push_back(child);
            }
            folder.folders.clear();
        }
    }
}

const CQorLogonIni::Folder* CQorLogonIni::Find_Folder(const char* key) const
{
    const auto found = m_folderIndex.find(key ? key : "");
    return found == m_folderIndex.end() ? nullptr : &m_folders[found->second];
}

const CQorLogonIni::Entry* CQorLogonIni::Find_Entry(const char* key) const
{
    const auto found = m_entryIndex.find(key ? key : "");
    return found == m_entryIndex.end() ? nullptr : &m_entries[found->second];
}

bool CQorLogonIni::Find_Parameter(const char* name, CString& value) const
{
    for (const auto& parameter : m_parameters)
        if (parameter.first == name) {
            value = parameter.second;
            return true;
        }
    // Most files never set the client's own parameters: unset, they are empty.
    for (const char* known : {"SystemStatusURL", "SingleSystemStatusURL"})
        if (strcmp(name, known) == 0) {
            value.Empty();
            return true;
        }
    return false;
}
