#pragma once
// Accounts for every folder and entry of the old connection file against the
// user landscape: migrated, skipped, left out (inside a folder that came from
// the server), missing or different. Folders are matched by their path of
// names below the main folder, for which every top-level folder of the old file
// stands; entries by their key (a link also by an item of the same name that
// points at its target in that folder).
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ConnectionTree.h"
#include "MessageServerPorts.h"

namespace Admin {

using QOR::FrontEnd::Landscape::Migration::ConnectionTree;

class Verification
{
public:
    // What became of one folder or entry of the old file. (A profile's result
    // as a whole is an Outcome.)
    enum class Verdict
    {
        Migrated,
        Skipped,
        LeftOut,
        Missing,
        Different
    };
    struct Finding
    {
        Finding(bool isFolder, std::string itsKey, std::string itsName, Verdict what = Verdict::Migrated,
                std::string why = "")
            : folder(isFolder), key(std::move(itsKey)), name(std::move(itsName)), verdict(what), reason(std::move(why))
        {
        }
        // Missing or different: what fails a verification.
        bool Is_Problem() const { return verdict == Verdict::Missing || verdict == Verdict::Different; }

        bool folder = false;
        std::string key, name;
        Verdict verdict = Verdict::Migrated;
        std::string reason; // for missing and different
    };

    Verification(const ConnectionTree& old, const ConnectionTree& landscape, const MessageServerPorts& ports);

    const std::vector<Finding>& Findings() const { return m_findings; }
    int Count(bool folders, Verdict verdict) const;
    // No folder or entry is missing or different.
    bool Passed() const;
    static const char* Name(Verdict verdict);

private:
    using Folder = ConnectionTree::Folder;
    using Entry = ConnectionTree::Entry;

    Finding Check(const Folder& folder) const;
    Finding Check(const Entry& entry) const;
    const Entry* Counterpart(const Entry& entry, const std::string& path) const;
    std::string Differences(const Entry& entry, const Entry& found, const std::string& path) const;
    std::string Old_Path(const std::string& folderKey) const;
    bool Landscape_Path(const std::string& folderKey, std::string& path) const;
    bool Left_Out(const std::string& folderKey) const;

    const ConnectionTree& m_old;
    const ConnectionTree& m_landscape;
    const MessageServerPorts& m_ports;
    std::string m_main;                                 // the landscape's main folder, empty when it has none
    std::multimap<std::string, const Folder*> m_byPath; // the landscape's folders below the main folder
    std::vector<Finding> m_findings;
};

} // namespace Admin
