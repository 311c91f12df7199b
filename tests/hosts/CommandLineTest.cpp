// The command line of landscape_migrate.exe as it parses it, in this process:
// what each command line asks for, and what each wrong one is told.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CommandLine.h"

namespace {

using Mode = Admin::CommandLine::Mode;
using ::testing::PrintToString;

// Parses "landscape_migrate" and the arguments into `options`; whether it took them.
bool Parse(Admin::CommandLine& options, std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "landscape_migrate");
    return options.Parse(static_cast<int>(arguments.size()), arguments.data());
}

} // namespace

TEST(CommandLine, EachMeaningfulCombinationHasItsMode)
{
    const std::pair<std::vector<const char*>, Mode> cases[] = {
        {{}, Mode::Migrate},
        {{"--force", "--simulate", "--dump-mappings"}, Mode::Migrate},
        {{"--report", "r.json"}, Mode::Migrate},
        {{"--verify"}, Mode::Verify},
        {{"--verify", "--ini", "a.ini", "--landscape", "b.xml", "--report", "r.json"}, Mode::Verify},
        {{"--profiles", "D:\\profiles", "--jobs", "3"}, Mode::Profiles},
        {{"--verify", "--profiles", "D:\\profiles"}, Mode::Verify_Profiles},
        {{"--profiles", "D:\\profiles", "--verify", "--report", "r.json"}, Mode::Verify_Profiles},
        {{"--version", "--frobnicate"}, Mode::Version},
        {{"--verify", "--help"}, Mode::Help},
        {{"/?"}, Mode::Help},
        {{"--batch-worker"}, Mode::Worker},
    };
    for (const auto& [arguments, mode] : cases) {
        Admin::CommandLine options;
        EXPECT_TRUE(Parse(options, arguments)) << PrintToString(arguments) << ": " << options.Error();
        EXPECT_EQ(static_cast<int>(mode), static_cast<int>(options.mode)) << PrintToString(arguments);
    }
}

// That --report and --profiles keep their values, admin_tests shows: the report
// it reads, the profile its batch migrates.
TEST(CommandLine, ValuesAreKept)
{
    Admin::CommandLine verify, batch;
    ASSERT_TRUE(Parse(verify, {"--verify", "--ini", "a.ini", "--landscape", "b.xml", "--report", "r.json"}));
    EXPECT_EQ("a.ini", verify.ini);
    EXPECT_EQ("b.xml", verify.landscape);
    ASSERT_TRUE(Parse(batch, {"--profiles", "D:\\profiles", "--jobs", "3"}));
    EXPECT_EQ(3, batch.jobs);
}

TEST(CommandLine, EveryMistakeIsNamedInOneLineEndingWithSeeHelp)
{
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"--verify", "--report", "--ini"}, "--report needs a value, not the option --ini; see --help"},
        {{"--report"}, "--report needs a value; see --help"},
        {{"--profiles", ""}, "--profiles needs a value, not an empty text; see --help"},
        {{"--report", "a", "--report", "b"}, "--report is given twice; see --help"},
        {{"--jobs", "two", "--profiles", "D"}, "--jobs needs a whole number of at least 1, not 'two'; see --help"},
        {{"--jobs", "0", "--profiles", "D"}, "--jobs needs a whole number of at least 1, not '0'; see --help"},
        {{"--jobs", "2"}, "--jobs goes with a migration of --profiles only; see --help"},
        {{"--verify", "--profiles", "D", "--jobs", "2"}, "--jobs goes with a migration of --profiles only; see --help"},
        {{"--ini", "a.ini"}, "--ini and --landscape go with --verify of one user only; see --help"},
        {{"--verify", "--profiles", "D", "--landscape", "b.xml"},
         "--ini and --landscape go with --verify of one user only; see --help"},
        {{"--verify", "--force"},
         "--check, --force, --simulate and the dumps go with a migration of the current user only; see --help"},
        {{"--simulate", "--report", "r.json"}, "a simulation writes nothing, not even a report; see --help"},
        {{"verify"}, "unknown option 'verify'; see --help"},
    };
    for (const auto& [arguments, error] : cases) {
        Admin::CommandLine options;
        EXPECT_FALSE(Parse(options, arguments)) << PrintToString(arguments);
        EXPECT_EQ(error, options.Error()) << PrintToString(arguments);
    }
}
