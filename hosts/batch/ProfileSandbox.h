#pragma once
// What migrating one profile may change in this process, and the undoing of it:
// the environment and the current directory as they were when the sandbox was
// made, and a HKEY_CURRENT_USER of its own - an empty, volatile key below the
// real one - for the life of the object. Code run meanwhile sees a user with
// nothing recorded and the machine's own settings, as the profile's user would
// meet this machine at their first start; Restore puts the environment and the
// directory back and empties the key for the next profile.
#include <map>
#include <string>

#include "Handles.h"

namespace Admin {

class ProfileSandbox
{
public:
    ProfileSandbox();
    ~ProfileSandbox();
    ProfileSandbox(const ProfileSandbox&) = delete;
    ProfileSandbox& operator=(const ProfileSandbox&) = delete;

    // False when the user's key could not be replaced or emptied: the real one,
    // or one holding a killed worker's values, is in use.
    bool Active() const { return m_active; }
    // False when something could not be put back: the next profile would not
    // start from the same state.
    bool Restore() const;

private:
    static std::map<std::wstring, std::wstring> Environment();
    bool Empty_User_Key() const;

    std::string m_userKeyName;
    QOR::FrontEnd::Util::unique_hkey m_userKey;
    bool m_active = false;
    std::map<std::wstring, std::wstring> m_environment;
    std::wstring m_directory;
};

} // namespace Admin
