#pragma once
// Takes note of what the migration records in the current user's registry (the
// migration state, the core landscape file and the keys holding them) and puts
// it back as it was when the object goes: a simulated run must not change what
// the next start-up of the client decides.
#include <windows.h>

#include <string>
#include <vector>

namespace Admin {

class RegistryRestorer
{
public:
    RegistryRestorer();
    ~RegistryRestorer();
    RegistryRestorer(const RegistryRestorer&) = delete;
    RegistryRestorer& operator=(const RegistryRestorer&) = delete;

private:
    struct Value
    {
        Value(const char* valueKey, const char* valueName) : key(valueKey), name(valueName) {}

        const char* key;
        const char* name;
        bool existed = false;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    struct Key
    {
        const char* path;
        bool existed = false;
    };

    static void Take(Value& value);
    static LSTATUS Put_Back(const Value& value);
    static bool Exists(const char* key);
    static bool Is_Empty(const char* key);

    std::vector<Value> m_values;
    std::vector<Key> m_keys; // deepest first
};

} // namespace Admin
