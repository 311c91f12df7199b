#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CQorLogonIni.h"

namespace {

struct Parsed
{
    CQorLogonIni ini;
    std::vector<std::string> warnings; // "line: text"
};

Parsed Parse(const std::string& text)
{
    Parsed parsed;
    parsed.ini.Parse(text, [&parsed](int line, const std::string& warning) {
        parsed.warnings.push_back(std::to_string(line) + ": " + warning);
    });
    return parsed;
}

std::vector<std::string> Keys(const CQorLogonIni& ini, const std::vector<size_t>& folders)
{
    std::vector<std::string> keys;
    for (size_t index : folders)
        keys.push_back(ini.Folder_At(index).key.GetString());
    return keys;
}

bool Has_Warning(const Parsed& parsed, const std::string& piece)
{
    for (const std::string& warning : parsed.warnings)
        if (warning.find(piece) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST(CQorLogonIni, BlanksAroundNamesAndValuesAreDroppedAndCrLfAccepted)
{
    const Parsed parsed = Parse("[Folder  A ]\r\n  Name =  Main folder \t\r\nExpanded=1\r\n"
                                "[connection C]\r\nFolder=A\r\n SystemID = PRD\r\nName=C\r\nPath = C:\\x y\\");
    ASSERT_NE(nullptr, parsed.ini.Find_Folder("A"));
    EXPECT_STREQ("Main folder", parsed.ini.Find_Folder("A")->name);
    EXPECT_TRUE(parsed.ini.Find_Folder("A")->expanded);
    const CQorLogonIni::Entry* entry = parsed.ini.Find_Entry("C");
    ASSERT_NE(nullptr, entry) << "section words are not case-sensitive";
    ASSERT_EQ(2u, entry->properties.size());
    EXPECT_STREQ("SystemID", entry->properties[0].first);
    EXPECT_STREQ("PRD", entry->properties[0].second);
    EXPECT_STREQ("C:\\x y\\", entry->properties[1].second) << "a last line without line feed counts";
    EXPECT_TRUE(parsed.warnings.empty());
}

TEST(CQorLogonIni, MalformedLinesAreReportedWithTheirNumberAndSkipped)
{
    const Parsed parsed = Parse("orphan=1\n"          // 1: before any section
                                "[Folder A]\n"         // 2
                                "no equals sign\n"     // 3
                                "=value\n"             // 4
                                "Colour=blue\n"        // 5: unknown folder value
                                "Expanded=yes\n"       // 6: not a flag
                                "[Gadget G]\n"         // 7: unknown section
                                "Name=ignored\n"       // 8
                                "[Folder]\n"           // 9: no key
                                "[Folder B\n"          // 10: no ]
                                "Name=lost\n");        // 11
    EXPECT_TRUE(Has_Warning(parsed, "1: value outside any section"));
    EXPECT_TRUE(Has_Warning(parsed, "3: line is not of the form name=value"));
    EXPECT_TRUE(Has_Warning(parsed, "4: line is not of the form name=value"));
    EXPECT_TRUE(Has_Warning(parsed, "5: unknown folder setting 'Colour'"));
    EXPECT_TRUE(Has_Warning(parsed, "6: flag value 'yes' is neither 0 nor 1"));
    EXPECT_TRUE(Has_Warning(parsed, "7: unknown section [Gadget G]"));
    EXPECT_TRUE(Has_Warning(parsed, "9: section [Folder] has no key"));
    EXPECT_TRUE(Has_Warning(parsed, "10: section header without ']'"));
    EXPECT_EQ(8u, parsed.warnings.size());
    EXPECT_EQ(1u, parsed.ini.Folder_Count());
    EXPECT_FALSE(parsed.ini.Find_Folder("A")->expanded);
    EXPECT_EQ(0u, parsed.ini.Entry_Count());
}

TEST(CQorLogonIni, ADuplicateKeyKeepsTheFirstSection)
{
    const Parsed parsed = Parse("[Folder K]\nName=first\n[Connection K]\nName=second\n[Folder K]\nName=third\n");
    EXPECT_STREQ("first", parsed.ini.Find_Folder("K")->name);
    EXPECT_EQ(nullptr, parsed.ini.Find_Entry("K"));
    EXPECT_TRUE(Has_Warning(parsed, "3: key 'K' is used twice"));
    EXPECT_TRUE(Has_Warning(parsed, "5: key 'K' is used twice"));
}

TEST(CQorLogonIni, DanglingParentsAndCyclesEndAtTheTopInFileOrder)
{
    const Parsed parsed = Parse("[Folder A]\nParent=MISSING\n"
                                "[Folder B]\nParent=C\n[Folder C]\nParent=B\n"
                                "[Folder D]\n[Folder E]\nParent=D\n"
                                "[Connection X]\nFolder=NOWHERE\nName=x\n[Link L]\nFolder=D\n");
    EXPECT_EQ((std::vector<std::string>{"A", "D", "B"}), Keys(parsed.ini, parsed.ini.Top_Folders()));
    EXPECT_EQ((std::vector<std::string>{"C"}), Keys(parsed.ini, parsed.ini.Find_Folder("B")->folders));
    EXPECT_EQ((std::vector<std::string>{"E"}), Keys(parsed.ini, parsed.ini.Find_Folder("D")->folders));
    EXPECT_TRUE(parsed.ini.Find_Folder("A")->parent.IsEmpty());
    EXPECT_TRUE(parsed.ini.Find_Entry("X")->folder.IsEmpty());
    EXPECT_EQ(1u, parsed.ini.Top_Entries().size());
    EXPECT_TRUE(Has_Warning(parsed, "folder 'A' names the unknown parent 'MISSING'"));
    EXPECT_TRUE(Has_Warning(parsed, "folder 'B' is its own ancestor"));
    EXPECT_TRUE(Has_Warning(parsed, "entry 'X' names the unknown folder 'NOWHERE'"));
    EXPECT_TRUE(Has_Warning(parsed, "link 'L' has no Target"));
}

TEST(CQorLogonIni, LoneCarriageReturnsEndLines)
{
    const Parsed parsed = Parse("[Folder A]\rName=First\r\r[Folder B]\rParent=A\r\nName=Second\n");
    ASSERT_NE(nullptr, parsed.ini.Find_Folder("B"));
    EXPECT_STREQ("First", parsed.ini.Find_Folder("A")->name);
    EXPECT_STREQ("A", parsed.ini.Find_Folder("B")->parent);
    EXPECT_STREQ("Second", parsed.ini.Find_Folder("B")->name);
    EXPECT_TRUE(parsed.warnings.empty());
}

TEST(CQorLogonIni, TheClientsTwoParametersReadEmptyWhenUnset)
{
    const Parsed parsed = Parse("[Folder A]\n");
    for (const char* known : {"SystemStatusURL", "SingleSystemStatusURL"}) {
        CString value("stale");
        EXPECT_TRUE(parsed.ini.Find_Parameter(known, value)) << known;
        EXPECT_TRUE(value.IsEmpty()) << known;
    }
    CString value;
    EXPECT_FALSE(parsed.ini.Find_Parameter("OtherParameter", value));
    EXPECT_FALSE(parsed.ini.Find_Parameter("systemstatusurl", value)) << "names are case-sensitive";
}

// Level 201 and below of a chain of 450 start over at the top: 1-200, 201-400, 401-450.
TEST(CQorLogonIni, FoldersDeeperThanTwoHundredLevelsMoveToTheTop)
{
    std::string chain;
    for (int i = 1; i <= 450; ++i)
        chain += "[Folder F" + std::to_string(i) + "]\nParent=F" + std::to_string(i - 1) + "\n";
    const Parsed parsed = Parse(chain);
    EXPECT_EQ((std::vector<std::string>{"F1", "F201", "F401"}), Keys(parsed.ini, parsed.ini.Top_Folders()));
    EXPECT_TRUE(parsed.ini.Find_Folder("F200")->folders.empty());
    EXPECT_TRUE(parsed.ini.Find_Folder("F201")->parent.IsEmpty());
    EXPECT_EQ((std::vector<std::string>{"F202"}), Keys(parsed.ini, parsed.ini.Find_Folder("F201")->folders));
    EXPECT_TRUE(Has_Warning(parsed, "folder 'F401' is nested deeper than 200 levels; it is placed at the top"));
}

TEST(CQorLogonIni, ValuesSetTwiceKeepTheLaterOne)
{
    const Parsed parsed = Parse("[Parameters]\nSystemStatusURL=a\nSystemStatusURL=b\n"
                                "[Connection C]\nClient=100\nClient=200\n");
    CString value;
    ASSERT_TRUE(parsed.ini.Find_Parameter("SystemStatusURL", value));
    EXPECT_STREQ("b", value);
    ASSERT_EQ(1u, parsed.ini.Find_Entry("C")->properties.size());
    EXPECT_STREQ("200", parsed.ini.Find_Entry("C")->properties[0].second);
    EXPECT_EQ(2u, parsed.warnings.size());
}

// Whatever the bytes, reading ends and every folder stays reachable from the top.
TEST(CQorLogonIni, HostileInputNeverBreaksTheTree)
{
    std::mt19937 random(12345);
    const std::string alphabet = "[]=\r\n \tFolderConnectionLinkParentABC;#\x01\xff";
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const size_t length = random() % 2000;
        for (size_t i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        const Parsed parsed = Parse(text);
        size_t reachable = 0;
        std::vector<size_t> pending = parsed.ini.Top_Folders();
        while (!pending.empty() && reachable <= parsed.ini.Folder_Count()) {
            const size_t index = pending.back();
            pending.pop_back();
            ++reachable;
            for (size_t child : parsed.ini.Folder_At(index).folders)
                pending.push_back(child);
        }
        EXPECT_EQ(parsed.ini.Folder_Count(), reachable) << "round " << round;
    }
    const Parsed longLine = Parse("[Folder A]\nName=" + std::string(1 << 20, 'x'));
    EXPECT_EQ(1 << 20, longLine.ini.Find_Folder("A")->name.GetLength());
}
