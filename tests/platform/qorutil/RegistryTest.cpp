#include <gtest/gtest.h>

#include <string>

#include "Registry.h"
#include "TestSupport.h"

namespace Registry = QOR::FrontEnd::Util::Registry;

namespace {

const char* const Key = "Software\\QOR\\QORLogon\\Options";

// Values are prepared and inspected with the plain API, not with the code under test.
void Put(HKEY root, const char* value, DWORD type, const void* data, DWORD size)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(root, Key, value, type, data, size));
}

void Put_DWORD(HKEY root, const char* value, DWORD number) { Put(root, value, REG_DWORD, &number, sizeof(number)); }

void Put_String(HKEY root, const char* value, DWORD type, const std::string& text)
{
    Put(root, value, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

struct Stored
{
    LONG status = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::string data;
};

Stored Read(HKEY root, const char* key, const char* value)
{
    Stored stored;
    char data[512] = {};
    DWORD size = sizeof(data);
    stored.status = RegGetValueA(root, key, value, RRF_RT_ANY | RRF_NOEXPAND, &stored.type, data, &size);
    if (stored.status == ERROR_SUCCESS)
        stored.data.assign(data, size);
    return stored;
}

class RegistryTest : public ::testing::Test
{
protected:
    TestSupport::RegistrySandbox sandbox;
};

} // namespace

TEST_F(RegistryTest, GetDwordReadsAStoredNumber)
{
    Put_DWORD(HKEY_CURRENT_USER, "Number", 42);
    Put_DWORD(HKEY_CURRENT_USER, "Zero", 0);
    bool found = false;

    EXPECT_EQ(42u, Registry::Get_DWORD(HKEY_CURRENT_USER, Key, "Number", &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(42u, Registry::Get_DWORD(HKEY_CURRENT_USER, Key, "Number", nullptr));
    // A stored 0 is found, which is how callers tell it from a missing value.
    found = false;
    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_CURRENT_USER, Key, "Zero", &found));
    EXPECT_TRUE(found);
}

TEST_F(RegistryTest, GetDwordOfAMissingValueOrKeyIsZeroAndNotFound)
{
    Put_DWORD(HKEY_CURRENT_USER, "Number", 42);
    bool found = true;

    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_CURRENT_USER, Key, "Other", &found));
    EXPECT_FALSE(found);
    found = true;
    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_CURRENT_USER, "Software\\QOR\\Missing", "Number", &found));
    EXPECT_FALSE(found);
    // The machine's hive is a different place.
    found = true;
    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_LOCAL_MACHINE, Key, "Number", &found));
    EXPECT_FALSE(found);
    EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_LOCAL_MACHINE, Key, "Number", nullptr));
}

TEST_F(RegistryTest, GetDwordOfAnotherTypeIsZeroAndNotFound)
{
    const BYTE fourBytes[4] = {7, 0, 0, 0};
    const BYTE eightBytes[8] = {7, 0, 0, 0, 0, 0, 0, 0};
    Put_String(HKEY_CURRENT_USER, "Text", REG_SZ, "7");
    Put_String(HKEY_CURRENT_USER, "LongText", REG_SZ, "12345678");
    Put(HKEY_CURRENT_USER, "Binary", REG_BINARY, fourBytes, sizeof(fourBytes));
    Put(HKEY_CURRENT_USER, "Quad", REG_QWORD, eightBytes, sizeof(eightBytes));

    for (const char* value : {"Text", "LongText", "Binary", "Quad"}) {
        bool found = true;
        EXPECT_EQ(0u, Registry::Get_DWORD(HKEY_CURRENT_USER, Key, value, &found)) << value;
        EXPECT_FALSE(found) << value;
    }
}

TEST_F(RegistryTest, SetDwordCreatesTheKeyAndOverwrites)
{
    ASSERT_EQ(ERROR_FILE_NOT_FOUND, Read(HKEY_CURRENT_USER, Key, "Number").status);

    EXPECT_TRUE(Registry::Set_DWORD(HKEY_CURRENT_USER, Key, "Number", 7));
    Stored stored = Read(HKEY_CURRENT_USER, Key, "Number");
    ASSERT_EQ(ERROR_SUCCESS, stored.status);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored.type);
    EXPECT_EQ(std::string("\x07\0\0\0", 4), stored.data);

    EXPECT_TRUE(Registry::Set_DWORD(HKEY_CURRENT_USER, Key, "Number", 0x01020304));
    EXPECT_EQ(std::string("\x04\x03\x02\x01", 4), Read(HKEY_CURRENT_USER, Key, "Number").data);
    // Only the root that was named is written.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Read(HKEY_LOCAL_MACHINE, Key, "Number").status);
}

TEST_F(RegistryTest, SetStringCreatesTheKeyAndStoresTheTerminator)
{
    EXPECT_TRUE(Registry::Set_String(HKEY_LOCAL_MACHINE, Key, "Path", "C:\\QOR\\landscape.xml"));

    const Stored stored = Read(HKEY_LOCAL_MACHINE, Key, "Path");
    ASSERT_EQ(ERROR_SUCCESS, stored.status);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), stored.type);
    EXPECT_EQ(std::string("C:\\QOR\\landscape.xml\0", 21), stored.data);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Read(HKEY_CURRENT_USER, Key, "Path").status);

    EXPECT_TRUE(Registry::Set_String(HKEY_LOCAL_MACHINE, Key, "Path", ""));
    EXPECT_EQ(std::string("\0", 1), Read(HKEY_LOCAL_MACHINE, Key, "Path").data);
}

TEST_F(RegistryTest, GetStringReadsTextWithoutExpandingIt)
{
    Put_String(HKEY_CURRENT_USER, "Plain", REG_SZ, "C:\\QOR");
    Put_String(HKEY_CURRENT_USER, "Expandable", REG_EXPAND_SZ, "%APPDATA%\\QOR");
    // Stored without its terminator, as some writers do.
    Put(HKEY_CURRENT_USER, "Unterminated", REG_SZ, "abc", 3);
    Put_DWORD(HKEY_CURRENT_USER, "Number", 1);
    std::string text;

    EXPECT_TRUE(Registry::Get_String(HKEY_CURRENT_USER, Key, "Plain", text));
    EXPECT_EQ("C:\\QOR", text);
    EXPECT_TRUE(Registry::Get_String(HKEY_CURRENT_USER, Key, "Expandable", text));
    EXPECT_EQ("%APPDATA%\\QOR", text);
    EXPECT_TRUE(Registry::Get_String(HKEY_CURRENT_USER, Key, "Unterminated", text));
    EXPECT_EQ("abc", text);

    text = "stale";
    EXPECT_FALSE(Registry::Get_String(HKEY_CURRENT_USER, Key, "Number", text));
    EXPECT_EQ("", text);
    text = "stale";
    EXPECT_FALSE(Registry::Get_String(HKEY_CURRENT_USER, Key, "Missing", text));
    EXPECT_EQ("", text);
}
