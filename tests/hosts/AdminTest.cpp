// The administrator's commands of landscape_migrate.exe, run as the real
// programs in processes of their own. Those see the real registry of the test
// prefix, whose QOR key each test sets aside and puts back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "Caller.h"
#include "Handles.h"
#include "StartupFixture.h"

using TestSupport::Count;
using TestSupport::Read_File;
using TestSupport::Run_Program;
using namespace StartupFixture;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The user's own folder of the connection tree the start-up host shows.
std::string Local_Tree(std::string output)
{
    output = std::regex_replace(output, std::regex("\r"), "") + "  + "; // the host ends its lines
    const size_t local = output.find("\n  + Local/");
    return local == std::string::npos ? "" : output.substr(local, output.find("\n  + ", local + 1) - local);
}

} // namespace

class Administrator : public ::testing::Test, protected Profile
{
protected:
    // The programs see the real registry of the test prefix, and so does this
    // process from here on; the user's key is set aside and put back after.
    TestSupport::RealKeySetAside qorKey{"Software\\QOR"};

    // The sample with an empty folder more, migrated by the client's first start.
    void Migrate_Sample(const TestSupport::Caller& at)
    {
        TestSupport::Write_File(ini, Read_File(ini) + "\r\n[Folder F-EMPTY]\r\nName=Empty\r\nParent=F-PROD\r\n");
        const std::string output = Run_Program("logon_startup.exe", "").output;
        EXPECT_AT(at, output.find("a migration step ran") != std::string::npos) << output;
    }
    TestSupport::ProcessResult Verify()
    {
        return Run_Program("landscape_migrate.exe", "--verify --report " + Quoted(report));
    }

    // Each report is kept for report_schema, which checks it against
    // docs/report.schema.json (this program cannot run Python).
    void TearDown() override
    {
        const char* kept = std::getenv("REPORTS_TO_CHECK");
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".json";
        std::replace(name.begin(), name.end(), '/', '_');
        if (kept && TestSupport::Path_Exists(report))
            TestSupport::Write_File(std::string(kept) + "\\" + name, Read_File(report));
    }

    std::string report = folder / "report.json";
};

TEST_F(Administrator, AFreshMigrationVerifiesWithEveryFolderAndEntryAccountedFor)
{
    Migrate_Sample(HERE);
    const TestSupport::ProcessResult result = Verify();
    EXPECT_EQ(0u, result.exitCode) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Every folder and entry of the old file is accounted for."));
    EXPECT_THAT(Read_File(report), HasSubstr("\"result\": \"migrated\", \"seconds\": "));
    EXPECT_THAT(Read_File(report), HasSubstr("\"folders\": 5, \"entries\": 4, \"skipped\": 1, "
                                             "\"left_out\": 2,\n     \"problems\": []"));
}

TEST_F(Administrator, VerifyNamesExactlyTheItemPropertyAndFolderRemovedFromTheLandscape)
{
    Migrate_Sample(HERE);
    std::string landscape = Read_File(user);
    for (const char* removed :
         {"<Item uuid=\"C-QAS\" serviceid=\"C-QAS\"/>", "<Property name=\"Language\" value=\"EN\"/>",
          "<Node uuid=\"[^\"]+\" name=\"Empty\" expanded=\"0\"/>"}) {
        const std::string before = landscape;
        landscape = std::regex_replace(landscape, std::regex(removed), "");
        ASSERT_NE(before, landscape) << removed;
    }
    TestSupport::Write_File(user, landscape);
    const TestSupport::ProcessResult result = Verify();
    EXPECT_EQ(1u, result.exitCode);
    EXPECT_THAT(result.output, HasSubstr("missing   folder F-EMPTY 'Empty': no folder 'Empty' in the landscape"));
    EXPECT_THAT(result.output, HasSubstr("missing   entry  C-QAS 'ERP Quality (QAS)': not in the landscape"));
    EXPECT_THAT(result.output, HasSubstr("different entry  C-PRD 'ERP Production (PRD)': property "
                                         "Language: 'EN' in the old file, none in the landscape"));
    EXPECT_EQ(3u, Count(result.output, "\n  missing ") + Count(result.output, "\n  different "));
    EXPECT_EQ(3u, Count(Read_File(report), "\"reason\"")) << Read_File(report);
}

// The parameter: a state and a core landscape file were recorded before.
class Simulation : public Administrator, public ::testing::WithParamInterface<bool>
{};

