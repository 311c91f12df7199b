// The command line of landscape_migrate.exe as it parses it, in this process:
// what each command line asks for, and what each wrong one is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

using Mode = Admin::CommandLine::Mode;

// "landscape_migrate" and the arguments, parsed.
struct Parsed
{
    explicit Parsed(std::vector<const char*> arguments)
    {
        arguments.insert(arguments.begin(), "landscape_migrate");
        ok = options.Parse(static_cast<int>(arguments.size()), arguments.data());
    }
    Admin::CommandLine options;
    bool ok = false;
};

struct Meaningful
{
    std::vector<const char*> arguments;
    Mode mode;
};

struct Refused
{
    std::vector<const char*> arguments;
    const char* error;
};

} // namespace

TEST(CommandLine, EachMeaningfulCombinationHasItsMode)
{
    const Meaningful cases[] = {
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
    for (const Meaningful& c : cases) {
        const Parsed parsed(c.arguments);
        EXPECT_TRUE(parsed.ok) << c.arguments.size() << " arguments: " << parsed.options.Error();
        EXPECT_EQ(static_cast<int>(c.mode), static_cast<int>(parsed.options.mode))
            << c.arguments.size() << " arguments, the first " << (c.arguments.empty() ? "none" : c.arguments[0]);
    }
}

TEST(CommandLine, ValuesAreKept)
{
    const Parsed parsed({"--verify", "--ini", "a.ini", "--landscape", "b.xml", "--report", "r.json"});
    EXPECT_EQ("a.ini", parsed.options.ini);
    EXPECT_EQ("b.xml", parsed.options.landscape);
    EXPECT_EQ("r.json", parsed.options.report);
    const Parsed batch({"--profiles", "D:\\profiles", "--jobs", "3"});
    EXPECT_EQ("D:\\profiles", batch.options.folder);
    EXPECT_EQ(3, batch.options.jobs);
}

TEST(CommandLine, EveryMistakeIsNamedInOneLineEndingWithSeeHelp)
{
    const Refused cases[] = {
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
    for (const Refused& c : cases) {
        const Parsed parsed(c.arguments);
        EXPECT_FALSE(parsed.ok) << c.error;
        EXPECT_EQ(c.error, parsed.options.Error());
    }
}
