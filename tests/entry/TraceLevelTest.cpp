#include "Caller.h"
#include "ProductVersion.h"
#include "TestSupport.h"

using namespace TestSupport;

namespace {

// Runs the host with LD_MIG_TRC_LEVEL as given (null: unset) and returns its
// trace file, or "<none>".
std::string Trace_Of_Host_(const Caller& at, const char* level, const char* mode = "check")
{
    ScratchDirectory folder;
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    EnvironmentVariable traceLevel("LD_MIG_TRC_LEVEL", level);
    const ProcessResult result = Run_Program("entry_host.exe", mode);
    EXPECT_AT(at, result.exitCode == 0) << mode << " ended with " << result.exitCode << ": " << result.output;
    const auto files = Files_In(folder.Path());
    return files.empty() ? "<none>" : Read_File(folder / files[0]);
}
#define Trace_Of_Host(...) Trace_Of_Host_(HERE, __VA_ARGS__)

} // namespace

// What each level writes when the check is switched off ("check") and when it
// meets a landscape named on a share that cannot be reached ("check-on"): it
// warns that the file does not exist and fails with an error when it cannot
// make it. A level unset, empty or not a number writes no file at all. The
// custom call's level 1 holds for the whole process, whatever the variable says.
TEST(TraceLevel, TheFirstLevelOfTheProcessDecidesWhatIsWritten)
{
    EnvironmentVariable named("QORLOGON_LSXML", "\\\\server\\share\\QORUILandscape.xml");
    constexpr size_t Pieces = 5;
    const char* const pieces[Pieces] = {
        ("landscape_migration.dll v" LANDSCAPE_MIGRATION_VERSION), ", Execute_Landscape_Migration_Check_Internal/",
        ": Landscape is not enabled and configuration is not forced. No landscape migration will be done.\r\n",
        "***ERROR***: Failed in creating the new file\r\n", "***WARNING*: The given file with name>"};
    const struct
    {
        const char* level;
        const char* mode;
        bool file;
        bool written[Pieces];
    } cases[] = {
        {nullptr, "check", false, {}},
        {"", "check", false, {}},
        {"abc", "check", false, {}},
        {"4", "check", true, {true, true, true, false, false}},
        {"4 and more", "check", true, {true, true, true, false, false}},
        {"2", "check-on", true, {false, false, false, true, true}},
        {"4", "custom-then-check-on", true, {false, false, false, true, false}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(std::string("level ") + (row.level ? row.level : "unset") + ", " + row.mode);
        const std::string trace = Trace_Of_Host(row.level, row.mode);
        EXPECT_EQ(row.file, trace != "<none>");
        for (size_t piece = 0; piece < Pieces; ++piece)
            EXPECT_THAT(trace, Holds_If(row.written[piece], pieces[piece]));
    }
}