TEST_P(Simulation, LeavesNoFileAndNoRecordSoThatTheNextStartMigrates)
{
    if (GetParam()) {
        Set_DWORD(Qor_Key, "LandscapeMigrationState", 0);
        Set_String(Options_Key, "CoreLandscapeFileOnServer", global);
    }
    const TestSupport::ProcessResult result = Run_Program("landscape_migrate.exe", "--simulate");
    EXPECT_EQ(0u, result.exitCode) << result.output;
    EXPECT_THAT(result.output, HasSubstr("Migration state: 0 (not started yet) before, 0 (not started yet) after"));
    EXPECT_THAT(result.output, HasSubstr("Result: migrated (a simulation: no file was written)"));
    EXPECT_EQ(GetParam() ? 0u : 0xFFFFFFFFu, State());
    EXPECT_EQ(GetParam() ? global : "", Registry_String(Options_Key, "CoreLandscapeFileOnServer"));
    QOR::FrontEnd::Util::unique_hkey key;
    EXPECT_EQ(GetParam(), RegOpenKeyExA(HKEY_CURRENT_USER, Qor_Key, 0, KEY_READ, key.put()) == ERROR_SUCCESS);
    EXPECT_FALSE(TestSupport::Path_Exists(user));
    EXPECT_FALSE(TestSupport::Path_Exists(global));
    EXPECT_THAT(Run_Program("logon_startup.exe", "").output, HasSubstr("a migration step ran"));
    EXPECT_EQ(1u, State());
}

INSTANTIATE_TEST_SUITE_P(Administrator, Simulation, ::testing::Bool());

// A profile prepared offline, then the user's first start on their machine: the
// client keeps the prepared tree, adds the business client's connections (left
// out of the preparation: the user's into the user landscape, once, the
// machine's into a folder of the shared one) and records that the user is
// migrated. The tree
// before is shown by a start on the prepared file named on the command line,
// which exists and is therefore not migrated into.
TEST_F(Administrator, APreparedProfileKeepsItsTreeAtTheUsersFirstStart)
{
    const TestSupport::ProcessResult batch = Run_Program("landscape_migrate.exe", "--profiles " + Quoted(appData));
    EXPECT_EQ(0u, batch.exitCode) << batch.output;
    EXPECT_THAT(batch.output, HasSubstr("1 profiles: 1 migrated,"));
    QOR::FrontEnd::Util::unique_hkey key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QOR", 0, KEY_READ, key.put()))
        << "the batch records nothing";
    EXPECT_THAT(Read_File(user), Not(HasSubstr("type=\"TEDU\"")));
    const std::string prepared = Local_Tree(Run_Program("logon_startup.exe", Quoted("/LSXML=" + user)).output);
    ASSERT_THAT(prepared, HasSubstr("- PRD (from the test folder) (link)")) << prepared;
    const TestSupport::ProcessResult start = Run_Program("logon_startup.exe", "");
    EXPECT_THAT(start.output, HasSubstr("Recorded migration state after:  1"));
    EXPECT_EQ(1u, State());
    EXPECT_EQ(prepared, Local_Tree(start.output));
    EXPECT_THAT(start.output, HasSubstr("\n  + TEDU Admin Configuration/"));
    EXPECT_EQ(1u, Count(Read_File(user), "type=\"TEDU\""));
}

