#pragma once
// A connection tree as plain data, read from either connection store (CdmSession),
// so that the old file and the landscape can be compared or shown without
// calling a library.
#include <map>
#include <string>
#include <vector>

#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

class LANDSCAPE_MIGRATION_API ConnectionTree
{
public:
    struct Folder
    {
        std::string key, name, parent, memo;
        bool expanded = false;
        bool fromServer = false;
        bool workspace = false;
    };
    struct Entry
    {
        std::string key, name, parent, target;
        int type = 0;
        bool skip = false;
        std::map<std::string, std::string> properties;
    };

    void Add(Folder folder);
    void Add(Entry entry);
    const Folder* Find_Folder(const std::string& key) const;
    const Entry* Find_Entry(const std::string& key) const;
    // In the order the store listed them.
    const std::vector<Folder>& Folders() const { return m_folders; }
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Folder> m_folders;
    std::vector<Entry> m_entries;
    std::map<std::string, size_t> m_folderIndex;
    std::map<std::string, size_t> m_entryIndex;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
