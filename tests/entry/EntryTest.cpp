#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "FileSystem.h"
#include "MsXml.h"
#include "StartupFixture.h"

using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;
using TestSupport::EnvironmentVariable;
using TestSupport::Read_File;
using TestSupport::TraceTail;
using TestSupport::Write_File;

using namespace StartupFixture;
using ::testing::HasSubstr;

const auto* const g_trace =
    ::testing::AddGlobalTestEnvironment(new TestSupport::ProcessTrace(Start_Tracing_At_Level_4));

TEST_F(Startup, FirstStartMigratesLocallyAndRecordsTheCoreFile)
{
    TraceTail tail;
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    EXPECT_EQ(global, Registry_String(Options_Key, "CoreLandscapeFileOnServer"));
    EXPECT_TRUE(tail.Has(": Setting migration state to S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY. \r\n"));
    EXPECT_THAT(Read_File(user), HasSubstr("<Include index=\"0\" url=\"" + global + "\"/>"));
    EXPECT_THAT(Read_File(global), HasSubstr("name=\"PRD\" description=\"ERP Production\" "
                                             "host=\"prd-ms.example.com\" port=\"3600\""))
        << "the port from the services file below windir";
}

TEST_F(Startup, StateOneWithoutServerLandscapeDoesNothing)
{
    ASSERT_TRUE(Start());
    const std::string before = Read_File(user);
    TraceTail tail;
    EXPECT_FALSE(Start());
    EXPECT_EQ(1u, State());
    EXPECT_EQ(before, Read_File(user));
    EXPECT_TRUE(tail.Has(": No migration was necessary or has been performed.\r\n"));
}

TEST_F(Startup, StateOneWithAServerLandscapeSwitchesToCentral)
{
    ASSERT_TRUE(Start());
    Set_String(Options_Key, "ServerLandscapeFileName", "\\\\server\\qor\\core.xml");
    TraceTail tail;
    EXPECT_TRUE(Start());
    EXPECT_EQ(2u, State());
    EXPECT_TRUE(tail.Has(": S2_Switch_To_Central_Landscape's result: true\r\n"));
    EXPECT_THAT(Read_File(user), HasSubstr("url=\"\\\\server\\qor\\core.xml\""));
}

