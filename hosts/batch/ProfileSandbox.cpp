#include "ProfileSandbox.h"

#include <windows.h>

#include <memory>

#include "SystemText.h"

namespace Admin {

namespace {

struct Environment_Block_Deleter
{
    void operator()(wchar_t* block) const { FreeEnvironmentStringsW(block); }
};

std::wstring Current_Directory()
{
    std::wstring directory;
    QOR::FrontEnd::SystemText::Read_Wide([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); },
                                         directory);
    return directory;
}

} // namespace

ProfileSandbox::ProfileSandbox()
    : m_userKeyName("Software\\QOR landscape_migrate scratch user " + std::to_string(GetCurrentProcessId()))
{
    m_active = RegCreateKeyExA(HKEY_CURRENT_USER, m_userKeyName.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, m_userKey.put(), nullptr) == ERROR_SUCCESS &&
               RegOverridePredefKey(HKEY_CURRENT_USER, m_userKey.get()) == ERROR_SUCCESS;
    // A worker of the same process ID that was killed may have left it filled.
    m_active = m_active && Empty_User_Key();
    m_environment = Environment();
    m_directory = Current_Directory();
}

ProfileSandbox::~ProfileSandbox()
{
    if (!m_userKey)
        return;
    // The process is ending: nothing is left to run in a wrong user, and the
    // volatile key goes at logoff if it cannot go now.
    static_cast<void>(RegOverridePredefKey(HKEY_CURRENT_USER, nullptr));
    m_userKey.reset();
    static_cast<void>(RegDeleteTreeA(HKEY_CURRENT_USER, m_userKeyName.c_str()));
}

// "NAME=value" strings; the hidden "=C:=C:\..." ones that hold each drive's
// directory are left to the directory switch.
std::map<std::wstring, std::wstring> ProfileSandbox::Environment()
{
    std::map<std::wstring, std::wstring> variables;
    const std::unique_ptr<wchar_t, Environment_Block_Deleter> block(GetEnvironmentStringsW());
    for (const wchar_t* entry = block.get(); entry && *entry; entry += wcslen(entry) + 1) {
        const wchar_t* equals = wcschr(entry + 1, L'=');
        if (entry[0] != L'=' && equals)
            variables[std::wstring(entry, equals)] = equals + 1;
    }
    return variables;
}

bool ProfileSandbox::Restore() const
{
    bool restored = true;
    const std::map<std::wstring, std::wstring> now = Environment();
    for (const auto& variable : now)
        if (!m_environment.count(variable.first))
            restored = SetEnvironmentVariableW(variable.first.c_str(), nullptr) && restored;
    for (const auto& variable : m_environment) {
        const auto current = now.find(variable.first);
        if (current == now.end() || current->second != variable.second)
            restored = SetEnvironmentVariableW(variable.first.c_str(), variable.second.c_str()) && restored;
    }
    restored = SetCurrentDirectoryW(m_directory.c_str()) && restored;
    return Empty_User_Key() && restored;
}

bool ProfileSandbox::Empty_User_Key() const
{
    return !m_active || RegDeleteTreeA(m_userKey.get(), nullptr) == ERROR_SUCCESS;
}

} // namespace Admin
