// A user whose profile folder is named outside ASCII, on the ANSI code page that
// the process runs with (ctest runs this program under Wine with LANG set for
// code pages 932 and 1251, and without for 1252). In code page 932 such a name
// is longer in ANSI than in UTF-16, which is where narrow system calls cut it.
// The folders are made and named with the wide calls, as Windows makes them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Handles.h"
#include "LandscapeMigration.h"
#include "ProcessTrace.h"
#include "StartupFixture.h"
#include "TestSupport.h"

using namespace StartupFixture;
using ::testing::HasSubstr;
using TestSupport::Decoded;
using TestSupport::Encoded;
using TestSupport::Files_In;
using TestSupport::Read_File;
using TestSupport::Utf8;
using TestSupport::Write_File;

namespace {

const auto* const g_trace =
    ::testing::AddGlobalTestEnvironment(new TestSupport::ProcessTrace(Start_Tracing_At_Level_4));

struct CodePage
{
    UINT number;
    const wchar_t* user;    // a folder name the code page holds
    const wchar_t* foreign; // a character it does not
};

const CodePage Code_Pages[] = {
    {932, L"\u80fd\u767b \u8868", L"\u0e01"},                                            // Japanese; Thai is foreign
    {1251, L"\u0418\u0432\u0430\u043d \u041f\u0435\u0442\u0440\u043e\u0432", L"\u80fd"}, // Cyrillic
    {1252, L"J\u00fcrgen Gro\u00df", L"\u80fd"},                                         // Western
};

const CodePage* This_Code_Page()
{
    for (const CodePage& page : Code_Pages)
        if (page.number == GetACP())
            return &page;
    return nullptr;
}

std::wstring Registry_String(const wchar_t* key, const wchar_t* value)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    return RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS
               ? data
               : L"<missing>";
}

// The sample profile below <scratch>\<user folder name>.
class NonAsciiUser : public ::testing::Test
{
protected:
    void SetUp() override
    {
        page = This_Code_Page();
        const char* expected = std::getenv("EXPECTED_CODE_PAGE");
        if (expected && std::atoi(expected) != static_cast<int>(GetACP())) {
            const std::string why = "the process runs with code page " + std::to_string(GetACP()) + ", not " +
                                    expected +
                                    ": the locale that Wine takes it from is not installed "
                                    "(scripts/setup generates ja_JP.UTF-8 and ru_RU.UTF-8)";
            if (const char* required = std::getenv("LANDSCAPE_REQUIRE_FAULTS"); required && *required == '1')
                FAIL() << why;
            GTEST_SKIP() << why;
        }
        ASSERT_NE(nullptr, page) << "no user folder name for code page " << GetACP();
        root = Decoded(scratch.Path(), CP_ACP) + L"\\" + page->user;
        const std::wstring sample = Decoded(TestSupport::Program_Folder(), CP_ACP) + L"\\sample\\";
        for (const wchar_t* sub : {L"AppData\\QOR\\Common", L"AppData\\QOR\\TEDU", L"ProgramData\\QOR\\TEDU",
                                   L"Windows\\System32\\drivers\\etc"})
            ASSERT_EQ(ERROR_SUCCESS, SHCreateDirectoryExW(nullptr, (root + L"\\" + sub).c_str(), nullptr)) << sub;
        for (const char* file : Profile::Sample_Files)
            ASSERT_TRUE(CopyFileW((sample + Decoded(file, CP_ACP)).c_str(),
                                  (root + L"\\" + Decoded(file, CP_ACP)).c_str(), FALSE))
                << file;
        Give_The_Old_Files_Text_Of_The_Code_Page();
        variables.emplace_back(new TestSupport::EnvironmentVariable(L"APPDATA", root + L"\\AppData"));
        variables.emplace_back(new TestSupport::EnvironmentVariable(L"ProgramData", root + L"\\ProgramData"));
        variables.emplace_back(new TestSupport::EnvironmentVariable(L"windir", root + L"\\Windows"));
    }

