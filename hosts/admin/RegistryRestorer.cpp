#include "RegistryRestorer.h"

#include "ClientSettings.h"
#include "Handles.h"

namespace Admin {

namespace ClientSettings = QOR::FrontEnd::Landscape::Migration::ClientSettings;

RegistryRestorer::RegistryRestorer()
    : m_values{{ClientSettings::Logon_Key, ClientSettings::Migration_State_Value},
               {ClientSettings::Options_Key, ClientSettings::Core_Landscape_Value}},
      m_keys{{ClientSettings::Options_Key}, {ClientSettings::Logon_Key}, {ClientSettings::Vendor_Key}}
{
    for (Value& value : m_values)
        Take(value);
    for (Key& key : m_keys)
        key.existed = Exists(key.path);
}

// Keys the run made are removed only when nothing else has come into them.
RegistryRestorer::~RegistryRestorer()
{
    for (const Value& value : m_values)
        Put_Back(value);
    for (const Key& key : m_keys)
        if (!key.existed && Exists(key.path) && Is_Empty(key.path))
            RegDeleteKeyA(HKEY_CURRENT_USER, key.path);
}

void RegistryRestorer::Take(Value& value)
{
    DWORD size = 0;
    value.existed = RegGetValueA(HKEY_CURRENT_USER, value.key, value.name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                                 nullptr, &size) == ERROR_SUCCESS;
    value.data.resize(size);
    if (value.existed && size)
        value.existed = RegGetValueA(HKEY_CURRENT_USER, value.key, value.name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                                     value.data.data(), &size) == ERROR_SUCCESS;
}

void RegistryRestorer::Put_Back(const Value& value)
{
    if (value.existed)
        RegSetKeyValueA(HKEY_CURRENT_USER, value.key, value.name, value.type, value.data.data(),
                        static_cast<DWORD>(value.data.size()));
    else
        RegDeleteKeyValueA(HKEY_CURRENT_USER, value.key, value.name);
}

bool RegistryRestorer::Exists(const char* key)
{
    QOR::FrontEnd::Util::unique_hkey opened;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

bool RegistryRestorer::Is_Empty(const char* key)
{
    QOR::FrontEnd::Util::unique_hkey opened;
    DWORD subKeys = 1, values = 1;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS &&
           RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys == 0 && values == 0;
}

} // namespace Admin