// The batch prepares each profile for a user with nothing recorded, whatever
// the account that runs it has recorded for itself: here a local migration of
// its own (state 1, its own global landscape as the core file), which at the
// account's own start would make the step central, and a named file's state
// before that. The profile still gets the local step and its own shared landscape.
TEST_F(Administrator, TheAccountsOwnRecordsDoNotSteerTheBatch)
{
    const std::string own = folder / "own-global.xml";
    TestSupport::Write_File(own, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Landscape/>\r\n");
    for (DWORD state : {4u, 1u}) {
        SCOPED_TRACE(state);
        Set_DWORD(Qor_Key, "LandscapeMigrationState", state);
        Set_String(Options_Key, "CoreLandscapeFileOnServer", own);
        std::remove(user.c_str());
        std::remove(global.c_str());
        const TestSupport::ProcessResult batch = Run_Program("landscape_migrate.exe", "--profiles " + Quoted(appData));
        EXPECT_EQ(0u, batch.exitCode) << batch.output;
        const std::string landscape = Read_File(user);
        EXPECT_THAT(landscape, HasSubstr("<Include index=\"0\" url=\"" + global + "\"/>")) << landscape.substr(0, 300);
        EXPECT_TRUE(TestSupport::Path_Exists(global)) << "the profile's own shared landscape";
        EXPECT_EQ(state, State()) << "the account's own record stays";
    }
}

// A trace directory that the running account's registry names receives the
// batch's trace, although the workers migrate with a registry of their own;
// the report names the file. A connection at the top of the tree, which the
// migration cannot place, makes the profile fail and the engine trace why.
TEST_F(Administrator, TheBatchTracesWhereTheRunningAccountTraces)
{
    const std::string traces = folder / "traces";
    ASSERT_TRUE(CreateDirectoryA(traces.c_str(), nullptr));
    Set_String(Options_Key, "TraceDirectory", traces);
    const TestSupport::EnvironmentVariable noTraceVariable("QOR_TRACE_DIR", nullptr);
    TestSupport::Write_File(ini, Read_File(ini) + "\r\n[Connection C-TOP]\r\nName=Sandbox\r\nSystemID=PRD\r\n");
    const TestSupport::ProcessResult batch =
        Run_Program("landscape_migrate.exe", "--profiles " + Quoted(appData) + " --report " + Quoted(report));
    EXPECT_EQ(1u, batch.exitCode) << batch.output;
    std::vector<std::string> written;
    for (const std::string& name : TestSupport::Files_In(traces))
        if (std::regex_match(name, std::regex("landscape_migration_[0-9]+_[0-9]+\\.trc")))
            written.push_back(name);
    ASSERT_EQ(1u, written.size()) << batch.output;
    const std::string named = std::regex_replace(traces + "\\" + written[0], std::regex("\\\\"), "\\\\");
    EXPECT_THAT(Read_File(report), HasSubstr("\"trace\": \"" + named + "\""));
}

// What an administrator gets wrong is caught before any work, and named; the
// exit code says which kind of mistake it was (landscape_migrate --help).
class Mistake : public Administrator
{
protected:
    TestSupport::ProcessResult Migrate(const std::string& arguments)
    {
        return Run_Program("landscape_migrate.exe", arguments);
    }
    // The folder holds no landscape file, no report: nothing was done.
    void Expect_Nothing_Written(const TestSupport::Caller& at)
    {
        EXPECT_AT(at, !TestSupport::Path_Exists(user)) << "a user landscape was written";
        EXPECT_AT(at, !TestSupport::Path_Exists(global)) << "a shared landscape was written";
        EXPECT_AT(at, !TestSupport::Path_Exists(report)) << "a report was written";
    }
};

TEST_F(Mistake, AUsageErrorIsOneLineEndingWithSeeHelp)
{
    for (const char* arguments : {"--verify --report --ini", "--profiles", "--jobs 2", "--jobs two --profiles x",
                                  "--report a.json --report b.json", "--frobnicate", "--simulate --report x.json"}) {
        const TestSupport::ProcessResult result = Migrate(arguments);
        EXPECT_EQ(2u, result.exitCode) << arguments;
        EXPECT_TRUE(std::regex_match(result.output, std::regex("landscape_migrate: [^\n]+; see --help\r?\n")))
            << arguments << ": " << result.output;
    }
    EXPECT_FALSE(TestSupport::Path_Exists(TestSupport::Program_Folder() + "\\--ini")) << "an option taken as a file";
    Expect_Nothing_Written(HERE);
}

TEST_F(Mistake, VersionAndHelpAreAnswered)
{
    const TestSupport::ProcessResult version = Migrate("--version");
    EXPECT_EQ(0u, version.exitCode);
    EXPECT_TRUE(
        std::regex_match(version.output, std::regex("landscape_migrate [0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\r?\n")))
        << version.output;
    const TestSupport::ProcessResult help = Migrate("--help");
    EXPECT_EQ(0u, help.exitCode);
    EXPECT_THAT(help.output, HasSubstr("Exit codes:"));
}

TEST_F(Mistake, AProfilesFolderThatIsMissingOrAFileStopsTheRun)
{
    const TestSupport::ProcessResult missing = Migrate("--profiles " + Quoted(folder / "missing"));
    EXPECT_EQ(4u, missing.exitCode) << missing.output;
    EXPECT_THAT(missing.output, HasSubstr(folder / "missing" + " does not exist"));
    const TestSupport::ProcessResult file = Migrate("--profiles " + Quoted(ini));
    EXPECT_EQ(4u, file.exitCode) << file.output;
    EXPECT_THAT(file.output, HasSubstr(ini + " is a file, not a folder"));
    Expect_Nothing_Written(HERE);
}

TEST_F(Mistake, AReportThatCannotBeWrittenStopsTheRunBeforeAnyWork)
{
    const std::string nowhere = folder / "no such folder\\report.json";
    const TestSupport::ProcessResult result = Migrate("--profiles " + Quoted(appData) + " --report " + Quoted(nowhere));
    EXPECT_EQ(4u, result.exitCode) << result.output;
    EXPECT_THAT(result.output, HasSubstr("the report " + nowhere + " cannot be written: "));
    EXPECT_THAT(result.output, HasSubstr("(error 3)")) << "the system's reason: " << result.output;
    Expect_Nothing_Written(HERE);
}

TEST_F(Mistake, AReadOnlyRequestOverAFolderWritesNothingButTheReport)
{
    const TestSupport::ProcessResult result =
        Migrate("--verify --profiles " + Quoted(appData) + " --report " + Quoted(report));
    EXPECT_EQ(1u, result.exitCode) << result.output;
    EXPECT_FALSE(TestSupport::Path_Exists(user)) << result.output;
    EXPECT_FALSE(TestSupport::Path_Exists(global));
    EXPECT_THAT(Read_File(report), HasSubstr("\"result\": \"not_migrated\""));
    const std::string inJson = std::regex_replace(user, std::regex("\\\\"), "\\\\");
    EXPECT_THAT(Read_File(report), HasSubstr(inJson + " does not exist"));
}

TEST_F(Mistake, AnOldFileThatIsNotTextFailsItsProfile)
{
    TestSupport::Write_File(ini, std::string("[Folder F-1]\r\nName=One\r\n\0\x01\x02", 27));
    const TestSupport::ProcessResult batch = Migrate("--profiles " + Quoted(appData) + " --report " + Quoted(report));
    EXPECT_EQ(1u, batch.exitCode) << batch.output;
    EXPECT_THAT(batch.output, HasSubstr("is not text: it holds a NUL byte (at byte 24)"));
    EXPECT_THAT(Read_File(report), HasSubstr("\"result\": \"failed\""));
    EXPECT_FALSE(TestSupport::Path_Exists(user)) << "the failed profile keeps no new file";
    TestSupport::Write_File(user, "<Landscape/>");
    const TestSupport::ProcessResult verify = Migrate("--verify");
    EXPECT_EQ(1u, verify.exitCode) << verify.output;
    EXPECT_THAT(verify.output, HasSubstr("is not text"));
}

TEST_F(Mistake, VerifyNamesALandscapeThatIsMissingAFolderOrMalformed)
{
    const TestSupport::ProcessResult missing = Migrate("--verify");
    EXPECT_EQ(4u, missing.exitCode) << missing.output;
    EXPECT_THAT(missing.output, HasSubstr("the landscape file " + user + " does not exist"));
    ASSERT_TRUE(CreateDirectoryA(user.c_str(), nullptr));
    const TestSupport::ProcessResult aFolder = Migrate("--verify");
    EXPECT_EQ(4u, aFolder.exitCode) << aFolder.output;
    EXPECT_THAT(aFolder.output, HasSubstr(user + " is a folder"));
    RemoveDirectoryA(user.c_str());
    TestSupport::Write_File(user, "<?xml version=\"1.0\"?>\r\n<Landscape>\r\n  <Workspaces>\r\n</Landscape>\r\n");
    const TestSupport::ProcessResult malformed = Migrate("--verify --report " + Quoted(report));
    EXPECT_EQ(3u, malformed.exitCode) << malformed.output;
    EXPECT_TRUE(std::regex_search(malformed.output, std::regex("is not well-formed XML: line 4, column [0-9]+")))
        << malformed.output;
}

TEST_F(Mistake, AnAlreadyMigratedUserIsASuccessAndSaysSo)
{
    Migrate_Sample(HERE);
    const TestSupport::ProcessResult again = Migrate("");
    EXPECT_EQ(0u, again.exitCode) << again.output;
    EXPECT_THAT(again.output,
                HasSubstr("Result: already migrated (migration state 1 (shared landscape migrated locally))"));
    EXPECT_THAT(again.output, HasSubstr("Migration state: 1 (shared landscape migrated locally) before"));
}
