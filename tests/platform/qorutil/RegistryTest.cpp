#include <gtest/gtest.h>

#include <string>

#include "Registry.h"
#include "RegistryString.h"
#include "TestSupport.h"

namespace Registry = QOR::FrontEnd::Util::Registry;

namespace {

const char* const Key = "Software\\QOR\\QORLogon\\Options";

// "<type>:<bytes>" of a stored value, or "missing"; read with the plain API,
// not with the code under test.
std::string Stored(HKEY root, const char* value)
{
    char data[512] = {};
    DWORD type = REG_NONE, size = sizeof(data);
    if (RegGetValueA(root, Key, value, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) != ERROR_SUCCESS)
        return "missing";
    return std::to_string(type) + ":" + std::string(data, size);
}

struct RegistryTest : public ::testing::Test
{
    TestSupport::RegistrySandbox sandbox;
};

} // namespace

// Get_DWORD reads only a four-byte number, and a stored 0 is found, which is how
// callers tell it from a missing value.
TEST_F(RegistryTest, GetDwordReadsOnlyAFourByteNumber)
{
    const struct
    {
        const char* value;
        DWORD type;
        std::string data;
        const char* number; // "found|value"
    } cases[] = {
        {"Number", REG_DWORD, std::string("\x2a\0\0\0", 4), "1|42"},
        {"Zero", REG_DWORD, std::string(4, '\0'), "1|0"},
        {"Binary", REG_BINARY, std::string("\x07\0\0\0", 4), "0|0"},
        {"Quad", REG_QWORD, std::string("\x07\0\0\0\0\0\0\0", 8), "0|0"},
        {"Plain", REG_SZ, std::string("C:\\QOR\0", 7), "0|0"},
        {"Missing", REG_NONE, "", "0|0"}, // not stored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        if (c.type != REG_NONE) {
            ASSERT_EQ(ERROR_SUCCESS,
                      RegSetKeyValueA(HKEY_CURRENT_USER, Key, c.value, c.type, c.data.data(), DWORD(c.data.size())));
        }
        bool found = false;
        const DWORD number = Registry::Get_DWORD(HKEY_CURRENT_USER, Key, c.value, &found);
        EXPECT_EQ(c.number, std::to_string(found) + "|" + std::to_string(number));
        EXPECT_EQ(number, Registry::Get_DWORD(HKEY_CURRENT_USER, Key, c.value, nullptr));
    }
    bool found = true;
    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_CURRENT_USER, "Software\\QOR\\Missing", "Number", &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_LOCAL_MACHINE, Key, "Number", &found));
    EXPECT_FALSE(found);
}

TEST_F(RegistryTest, SetStoresTheValueInTheNamedRootOnly)
{
    EXPECT_TRUE(Registry::Set_DWORD(HKEY_CURRENT_USER, Key, "Number", 7));
    EXPECT_EQ(std::string("4:\x07\0\0\0", 6), Stored(HKEY_CURRENT_USER, "Number"));
    EXPECT_TRUE(Registry::Set_DWORD(HKEY_CURRENT_USER, Key, "Number", 0x01020304));
    EXPECT_EQ("4:\x04\x03\x02\x01", Stored(HKEY_CURRENT_USER, "Number"));
    EXPECT_EQ("missing", Stored(HKEY_LOCAL_MACHINE, "Number"));

    EXPECT_TRUE(Registry::Set_String(HKEY_LOCAL_MACHINE, Key, "Path", "C:\\QOR\\landscape.xml"));
    EXPECT_EQ(std::string("1:C:\\QOR\\landscape.xml\0", 23), Stored(HKEY_LOCAL_MACHINE, "Path"));
    EXPECT_TRUE(Registry::Set_String(HKEY_LOCAL_MACHINE, Key, "Path", ""));
    EXPECT_EQ(std::string("1:\0", 3), Stored(HKEY_LOCAL_MACHINE, "Path"));
    EXPECT_EQ("missing", Stored(HKEY_CURRENT_USER, "Path"));
}
