#include "Registry.h"
#include "RegistryString.h"

#include <vector>

#include "Handles.h"

namespace QOR { namespace FrontEnd { namespace Util { namespace Registry {

namespace {

unique_hkey Open_Key(HKEY root, const std::string& key)
{
    unique_hkey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS)
        opened.reset();
    return opened;
}

unique_hkey Create_Key(HKEY root, const std::string& key)
{
    unique_hkey created;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, created.put(),
                        nullptr) != ERROR_SUCCESS)
        created.reset();
    return created;
}

} // namespace

DWORD Get_DWORD(HKEY root, const std::string& key, const std::string& value, bool* found)
{
    DWORD number = 0;
    DWORD type = 0;
    DWORD size = sizeof(number);
    const unique_hkey opened = Open_Key(root, key);
    const bool ok = opened &&
                    RegQueryValueExA(opened.get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                                     &size) == ERROR_SUCCESS &&
                    type == REG_DWORD && size == sizeof(number);
    if (found)
        *found = ok;
    return ok ? number : 0;
}

bool Get_String(HKEY root, const std::string& key, const std::string& value, std::string& text)
{
    text.clear();
    const unique_hkey opened = Open_Key(root, key);
    DWORD type = 0;
    DWORD size = 0;
    if (!opened || RegQueryValueExA(opened.get(), value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(opened.get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    text.assign(buffer.data()); // stored strings may or may not carry their terminator
    return true;
}

bool Set_DWORD(HKEY root, const std::string& key, const std::string& value, DWORD number)
{
    const unique_hkey created = Create_Key(root, key);
    return created && RegSetValueExA(created.get(), value.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                     sizeof(number)) == ERROR_SUCCESS;
}

bool Set_String(HKEY root, const std::string& key, const std::string& value, const std::string& text)
{
    const unique_hkey created = Create_Key(root, key);
    return created &&
           RegSetValueExA(created.get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}}}} // namespace QOR::FrontEnd::Util::Registry
