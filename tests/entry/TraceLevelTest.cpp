#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;

namespace {

// Runs the host with LD_MIG_TRC_LEVEL as given (null: unset) and returns its
// trace file, or "<none>".
std::string Trace_Of_Host(const char* level, const char* mode = "check")
{
    ScratchDirectory folder;
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    EnvironmentVariable traceLevel("LD_MIG_TRC_LEVEL", level);
    const TestSupport::ProcessResult result = TestSupport::Run_Program("entry_host.exe", mode);
    EXPECT_EQ(0u, result.exitCode) << result.output;
    const auto files = TestSupport::Files_In(folder.Path());
    return files.empty() ? "<none>" : TestSupport::Read_File(folder / files[0]);
}

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
        EXPECT_NE(std::string::npos, trace.find("landscape_migration.dll v8000.1.15.56")) << level;
        EXPECT_NE(std::string::npos, trace.find(", Execute_Landscape_Migration_Check_Internal/")) << level;
        EXPECT_NE(std::string::npos, trace.find(Disabled)) << level;
    }
}

TEST(TraceLevel, ACustomCallFirstFixesLevelOneForTheProcess)
{
    EXPECT_EQ("<none>", Trace_Of_Host("4", "custom-then-check"));
}
