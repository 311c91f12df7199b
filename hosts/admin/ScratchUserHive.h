#pragma once
// HKEY_CURRENT_USER of this process, for the life of the object, is an empty key
// of its own (volatile, below the real one): code that runs meanwhile sees a
// user with nothing recorded and the machine's own settings, and what it
// records is gone with Clear. The batch prepares each profile so, as the
// profile's user would meet this machine at their first start.
#include <string>

#include "Handles.h"

namespace Admin {

class ScratchUserHive
{
public:
    ScratchUserHive();
    ~ScratchUserHive();
    ScratchUserHive(const ScratchUserHive&) = delete;
    ScratchUserHive& operator=(const ScratchUserHive&) = delete;

    // False when the key could not be made: the real one is still in use.
    bool Active() const { return m_active; }
    // Empties the key again.
    void Clear() const;

private:
    std::string m_name;
    QOR::FrontEnd::Util::unique_hkey m_key;
    bool m_active = false;
};

} // namespace Admin
