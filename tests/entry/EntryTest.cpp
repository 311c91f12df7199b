#include <comdef.h>
#include <shlobj.h>

#include <tuple>
#include <utility>

#include "Caller.h"
#include "FileSystem.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using namespace TestSupport;
using ::testing::HasSubstr;

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(new ProcessTrace(Start_Tracing_At_Level_4));

namespace {

const std::string Server = "\\\\server\\qor\\core.xml";

// One start-up call: what it returns, the state it leaves recorded and a piece of what it traces.
void Expect_Start_(const Caller& at, Profile& profile, bool migrated, DWORD state, const std::string& traced)
{
    const TraceTail tail;
    EXPECT_AT(at, profile.Start() == migrated) << "the call reports " << !migrated;
    EXPECT_AT(at, profile.State() == state) << "the recorded state is " << profile.State();
    EXPECT_AT(at, tail.Has(traced)) << tail.Has(traced).message();
}
#define Expect_Start(...) Expect_Start_(HERE, *this, __VA_ARGS__)

} // namespace

TEST_F(Startup, FirstStartMigratesIntoALocalSharedLandscape)
{
    Expect_Start(true, 1, ": Setting migration state to S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY. \r\n");
    EXPECT_EQ(global, Registry_String(Options_Key, "CoreLandscapeFileOnServer"));
    EXPECT_THAT(Read_File(user), HasSubstr("<Include index=\"0\" url=\"" + global + "\"/>"));
    EXPECT_THAT(Read_File(global), HasSubstr("name=\"PRD\" description=\"ERP Production\" "
                                             "host=\"prd-ms.example.com\" port=\"3600\""))
        << "the port from the services file below windir";
}

// After the first start (state 1) only a configured server landscape moves the
// state on, to the central state 2, which is final.
TEST_F(Startup, AfterTheFirstStartOnlyAServerLandscapeMovesTheStateOn)
{
    ASSERT_TRUE(Start());
    const std::string local = Read_File(user);
    Expect_Start(false, 1, ": No migration was necessary or has been performed.\r\n");
    EXPECT_EQ(local, Read_File(user));
    Set_String(Options_Key, "ServerLandscapeFileName", Server);
    Expect_Start(true, 2, ": S2_Switch_To_Central_Landscape's result: true\r\n");
    const std::string central = Read_File(user);
    EXPECT_THAT(central, HasSubstr("url=\"" + Server + "\""));
    Expect_Start(false, 2,
                 ": Migration state is S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY. No migration is necessary.\r\n");
    EXPECT_EQ(central, Read_File(user));
}

