#pragma once
// The profiles below a folder: every folder that holds a file of the given
// name (a roaming profile's QOR\Common, with its qorlogon.ini). A folder that is a link - a junction or a
// symbolic link - is passed over and named, so that no profile is taken twice,
// or from outside the folder.
#include <string>
#include <vector>

namespace Admin {

struct ProfileFolders
{
    struct PassedOver
    {
        std::string folder, reason;
    };

    // `marker`: the name of the file that makes a folder a profile (any case).
    ProfileFolders(const std::string& root, const std::string& marker);

    std::vector<std::string> profiles; // sorted
    std::vector<PassedOver> passedOver;

private:
    void Find_Below(const std::string& folder);

    std::string m_marker;
};

} // namespace Admin
