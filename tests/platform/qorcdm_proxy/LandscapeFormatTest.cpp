#include <gtest/gtest.h>

#include "LandscapeFormat.h"
#include "TestSupport.h"

// The current user's LandscapeFormatEnabled, else the machine's: 0 is off, any
// other number on, missing is on, and a value that is no number counts as missing.
TEST(LandscapeFormat, TheUsersNumberWinsOverTheMachines)
{
    const DWORD None = ~0u, Text = ~1u; // no value; the text "1" instead of a number
    const DWORD cases[][3] = {{None, None, 1}, {0, None, 0}, {None, 0, 0}, {1, 0, 1},
                              {0, 1, 0},       {2, 0, 1},    {Text, 0, 0}, {None, Text, 1}};
    for (const auto& [user, machine, enabled] : cases) {
        TestSupport::RegistrySandbox sandbox;
        const std::pair<HKEY, DWORD> values[] = {{HKEY_CURRENT_USER, user}, {HKEY_LOCAL_MACHINE, machine}};
        for (const auto& [root, value] : values) {
            const char *const key = "Software\\QOR\\QORLogon\\Options", *const name = "LandscapeFormatEnabled";
            if (value != None) {
                ASSERT_EQ(ERROR_SUCCESS, value == Text ? RegSetKeyValueA(root, key, name, REG_SZ, "1", 2)
                                                       : RegSetKeyValueA(root, key, name, REG_DWORD, &value, 4));
            }
        }
        EXPECT_EQ(enabled != 0, LogonManager::Proxy::Landscape_Format_Enabled()) << user << " " << machine;
    }
}
