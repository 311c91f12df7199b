#pragma once
// The profiles below a folder: every folder that holds a qorlogon.ini (a
// roaming profile's QOR\Common). A folder that is a link - a junction or a
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

    explicit ProfileFolders(const std::string& root);

    std::vector<std::string> profiles; // sorted
    std::vector<PassedOver> passedOver;

private:
    void Find_Below(const std::string& folder);
};

} // namespace Admin
