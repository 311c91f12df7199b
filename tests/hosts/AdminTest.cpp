// The administrator's commands of landscape_migrate.exe, run as the real
// programs in processes of their own. Those see the real registry of the test
// prefix, whose QOR key each test sets aside and puts back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "Caller.h"
#include "Handles.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using namespace TestSupport;
using ::testing::HasSubstr;

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// A path as a JSON string holds it.
std::string In_Json(const std::string& path) { return std::regex_replace(path, std::regex("\\\\"), "\\\\"); }

// Text that a regex matches as it stands.
std::string Literally(const std::string& text)
{
    return std::regex_replace(text, std::regex(R"([\\^$.|?*+()\[\]{}])"), R"(\$&)");
}

// Runs the program (landscape_migrate.exe unless named); checks its exit code
// and that its output holds each piece. The output, for more checks.
std::string Call(const Caller& at, const std::string& arguments, DWORD exitCode,
                 const std::vector<std::string>& pieces = {}, const char* program = "landscape_migrate.exe")
{
    const ProcessResult result = Run_Program(program, arguments);
    EXPECT_AT(at, result.exitCode == exitCode) << result.exitCode << " for " << arguments << ": " << result.output;
    for (const std::string& piece : pieces)
        EXPECT_AT(at, result.output.find(piece) != std::string::npos) << "'" << piece << "' in: " << result.output;
    return result.output;
}

// The user's own folder of the connection tree the start-up host shows, up to
// the next folder at the top; the host ends its lines with CR LF.
std::string Local_Tree(const std::string& output)
{
    std::smatch tree;
    std::regex_search(output, tree, std::regex("\n  \\+ Local/[\\s\\S]*?(?=\r?\n  \\+ |\r?\n?$)"));
    return std::regex_replace(tree.str(), std::regex("\r"), "");
}

} // namespace

class Administrator : public ::testing::Test, protected Profile
{
protected:
    // The programs see the real registry of the test prefix, and so does this
    // process from here on; the user's key is set aside and put back after.
    RealKeySetAside qorKey{"Software\\QOR"};

    // The sample with an empty folder more, migrated by the client's first start.
    void Migrate_Sample(const Caller& at)
    {
        Write_File(ini, Read_File(ini) + "\r\n[Folder F-EMPTY]\r\nName=Empty\r\nParent=F-PROD\r\n");
        Call(at, "", 0, {"a migration step ran"}, "logon_startup.exe");
    }

    // Each report is kept for report_schema, which checks it against
    // docs/report.schema.json (this program cannot run Python).
    void TearDown() override
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(test->test_suite_name()) + "." + test->name() + ".json";
        if (const char* kept = std::getenv("REPORTS_TO_CHECK"); kept && Path_Exists(report))
            Write_File(std::string(kept) + "\\" + std::regex_replace(name, std::regex("/"), "_"), Read_File(report));
    }

    std::string report = folder / "report.json";
};

// After the client's first start, the verification accounts for everything
// and a migration finds nothing to do.
TEST_F(Administrator, AMigratedUserIsFoundMigrated)
{
    Migrate_Sample(HERE);
    Call(HERE, "--verify --report " + Quoted(report), 0, {"Every folder and entry of the old file is accounted for."});
    Call(HERE, "", 0,
         {"Result: already migrated (migration state 1 (shared landscape migrated locally))",
          "Migration state: 1 (shared landscape migrated locally) before"});
    EXPECT_THAT(Read_File(report), HasSubstr("\"result\": \"migrated\", \"seconds\": "));
    EXPECT_THAT(Read_File(report), HasSubstr("\"folders\": 5, \"entries\": 4, \"skipped\": 1, "
                                             "\"left_out\": 2,\n     \"problems\": []"));
}

TEST_F(Administrator, VerifyNamesExactlyWhatWasRemovedFromTheLandscape)
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
    Write_File(user, landscape);
    const std::string output = Call(HERE, "--verify --report " + Quoted(report), 1,
                                    {"missing   folder F-EMPTY 'Empty': no folder 'Empty' in the landscape",
                                     "missing   entry  C-QAS 'ERP Quality (QAS)': not in the landscape",
                                     "different entry  C-PRD 'ERP Production (PRD)': property "
                                     "Language: 'EN' in the old file, none in the landscape"});
    EXPECT_EQ(3u, Count(output, "\n  missing ") + Count(output, "\n  different "));
    EXPECT_EQ(3u, Count(Read_File(report), "\"reason\"")) << Read_File(report);
}