// A user landscape that includes nothing gets the server landscape as the
// include with index 0, the one the storage library reads as the server's.
TEST_F(Startup, StateOneWithoutAnIncludeGetsTheServerLandscapeAsIncludeZero)
{
    Set_DWORD(Qor_Key, "LandscapeMigrationState", 1);
    Write_File(user, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Landscape><Workspaces/></Landscape>\r\n");
    Set_String(Options_Key, "ServerLandscapeFileName", Server);
    Expect_Start(true, 2, ": S2_Switch_To_Central_Landscape's result: true\r\n");
    EXPECT_THAT(Read_File(user), HasSubstr("<Include index=\"0\" url=\"" + Server + "\"/>"));
}

TEST_F(Startup, AConfiguredServerLandscapeMakesTheFirstStepCentral)
{
    const std::string server = folder / "server-core.xml";
    Write_File(server, "<?xml version=\"1.0\"?>\n<Landscape/>\n");
    Set_String(Options_Key, "ServerLandscapeFileName", server);
    Expect_Start(true, 2, ": Setting migration state to S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY. \r\n");
    EXPECT_THAT(Read_File(user), HasSubstr("url=\"" + server + "\""));
    EXPECT_FALSE(Path_Exists(global)) << "no local shared landscape";
    EXPECT_EQ("", Registry_String(Options_Key, "CoreLandscapeFileOnServer"));
}

// The recorded core file is gone with the landscapes: the step is local again.
TEST_F(Startup, AGoneLocalCoreFileIsIgnored)
{
    ASSERT_TRUE(Start());
    DeleteFileA(user.c_str());
    DeleteFileA(global.c_str());
    Expect_Start(true, 1, ": no_shared_landscape_reg_setting: true, IgnoreCoreFile: " + global + " \r\n");
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
    // The file exists now: no migration.
    Expect_Start(false, 4,
                 ": No migration for file >" + named + "< defined by command parameter or envrionment variable.\r\n");
}

// The state is left untouched.
TEST_F(Startup, AWebAddressNamedByTheEnvironmentIsNotMigrated)
{
    EnvironmentVariable variable("QORLOGON_LSXML", "http://landscape.example.com/mine.xml");
    Expect_Start(false, 0xFFFFFFFF,
                 ": No migration for file >http://landscape.example.com/mine.xml< defined by command parameter "
                 "or envrionment variable.\r\n");
}

// The start-up host in a process of its own, with the landscape named on its
// command line: state 3. The child has the real registry of the test prefix,
// which is cleaned before and after.
TEST_F(Startup, AFileNamedOnTheCommandLineIsMigratedIntoWithStateThree)
{
    // The host sees the real hive, and so does this test from here on.
    const RealKeySetAside real("Software\\QOR");
    const std::string named = folder / "mine.xml";
    const ProcessResult result = Run_Program("logon_startup.exe", "\"/LSXML=" + named + "\"");
    EXPECT_THAT(result.output, HasSubstr("Execute_Landscape_Migration_Check: a migration step ran"));
    EXPECT_THAT(result.output, HasSubstr("Recorded migration state after:  3"));
    EXPECT_EQ(3u, State());
    EXPECT_THAT(Read_File(named), HasSubstr("name=\"ERP\""));
}

// The state is not even read.
TEST_F(Startup, ADisabledLandscapeFormatStopsEverything)
{
    Set_DWORD(Options_Key, "LandscapeFormatEnabled", 0);
    Expect_Start(
        false, 0xFFFFFFFF,
        ": Landscape is not enabled and configuration is not forced. No landscape migration will be done.\r\n");
    EXPECT_FALSE(Path_Exists(user));
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

// The host's state is replaced only when it is one of the replaceable ones, and
// then by the last record that has a state: the destination's before the source's.
TEST(UpdateMigrationStatus, AReplaceableStateTakesTheLastRecordWithAState)
{
    const CDM_INITIALIZATION_STATE source{5, CString("source text")}, destination{7, CString("destination text")},
        nothing{0, CString("ignored")};
    // The destination record, the replaceable states, and what the host's state 1 and "host" become.
    const std::tuple<const CDM_INITIALIZATION_STATE*, std::vector<int>, int, const char*> cases[] = {
        {&destination, {0, 2}, 1, "host"},
        {&destination, {}, 1, "host"},
        {&nothing, {1}, 5, "source text"},
        {&destination, {3, 1}, 7, "destination text"}};
    for (const auto& [record, replaceable, state, description] : cases) {
        int host_state = 1;
        CString host_description("host");
        Update_Migration_Status(source, *record, replaceable, &host_state, &host_description);
        EXPECT_EQ(state, host_state) << "replaceable " << ::testing::PrintToString(replaceable);
        EXPECT_STREQ(description, host_description) << "replaceable " << ::testing::PrintToString(replaceable);
    }
}

TEST(GetMigrationState, OnlyZeroToFourAreStates)
{
    RegistrySandbox registry;
    EXPECT_EQ(0, Get_Migration_State());
    const std::pair<DWORD, int> values[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 0}, {7, 0}, {0xFFFFFFFF, 0}};
    for (const auto& [stored, read] : values) {
        Set_DWORD(Qor_Key, "LandscapeMigrationState", stored);
        EXPECT_EQ(read, Get_Migration_State()) << stored;
    }
}

// The five functions by their exact names, the class members by their names
// whatever the mangling around them.
TEST(ExportTable, EveryNameTheClientCallsIsExported)
{
    const HMODULE module = GetModuleHandleA("landscape_migration.dll");
    ASSERT_NE(nullptr, module);
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::string listed = " ";
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        listed += std::string(reinterpret_cast<const char*>(base + names[i])) + " ";
    for (const char* name :
         {" Execute_Landscape_Migration_Check ", " Execute_Landscape_Migration_Check_Internal ",
          " Execute_Landscape_Migration_Check_Custom ", " Update_Migration_Status ", " Get_Migration_State ",
          "17CMigrationChecker5Check", "17CMigrationChecker28GetSourceInitializationState",
          "17CMigrationChecker31FileDoesNotExistAndCanBeCreated", "14CMigrationTool12Do_Migration",
          "14CMigrationTool15Migrate_Folders", "20CMigrationToolConfig9To_String", "20CMigrationToolConfig8Is_Valid"})
        EXPECT_THAT(listed, HasSubstr(name));
}
