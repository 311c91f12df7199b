#include "RegistryRestorer.h"

#include <cstdio>

#include "ClientSettings.h"
#include "Handles.h"
#include "SystemText.h"

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
    for (const Value& value : m_values) {
        const LSTATUS status = Put_Back(value);
        if (status != ERROR_SUCCESS)
            std::fprintf(stderr, "Warning: HKEY_CURRENT_USER\\%s\\%s could not be put back as it was: %s\n", value.key,
                         value.name, QOR::FrontEnd::SystemText::Error_Text(status).c_str());
    }
    for (const Key& key : m_keys)
        if (!key.existed && Exists(key.path) && Is_Empty(key.path))
            static_cast<void>(RegDeleteKeyA(HKEY_CURRENT_USER, key.path)); // an empty key left decides nothing
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

LSTATUS RegistryRestorer::Put_Back(const Value& value)
{
    if (value.existed)
        return RegSetKeyValueA(HKEY_CURRENT_USER, value.key, value.name, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size()));
    const LSTATUS status = RegDeleteKeyValueA(HKEY_CURRENT_USER, value.key, value.name);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status; // absent before and after
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
