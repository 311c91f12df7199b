#include "ScratchUserHive.h"

#include <windows.h>

namespace Admin {

ScratchUserHive::ScratchUserHive()
    : m_name("Software\\QOR landscape_migrate scratch user " + std::to_string(GetCurrentProcessId()))
{
    m_active = RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                               nullptr, m_key.put(), nullptr) == ERROR_SUCCESS &&
               RegOverridePredefKey(HKEY_CURRENT_USER, m_key.get()) == ERROR_SUCCESS;
    Clear(); // a worker of the same process ID that was killed may have left it behind
}

ScratchUserHive::~ScratchUserHive()
{
    if (!m_key)
        return;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    m_key.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
}

void ScratchUserHive::Clear() const
{
    if (m_active)
        RegDeleteTreeA(m_key.get(), nullptr);
}

} // namespace Admin
