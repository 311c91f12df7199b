#include "LandscapeFormat.h"

#include <windows.h>

#include "QorLogonSettings.h"
#include "Registry.h"

namespace LogonManager { namespace Proxy {

// Read from the DWORD "LandscapeFormatEnabled" below Software\QOR\QORLogon\Options,
// the current user's value first, then the machine's; enabled unless a value is 0.
bool Landscape_Format_Enabled()
{
    using QOR::FrontEnd::Util::Registry::Get_DWORD;
    const char* const key = QorLogonSettings::Options_Key;
    const char* const value = QorLogonSettings::Landscape_Format_Value;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        bool found = false;
        const DWORD setting = Get_DWORD(root, key, value, &found);
        if (found)
            return setting != 0;
    }
    return true;
}

}} // namespace LogonManager::Proxy
