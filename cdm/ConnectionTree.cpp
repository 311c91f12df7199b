#include "ConnectionTree.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// A store may list a folder twice (once per listing that reaches it); the first stands.
void ConnectionTree::Add(Folder folder)
{
    if (m_folderIndex.emplace(folder.key, m_folders.size()).second)
        m_folders.push_back(std::move(folder));
}

void ConnectionTree::Add(Entry entry)
{
    if (m_entryIndex.emplace(entry.key, m_entries.size()).second)
        m_entries.push_back(std::move(entry));
}

const ConnectionTree::Folder* ConnectionTree::Find_Folder(const std::string& key) const
{
    const auto found = m_folderIndex.find(key);
    return found == m_folderIndex.end() ? nullptr : &m_folders[found->second];
}

const ConnectionTree::Entry* ConnectionTree::Find_Entry(const std::string& key) const
{
    const auto found = m_entryIndex.find(key);
    return found == m_entryIndex.end() ? nullptr : &m_entries[found->second];
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