// The parameter: a state and a core landscape file were recorded before.
class Simulation : public Administrator, public ::testing::WithParamInterface<bool>
{};

TEST_P(Simulation, LeavesTheNextStartToMigrate)
{
    if (GetParam()) {
        Set_DWORD(Qor_Key, "LandscapeMigrationState", 0);
        Set_String(Options_Key, "CoreLandscapeFileOnServer", global);
    }
    Call(HERE, "--simulate", 0,
         {"Migration state: 0 (not started yet) before, 0 (not started yet) after",
          "Result: migrated (a simulation: no file was written)"});
    EXPECT_EQ(GetParam() ? 0u : 0xFFFFFFFFu, State());
    EXPECT_EQ(GetParam() ? global : "", Registry_String(Options_Key, "CoreLandscapeFileOnServer"));
    QOR::FrontEnd::Util::unique_hkey key;
    EXPECT_EQ(GetParam(), RegOpenKeyExA(HKEY_CURRENT_USER, Qor_Key, 0, KEY_READ, key.put()) == ERROR_SUCCESS);
    EXPECT_FALSE(Path_Exists(user));
    EXPECT_FALSE(Path_Exists(global));
    Call(HERE, "", 0, {"a migration step ran"}, "logon_startup.exe");
    EXPECT_EQ(1u, State());
}

INSTANTIATE_TEST_SUITE_P(Administrator, Simulation, ::testing::Bool());

