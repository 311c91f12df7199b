#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "Caller.h"
#include "ProductVersion.h"
#include "TestSupport.h"

using ::testing::HasSubstr;
using ::testing::Not;
using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;

namespace {

// Runs the host with LD_MIG_TRC_LEVEL as given (null: unset) and returns its
// trace file, or "<none>".
std::string Trace_Of_Host_(const TestSupport::Caller& at, const char* level, const char* mode = "check")
{
    ScratchDirectory folder;
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    EnvironmentVariable traceLevel("LD_MIG_TRC_LEVEL", level);
    const TestSupport::ProcessResult result = TestSupport::Run_Program("entry_host.exe", mode);
    EXPECT_AT(at, result.exitCode == 0) << "entry_host " << mode << " ended with " << result.exitCode << ": "
                                        << result.output;
    const auto files = TestSupport::Files_In(folder.Path());
    return files.empty() ? "<none>" : TestSupport::Read_File(folder / files[0]);
}
#define Trace_Of_Host(...) Trace_Of_Host_(HERE, __VA_ARGS__)

const char* const Disabled = ": Landscape is not enabled and configuration is not forced. No landscape migration will "
                             "be done.\r\n";

} // namespace

TEST(TraceLevel, UnsetEmptyOrNotANumberMeansNoTrace)
{
    EXPECT_EQ("<none>", Trace_Of_Host(nullptr));
    EXPECT_EQ("<none>", Trace_Of_Host(""));
    EXPECT_EQ("<none>", Trace_Of_Host("abc"));
}

TEST(TraceLevel, TheDigitFourTracesEverything)
{
    for (const char* level : {"4", "4 and more"}) {
        const std::string trace = Trace_Of_Host(level);
        EXPECT_THAT(trace, HasSubstr("landscape_migration.dll v" LANDSCAPE_MIGRATION_VERSION)) << level;
        EXPECT_THAT(trace, HasSubstr(", Execute_Landscape_Migration_Check_Internal/")) << level;
        EXPECT_THAT(trace, HasSubstr(Disabled)) << level;
    }
}

// A landscape named on a share that cannot be reached: the check warns that the
// file does not exist and fails with an error when it cannot make it.
const char* const Unreachable = "\\\\server\\share\\QORUILandscape.xml";
const char* const Cannot_Make = "***ERROR***: Failed in creating the new file\r\n";
const char* const Not_Existing = "***WARNING*: The given file with name>";

TEST(TraceLevel, LevelTwoWritesTheWarningOfAnUnreachableLandscape)
{
    EnvironmentVariable named("QORLOGON_LSXML", Unreachable);
    const std::string trace = Trace_Of_Host("2", "check-on");
    EXPECT_THAT(trace, HasSubstr(Cannot_Make));
    EXPECT_THAT(trace, HasSubstr(Not_Existing));
}

// The custom call's level 1 holds for the whole process, whatever the variable
// says: the check's error is written, its warning and developer notes are not.
TEST(TraceLevel, ACustomCallFirstFixesLevelOneForTheProcess)
{
    EnvironmentVariable named("QORLOGON_LSXML", Unreachable);
    const std::string trace = Trace_Of_Host("4", "custom-then-check-on");
    EXPECT_THAT(trace, HasSubstr(Cannot_Make));
    EXPECT_THAT(trace, Not(HasSubstr(Not_Existing)));
    EXPECT_THAT(trace, Not(HasSubstr("landscape_migration.dll v" LANDSCAPE_MIGRATION_VERSION)));
}
