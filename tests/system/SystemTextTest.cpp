// System strings in the ANSI code page (1252 in the test prefix): read whole
// through the wide calls, or refused when the code page cannot hold them.
#include <gtest/gtest.h>

#include <string>

#include "SystemText.h"

namespace SystemText = QOR::FrontEnd::SystemText;

namespace {

class SystemTextTest : public ::testing::Test
{
protected:
    void TearDown() override { SetEnvironmentVariableW(Name, nullptr); }
    static constexpr const wchar_t* Name = L"QOR_SYSTEM_TEXT_TEST";
};

} // namespace

TEST_F(SystemTextTest, AnEnvironmentVariableIsFoundMissingOrOutsideTheCodePage)
{
    std::string value = "untouched";
    EXPECT_EQ(SystemText::Status::Missing, SystemText::Environment_Variable("QOR_SYSTEM_TEXT_TEST", value));
    EXPECT_EQ("", value);

    SetEnvironmentVariableW(Name, L"");
    value = "untouched";
    EXPECT_EQ(SystemText::Status::Found, SystemText::Environment_Variable("QOR_SYSTEM_TEXT_TEST", value));
    EXPECT_EQ("", value);

    const std::wstring western = L"C:\\Users\\J\u00fcrgen " + std::wstring(400, L'x');
    SetEnvironmentVariableW(Name, western.c_str());
    EXPECT_EQ(SystemText::Status::Found, SystemText::Environment_Variable("QOR_SYSTEM_TEXT_TEST", value));
    EXPECT_EQ("C:\\Users\\J\xFCrgen " + std::string(400, 'x'), value) << "longer than MAX_PATH, whole";

    SetEnvironmentVariableW(Name, L"C:\\Users\\\u80fd\u767b");
    value = "untouched";
    EXPECT_EQ(SystemText::Status::Not_In_Code_Page, SystemText::Environment_Variable("QOR_SYSTEM_TEXT_TEST", value));
    EXPECT_EQ("", value);
}

// Neither '?' nor a "best fit" look-alike passes for the real character.
TEST_F(SystemTextTest, ATextIsConvertedOnlyWhenTheCodePageHoldsItExactly)
{
    ASSERT_EQ(1252u, GetACP());
    std::string ansi = "untouched";
    EXPECT_TRUE(SystemText::To_Ansi(L"Stra\u00dfe \u20ac", ansi));
    EXPECT_EQ("Stra\xDF"
              "e \x80",
              ansi);
    EXPECT_FALSE(SystemText::To_Ansi(L"\u0141\u00f3d\u017a", ansi)) << "Polish letters best-fit to L, o, d, z";
    EXPECT_EQ("", ansi);
    EXPECT_FALSE(SystemText::To_Ansi(L"\u80fd", ansi));
    EXPECT_EQ(L"Stra\u00dfe \u20ac", SystemText::From_Ansi("Stra\xDF"
                                                           "e \x80"));
}