    // A connection and a message-server description named in the code page, as
    // the old files hold them: ANSI bytes.
    void Give_The_Old_Files_Text_Of_The_Code_Page()
    {
        const std::wstring ini = root + L"\\AppData\\QOR\\Common\\qorlogon.ini";
        Write_File(ini, Read_File(ini) + "\n[Connection C-CP]\nName=" + Encoded(page->user, CP_ACP) +
                            "\nFolder=F-PROD\nSystemID=PRD\n");
        const std::wstring qormsg = root + L"\\Windows\\qormsg.ini";
        std::string servers = Read_File(qormsg);
        servers.replace(servers.find("[Descriptions]"), 14, "[Descriptions]\nTRN=" + Encoded(page->user, CP_ACP));
        Write_File(qormsg, servers);
    }

    bool Start()
    {
        CDM_INITIALIZATION_STATE source, destination;
        return Execute_Landscape_Migration_Check_Internal(&source, &destination, 4);
    }

    const CodePage* page = nullptr;
    TestSupport::RegistrySandbox registry;
    TestSupport::ScratchDirectory scratch;
    std::wstring root;
    std::vector<std::unique_ptr<TestSupport::EnvironmentVariable>> variables;
};

} // namespace

TEST_F(NonAsciiUser, IsMigratedFromTheRealFileIntoTheRealFolder)
{
    const std::wstring common = root + L"\\AppData\\QOR\\Common";
    const std::wstring global = common + L"\\QORUILandscapeGlobal.xml";
    const std::string old_file = Read_File(common + L"\\qorlogon.ini");
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, Registry_DWORD(Qor_Key, "LandscapeMigrationState"));
    EXPECT_EQ(Utf8(global), Utf8(Registry_String(L"Software\\QOR\\QORLogon\\Options", L"CoreLandscapeFileOnServer")));
    const std::string landscape = Read_File(common + L"\\QORUILandscape.xml");
    EXPECT_THAT(landscape, HasSubstr("name=\"ERP Quality (QAS)\""))
        << "a connection of the sample in the user landscape of " << Utf8(common);
    EXPECT_THAT(landscape, HasSubstr("<Include index=\"0\" url=\"" + Utf8(global) + "\"/>"))
        << "the user landscape includes " << Utf8(global);
    EXPECT_THAT(landscape, HasSubstr("name=\"" + Utf8(page->user) + "\""))
        << "the connection named in code page " << GetACP() << " arrives as " << Utf8(page->user);
    EXPECT_THAT(Read_File(global), HasSubstr("name=\"TRN\" description=\"" + Utf8(page->user) + "\""))
        << "the description of qormsg.ini arrives as " << Utf8(page->user);
    EXPECT_EQ(old_file, Read_File(common + L"\\qorlogon.ini"));
    const std::vector<std::wstring> beside = Files_In(root);
    EXPECT_EQ(3u, beside.size()) << "AppData, ProgramData and Windows, and no folder of a cut name: "
                                 << ::testing::PrintToString(beside);
}

TEST_F(NonAsciiUser, AFolderTheCodePageCannotNameStopsTheStartBeforeItWritesAnything)
{
    const std::wstring elsewhere = root + L"\\AppData" + page->foreign;
    TestSupport::EnvironmentVariable appData(L"APPDATA", elsewhere);
    const TestSupport::TraceTail trace;
    EXPECT_FALSE(Start());
    EXPECT_EQ(0xFFFFFFFFu, Registry_DWORD(Qor_Key, "LandscapeMigrationState")) << "no state is recorded";
    EXPECT_EQ(1u, Files_In(root + L"\\AppData\\QOR\\Common").size()) << "only qorlogon.ini";
    EXPECT_EQ(3u, Files_In(root).size()) << ::testing::PrintToString(Files_In(root));
    const std::string expected = "The environment variable APPDATA names a path that the ANSI code page " +
                                 std::to_string(GetACP()) + " cannot hold.";
    EXPECT_TRUE(trace.Has_Line("***ERROR***: ", expected));
}
