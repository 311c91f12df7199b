#include "ProcessSnapshot.h"

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

ProcessSnapshot::ProcessSnapshot() : m_environment(Environment()), m_directory(Current_Directory()) {}

// "NAME=value" strings; the hidden "=C:=C:\..." ones that hold each drive's
// directory are left to the directory switch.
std::map<std::wstring, std::wstring> ProcessSnapshot::Environment()
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

void ProcessSnapshot::Restore() const
{
    const std::map<std::wstring, std::wstring> now = Environment();
    for (const auto& variable : now)
        if (!m_environment.count(variable.first))
            SetEnvironmentVariableW(variable.first.c_str(), nullptr);
    for (const auto& variable : m_environment) {
        const auto current = now.find(variable.first);
        if (current == now.end() || current->second != variable.second)
            SetEnvironmentVariableW(variable.first.c_str(), variable.second.c_str());
    }
    SetCurrentDirectoryW(m_directory.c_str());
}

} // namespace Admin
