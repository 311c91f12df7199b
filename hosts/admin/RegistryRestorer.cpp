#include "RegistryRestorer.h"

#include "UniqueHandle.h"

namespace Admin {

namespace {

const char* const Qor_Key = "Software\\QOR\\QORLogon";
const char* const Options_Key = "Software\\QOR\\QORLogon\\Options";

} // namespace

RegistryRestorer::RegistryRestorer()
    : m_values{{Qor_Key, "LandscapeMigrationState"}, {Options_Key, "CoreLandscapeFileOnServer"}},
      m_keys{{Options_Key}, {Qor_Key}, {"Software\\QOR"}}
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
