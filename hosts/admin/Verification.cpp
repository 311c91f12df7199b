#include "Verification.h"

#include <windows.h>

#include <algorithm>

#include "CdmDataMan.h"
#include "MessageServerPortRule.h"

namespace Admin {

namespace {

const char Separator = '\x1f'; // between the names of a path; no folder name holds it

// Puts a folder's name in front of the path of the folders below it.
void Prepend_Folder(std::string& path, const std::string& name)
{
    if (!path.empty())
        path.insert(path.begin(), Separator);
    path.insert(0, name);
}

std::string Shown(std::string path)
{
    if (path.empty())
        return "the main folder";
    std::replace(path.begin(), path.end(), Separator, '/');
    return "'" + path + "'";
}

void Note(std::string& differences, const std::string& what)
{
    differences += (differences.empty() ? "" : "; ") + what;
}

std::string Quoted(const std::map<std::string, std::string>& values, const std::string& name)
{
    const auto found = values.find(name);
    return found == values.end() ? "none" : "'" + found->second + "'";
}

} // namespace

Verification::Verification(const ConnectionTree& old, const ConnectionTree& landscape, const MessageServerPorts& ports)
    : m_old(old), m_landscape(landscape), m_ports(ports)
{
    for (const Folder& folder : landscape.Folders())
        if (folder.workspace && !folder.fromServer && lstrcmpiA(folder.name.c_str(), "Local") == 0) {
            m_main = folder.key;
            break;
        }
    std::string path;
    for (const Folder& folder : landscape.Folders())
        if (!folder.workspace && Landscape_Path(folder.key, path))
            m_byPath.emplace(path, &folder);
    for (const Folder& folder : old.Folders())
        m_findings.push_back(Check(folder));
    for (const Entry& entry : old.Entries())
        m_findings.push_back(Check(entry));
}

int Verification::Count(bool folders, Verdict verdict) const
{
    return static_cast<int>(std::count_if(m_findings.begin(), m_findings.end(), [&](const Finding& finding) {
        return finding.folder == folders && finding.verdict == verdict;
    }));
}

bool Verification::Passed() const
{
    return std::none_of(m_findings.begin(), m_findings.end(),
                        [](const Finding& finding) { return finding.Is_Problem(); });
}

const char* Verification::Name(Verdict verdict)
{
    static const char* const names[] = {"migrated", "skipped", "left out", "missing", "different"};
    return names[static_cast<int>(verdict)];
}

Verification::Finding Verification::Check(const Folder& folder) const
{
    Finding finding(true, folder.key, folder.name);
    if (Left_Out(folder.key)) {
        finding.verdict = Verdict::LeftOut;
        return finding;
    }
    const std::string path = Old_Path(folder.key);
    if (path.empty()) { // a top-level folder: the main folder
        if (m_main.empty())
            finding =
                Finding(true, folder.key, folder.name, Verdict::Missing, "the landscape has no main folder 'Local'");
        return finding;
    }
    const auto [first, last] = m_byPath.equal_range(path);
    if (first == last)
        return {true, folder.key, folder.name, Verdict::Missing, "no folder " + Shown(path) + " in the landscape"};
    for (auto candidate = first; candidate != last; ++candidate)
        if (candidate->second->expanded == folder.expanded && candidate->second->memo == folder.memo)
            return finding;
    std::string differences;
    if (first->second->expanded != folder.expanded)
        Note(differences, std::string("expanded ") + (folder.expanded ? "1" : "0") + " in the old file, " +
                              (first->second->expanded ? "1" : "0") + " in the landscape");
    if (first->second->memo != folder.memo)
        Note(differences, "memo '" + folder.memo + "' in the old file, '" + first->second->memo + "' in the landscape");
    return {true, folder.key, folder.name, Verdict::Different, differences};
}

Verification::Finding Verification::Check(const Entry& entry) const
{
    Finding finding(false, entry.key, entry.name);
    if (entry.skip)
        finding.verdict = Verdict::Skipped;
    else if (Left_Out(entry.parent))
        finding.verdict = Verdict::LeftOut;
    if (finding.verdict != Verdict::Migrated)
        return finding;
    const std::string path = Old_Path(entry.parent);
    const Entry* found = Counterpart(entry, path);
    if (!found)
        return {false, entry.key, entry.name, Verdict::Missing, "not in the landscape"};
    const std::string differences = Differences(entry, *found, path);
    if (!differences.empty())
        finding = {false, entry.key, entry.name, Verdict::Different, differences};
    return finding;
}

// Under its own key, or for a link an item of its name in its folder that points
// at its target.
const ConnectionTree::Entry* Verification::Counterpart(const Entry& entry, const std::string& path) const
{
    if (const Entry* found = m_landscape.Find_Entry(entry.key))
        return found;
    if (entry.type != TREE_ITEM_TYPE_LINK)
        return nullptr;
    std::string where;
    for (const Entry& candidate : m_landscape.Entries())
        if (candidate.type == TREE_ITEM_TYPE_LINK && candidate.name == entry.name && candidate.target == entry.target &&
            Landscape_Path(candidate.parent, where) && where == path)
            return &candidate;
    return nullptr;
}

std::string Verification::Differences(const Entry& entry, const Entry& found, const std::string& path) const
{
    std::string differences, where;
    if (found.type != entry.type)
        Note(differences, "type " + std::to_string(entry.type) + " in the old file, " + std::to_string(found.type) +
                              " in the landscape");
    if (!Landscape_Path(found.parent, where))
        Note(differences, "outside the main folder in the landscape");
    else if (where != path)
        Note(differences, "in " + Shown(where) + " instead of " + Shown(path));
    if (found.name != entry.name)
        Note(differences, "name '" + found.name + "' in the landscape");
    if (entry.type == TREE_ITEM_TYPE_LINK) {
        if (found.target != entry.target)
            Note(differences, "points at '" + found.target + "' instead of '" + entry.target + "'");
        return differences;
    }
    std::map<std::string, std::string> expected = m_ports.Filled_In(entry.properties);
    // The migration fills a port in only from servers that the shared landscape
    // did not hold yet: a port left as the old file had it is no difference.
    const std::string port = QOR::FrontEnd::Landscape::Migration::MessageServerPortRule::Port_Property;
    if (found.properties.count(port) && Quoted(found.properties, port) == Quoted(entry.properties, port))
        expected[port] = found.properties.at(port);
    std::map<std::string, std::string> all = expected;
    all.insert(found.properties.begin(), found.properties.end());
    for (const auto& property : all)
        if (Quoted(expected, property.first) != Quoted(found.properties, property.first))
            Note(differences, "property " + property.first + ": " + Quoted(expected, property.first) +
                                  " in the old file, " + Quoted(found.properties, property.first) +
                                  " in the landscape");
    return differences;
}

// The names from below the top-level folder down to the folder; empty for a
// top-level folder and for the top of the tree.
std::string Verification::Old_Path(const std::string& folderKey) const
{
    std::string path;
    const Folder* folder = m_old.Find_Folder(folderKey);
    for (size_t steps = 0; folder && steps <= m_old.Folders().size(); ++steps) {
        const Folder* parent = m_old.Find_Folder(folder->parent);
        if (!parent)
            break;
        Prepend_Folder(path, folder->name);
        folder = parent;
    }
    return path;
}

bool Verification::Landscape_Path(const std::string& folderKey, std::string& path) const
{
    path.clear();
    const Folder* folder = m_landscape.Find_Folder(folderKey);
    for (size_t steps = 0; folder && steps <= m_landscape.Folders().size(); ++steps) {
        if (folder->key == m_main)
            return !m_main.empty();
        Prepend_Folder(path, folder->name);
        folder = m_landscape.Find_Folder(folder->parent);
    }
    return false;
}

bool Verification::Left_Out(const std::string& folderKey) const
{
    const Folder* folder = m_old.Find_Folder(folderKey);
    for (size_t steps = 0; folder && steps <= m_old.Folders().size(); ++steps) {
        if (folder->fromServer)
            return true;
        folder = m_old.Find_Folder(folder->parent);
    }
    return false;
}

} // namespace Admin