// A profile prepared offline, then the user's first start on their machine: the
// client keeps the prepared tree, adds the business client's connections (left
// out of the preparation: the user's into the user landscape, once, the
// machine's into a folder of the shared one) and records that the user is
// migrated. The tree before is shown by a start on the prepared file named on
// the command line, which exists and is therefore not migrated into.
TEST_F(Administrator, APreparedProfileKeepsItsTreeAtTheUsersFirstStart)
{
    Call(HERE, "--profiles " + Quoted(appData), 0, {"1 profiles: 1 migrated,"});
    QOR::FrontEnd::Util::unique_hkey key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QOR", 0, KEY_READ, key.put()))
        << "the batch records nothing";
    EXPECT_EQ(0u, Count(Read_File(user), "type=\"TEDU\""));
    const std::string prepared = Local_Tree(Run_Program("logon_startup.exe", Quoted("/LSXML=" + user)).output);
    ASSERT_THAT(prepared, HasSubstr("- PRD (from the test folder) (link)")) << prepared;
    const std::string start = Call(
        HERE, "", 0, {"Recorded migration state after:  1", "\n  + TEDU Admin Configuration/"}, "logon_startup.exe");
    EXPECT_EQ(1u, State());
    EXPECT_EQ(prepared, Local_Tree(start));
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
    Write_File(own, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Landscape/>\r\n");
    for (DWORD state : {4u, 1u}) {
        SCOPED_TRACE(state);
        Set_DWORD(Qor_Key, "LandscapeMigrationState", state);
        Set_String(Options_Key, "CoreLandscapeFileOnServer", own);
        DeleteFileA(user.c_str());
        DeleteFileA(global.c_str());
        Call(HERE, "--profiles " + Quoted(appData), 0);
        const std::string landscape = Read_File(user);
        EXPECT_THAT(landscape, HasSubstr("<Include index=\"0\" url=\"" + global + "\"/>")) << landscape.substr(0, 300);
        EXPECT_TRUE(Path_Exists(global)) << "the profile's own shared landscape";
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
    const EnvironmentVariable noTraceVariable("QOR_TRACE_DIR", nullptr);
    Write_File(ini, Read_File(ini) + "\r\n[Connection C-TOP]\r\nName=Sandbox\r\nSystemID=PRD\r\n");
    const std::string output = Call(HERE, "--profiles " + Quoted(appData) + " --report " + Quoted(report), 1);
    std::vector<std::string> written;
    for (const std::string& file : Files_In(traces))
        if (std::regex_match(file, std::regex("landscape_migration_[0-9]+_[0-9]+\\.trc")))
            written.push_back(file);
    ASSERT_EQ(1u, written.size()) << output;
    EXPECT_THAT(Read_File(report), HasSubstr("\"trace\": \"" + In_Json(traces + "\\" + written[0]) + "\""));
}

// Each row: a command line that is answered before any work, with the exit
// code of its kind (landscape_migrate --help): a usage error in one line
// ending with "see --help", the version, the help, and a folder or report that
// cannot serve. No landscape file and no report is written.
TEST_F(Administrator, ACommandLineThatCannotRunIsAnsweredBeforeAnyWork)
{
    const std::string usage = "^landscape_migrate: [^\n]+; see --help\r?\n$";
    const std::string nowhere = folder / "no such folder\\report.json";
    std::vector<std::tuple<std::string, DWORD, std::string>> cases = {
        {"--version", 0, "^landscape_migrate [0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\r?\n$"},
        {"--help", 0, "Exit codes:"},
        {"--profiles " + Quoted(folder / "missing"), 4, Literally(folder / "missing" + " does not exist")},
        {"--profiles " + Quoted(ini), 4, Literally(ini + " is a file, not a folder")},
        {"--profiles " + Quoted(appData) + " --report " + Quoted(nowhere), 4,
         Literally("the report " + nowhere + " cannot be written: ")},
        {"--profiles " + Quoted(appData) + " --report " + Quoted(nowhere), 4, "\\(error 3\\)"}, // the system's reason
        {"--verify", 4, Literally("the landscape file " + user + " does not exist")},
    };
    for (const char* wrong : {"--verify --report --ini", "--profiles", "--jobs 2", "--jobs two --profiles x",
                              "--report a.json --report b.json", "--frobnicate", "--simulate --report x.json"})
        cases.emplace_back(wrong, 2, usage);
    for (const auto& [arguments, exitCode, answer] : cases) {
        const ProcessResult result = Run_Program("landscape_migrate.exe", arguments);
        EXPECT_EQ(exitCode, result.exitCode) << arguments;
        EXPECT_TRUE(std::regex_search(result.output, std::regex(answer))) << arguments << ": " << result.output;
        for (const std::string& written : {user, global, report, Program_Folder() + "\\--ini"})
            EXPECT_FALSE(Path_Exists(written)) << arguments;
    }
}

TEST_F(Administrator, AReadOnlyRequestOverAFolderWritesNothingButTheReport)
{
    Call(HERE, "--verify --profiles " + Quoted(appData) + " --report " + Quoted(report), 1);
    EXPECT_FALSE(Path_Exists(user));
    EXPECT_FALSE(Path_Exists(global));
    EXPECT_THAT(Read_File(report), HasSubstr("\"result\": \"not_migrated\""));
    EXPECT_THAT(Read_File(report), HasSubstr(In_Json(user) + " does not exist"));
}

// A batch over such a file fails its profile and leaves it no landscape: batch_test.
TEST_F(Administrator, VerifyNamesAnOldFileThatIsNotText)
{
    Write_File(ini, std::string("[Folder F-1]\r\nName=One\r\n\0\x01\x02", 27));
    Write_File(user, "<Landscape/>");
    Call(HERE, "--verify", 1, {"is not text: it holds a NUL byte (at byte 24)"});
}

TEST_F(Administrator, VerifyNamesALandscapeThatIsAFolderOrMalformed)
{
    ASSERT_TRUE(CreateDirectoryA(user.c_str(), nullptr));
    Call(HERE, "--verify", 4, {user + " is a folder"});
    RemoveDirectoryA(user.c_str());
    Write_File(user, "<?xml version=\"1.0\"?>\r\n<Landscape>\r\n  <Workspaces>\r\n</Landscape>\r\n");
    const std::string malformed = Call(HERE, "--verify --report " + Quoted(report), 3);
    EXPECT_TRUE(std::regex_search(malformed, std::regex("is not well-formed XML: line 4, column [0-9]+"))) << malformed;
}
