// System strings in the ANSI code page (1252 in the test prefix): read whole
// through the wide calls, or refused when the code page cannot hold them.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "SystemText.h"
#include "TestSupport.h"

namespace SystemText = QOR::FrontEnd::SystemText;
using SystemText::Status;
using ::testing::PrintToString;

TEST(SystemText, AnEnvironmentVariableIsFoundMissingOrOutsideTheCodePage)
{
    const TestSupport::EnvironmentVariable putBack("QOR_SYSTEM_TEXT_TEST", nullptr);
    const std::wstring western = L"C:\\Users\\J\u00fcrgen " + std::wstring(400, L'x'); // longer than MAX_PATH
    const std::tuple<const wchar_t*, Status, std::string> rows[] = {
        {nullptr, Status::Missing, ""},
        {L"", Status::Found, ""},
        {western.c_str(), Status::Found, "C:\\Users\\J\xFCrgen " + std::string(400, 'x')},
        {L"C:\\Users\\\u80fd\u767b", Status::Not_In_Code_Page, ""}};
    for (const auto& [set, status, expected] : rows) {
        SetEnvironmentVariableW(L"QOR_SYSTEM_TEXT_TEST", set);
        std::string value = "untouched";
        EXPECT_EQ(status, SystemText::Environment_Variable("QOR_SYSTEM_TEXT_TEST", value)) << PrintToString(set);
        EXPECT_EQ(expected, value) << PrintToString(set);
    }
}

// Neither '?' nor a "best fit" look-alike passes for the real character.
// (\337 and \200 are the code page's sharp s and euro sign.)
TEST(SystemText, ATextIsConvertedOnlyWhenTheCodePageHoldsItExactly)
{
    ASSERT_EQ(1252u, GetACP());
    const std::tuple<std::wstring, bool, std::string> rows[] = {
        {L"Stra\u00dfe \u20ac", true, "Stra\337e \200"},
        {L"\u0141\u00f3d\u017a", false, ""}, // Polish letters best-fit to L, o, d, z
        {L"\u80fd", false, ""}};
    for (const auto& [text, held, expected] : rows) {
        std::string ansi = "untouched";
        EXPECT_EQ(held, SystemText::To_Ansi(text, ansi)) << PrintToString(text);
        EXPECT_EQ(expected, ansi) << PrintToString(text);
    }
    EXPECT_EQ(L"Stra\u00dfe \u20ac", SystemText::From_Ansi("Stra\337e \200"));
}