// A user landscape that includes nothing gets the server landscape as the
// include with index 0, the one the storage library reads as the server's.
TEST_F(Startup, StateOneWithoutAnIncludeGetsTheServerLandscapeAsIncludeZero)
{
    Set_DWORD(Qor_Key, "LandscapeMigrationState", 1);
    Write_File(user, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Landscape><Workspaces/></Landscape>\r\n");
    Set_String(Options_Key, "ServerLandscapeFileName", "\\\\server\\qor\\core.xml");
    EXPECT_TRUE(Start());
    EXPECT_EQ(2u, State());
    const std::string landscape = Read_File(user);
    EXPECT_THAT(landscape, HasSubstr("<Include index=\"0\" url=\"\\\\server\\qor\\core.xml\"/>"));
}

TEST_F(Startup, StateTwoIsFinal)
{
    Set_DWORD(Qor_Key, "LandscapeMigrationState", 2);
    Write_File(user, "<Landscape/>");
    TraceTail tail;
    EXPECT_FALSE(Start());
    EXPECT_EQ(2u, State());
    EXPECT_EQ("<Landscape/>", Read_File(user));
    EXPECT_TRUE(
        tail.Has(": Migration state is S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY. No migration is necessary.\r\n"));
}

TEST_F(Startup, AConfiguredServerLandscapeMakesTheFirstStepCentral)
{
    const std::string server = folder / "server-core.xml";
    Write_File(server, "<?xml version=\"1.0\"?>\n<Landscape/>\n");
    Set_String(Options_Key, "ServerLandscapeFileName", server);
    TraceTail tail;
    EXPECT_TRUE(Start());
    EXPECT_EQ(2u, State());
    EXPECT_TRUE(tail.Has(": Setting migration state to S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY. \r\n"));
    EXPECT_THAT(Read_File(user), HasSubstr("url=\"" + server + "\""));
    EXPECT_FALSE(TestSupport::Path_Exists(global)) << "no local shared landscape";
    EXPECT_EQ("", Registry_String(Options_Key, "CoreLandscapeFileOnServer"));
}

TEST_F(Startup, AGoneLocalCoreFileIsIgnoredAndTheStepIsLocalAgain)
{
    ASSERT_TRUE(Start());
    DeleteFileA(user.c_str());
    DeleteFileA(global.c_str());
    TraceTail tail;
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    EXPECT_TRUE(tail.Has(": no_shared_landscape_reg_setting: true, IgnoreCoreFile: " + global + " \r\n"));
}

TEST_F(Startup, AFileNamedByTheEnvironmentIsMigratedIntoWithStateFour)
{
    const std::string named = folder / "named\\mine.xml";
    SHCreateDirectoryExA(nullptr, (folder / "named").c_str(), nullptr);
    EnvironmentVariable variable("QORLOGON_LSXML", named.c_str());
    EXPECT_TRUE(Start());
    EXPECT_EQ(4u, State());
    EXPECT_THAT(Read_File(named), HasSubstr("name=\"ERP\""));
    EXPECT_THAT(Read_File(named), HasSubstr(folder / "named\\QORUILandscapeGlobal.xml"));
    TraceTail second;
    EXPECT_FALSE(Start()) << "the file exists now: no migration";
    EXPECT_TRUE(second.Has(": No migration for file >" + named +
                           "< defined by command parameter or envrionment variable.\r\n"));
}

TEST_F(Startup, AWebAddressNamedByTheEnvironmentIsNotMigrated)
{
    EnvironmentVariable variable("QORLOGON_LSXML", "http://landscape.example.com/mine.xml");
    TraceTail tail;
    EXPECT_FALSE(Start());
    EXPECT_EQ(0xFFFFFFFFu, State()) << "the state is untouched";
    EXPECT_TRUE(tail.Has(": No migration for file >http://landscape.example.com/mine.xml< defined by command parameter "
                         "or envrionment variable.\r\n"));
}

// The start-up host in a process of its own, with the landscape named on its
// command line: state 3. The child has the real registry of the test prefix,
// which is cleaned before and after.
TEST_F(Startup, AFileNamedOnTheCommandLineIsMigratedIntoWithStateThree)
{
    // The host sees the real hive, and so does this test from here on.
    const TestSupport::RealKeySetAside real("Software\\QOR");
    const std::string named = folder / "mine.xml";
    const TestSupport::ProcessResult result = TestSupport::Run_Program("logon_startup.exe", "\"/LSXML=" + named + "\"");
    EXPECT_THAT(result.output, HasSubstr("Execute_Landscape_Migration_Check: a migration step ran"));
    EXPECT_THAT(result.output, HasSubstr("Recorded migration state after:  3"));
    EXPECT_EQ(3u, State());
    EXPECT_THAT(Read_File(named), HasSubstr("name=\"ERP\""));
}

TEST_F(Startup, ADisabledLandscapeFormatStopsEverything)
{
    Set_DWORD(Options_Key, "LandscapeFormatEnabled", 0);
    TraceTail tail;
    EXPECT_FALSE(Start());
    EXPECT_EQ(0xFFFFFFFFu, State()) << "the state is not even read";
    EXPECT_FALSE(TestSupport::Path_Exists(user));
    EXPECT_TRUE(tail.Has(": Landscape is not enabled and configuration is not forced. No landscape migration will be "
                         "done.\r\n"));
}

TEST_F(Startup, AnXmlErrorOfAConverterReachesTheCaller)
{
    Write_File(global, "<Landscape><Messageservers><Messageserver host=\"no name\"/></Messageservers></Landscape>");
    const std::string directory = QOR::FrontEnd::Util::FileSystem::Get_Current_Directory();
    try {
        Execute_Landscape_Migration_Check();
        FAIL() << "no _com_error";
    } catch (const _com_error& error) {
        EXPECT_EQ(E_POINTER, error.Error());
    }
    EXPECT_EQ(directory, QOR::FrontEnd::Util::FileSystem::Get_Current_Directory()) << "the directory is put back";
}

TEST(UpdateMigrationStatus, FoldsOnlyReplaceableStatesAndTheDestinationWins)
{
    const CDM_INITIALIZATION_STATE source{5, CString("source text")};
    const CDM_INITIALIZATION_STATE destination{7, CString("destination text")};
    const CDM_INITIALIZATION_STATE nothing{0, CString("ignored")};
    int state = 1;
    CString description("host");
    Update_Migration_Status(source, destination, {0, 2}, &state, &description);
    EXPECT_EQ(1, state);
    EXPECT_STREQ("host", description);
    Update_Migration_Status(source, destination, {}, &state, &description);
    EXPECT_EQ(1, state);
    Update_Migration_Status(source, nothing, {1}, &state, &description);
    EXPECT_EQ(5, state);
    EXPECT_STREQ("source text", description);
    state = 1;
    Update_Migration_Status(source, destination, {3, 1}, &state, &description);
    EXPECT_EQ(7, state);
    EXPECT_STREQ("destination text", description);
}

TEST(GetMigrationState, OnlyZeroToFourAreStates)
{
    TestSupport::RegistrySandbox registry;
    EXPECT_EQ(0, Get_Migration_State());
    const struct
    {
        DWORD stored;
        int read;
    } values[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 0}, {7, 0}, {0xFFFFFFFF, 0}};
    for (const auto& value : values) {
        Set_DWORD(Qor_Key, "LandscapeMigrationState", value.stored);
        EXPECT_EQ(value.read, Get_Migration_State()) << value.stored;
    }
}

TEST(ExportTable, TheFiveFunctionsAndTheClassesAreExported)
{
    const HMODULE module = GetModuleHandleA("landscape_migration.dll");
    ASSERT_NE(nullptr, module);
    for (const char* function :
         {"Execute_Landscape_Migration_Check", "Execute_Landscape_Migration_Check_Internal",
          "Execute_Landscape_Migration_Check_Custom", "Update_Migration_Status", "Get_Migration_State"})
        EXPECT_NE(nullptr, GetProcAddress(module, function)) << function;
    // Class members by their names, whatever the mangling around them.
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    std::string names;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names += std::string(reinterpret_cast<const char*>(
                     base + reinterpret_cast<const DWORD*>(base + exports->AddressOfNames)[i])) +
                 " ";
    for (const char* member :
         {"17CMigrationChecker5Check", "17CMigrationChecker28GetSourceInitializationState",
          "17CMigrationChecker31FileDoesNotExistAndCanBeCreated", "14CMigrationTool12Do_Migration",
          "14CMigrationTool15Migrate_Folders", "20CMigrationToolConfig9To_String", "20CMigrationToolConfig8Is_Valid"})
        EXPECT_THAT(names, HasSubstr(member)) << member;
}
