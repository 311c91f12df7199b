#include <regex>

#include "TestSupport.h"

using namespace TestSupport;

// trace_host.exe names its trace file and what the file must hold (written, like
// the file, in text mode). Level 0 writes no file; level 5 puts a stamp before
// every piece a line is written in: the five header lines, the banner, each
// message, a call with arguments and a result in four pieces, a call without
// arguments in one.
TEST(TraceFile, EachLevelWritesWhatTheTraceFormatSays)
{
    const std::regex stamp(R"(\(\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d\) )");
    for (int level = 0; level <= 5; ++level) {
        ScratchDirectory folder;
        EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
        const ProcessResult host = Run_Program("trace_host.exe", std::to_string(level));
        ASSERT_EQ(0u, host.exitCode) << host.output;
        const size_t name = host.output.find("\r\n");
        const std::string file = folder / host.output.substr(0, name), expected = host.output.substr(name + 2);
        if (level == 0) {
            EXPECT_TRUE(Files_In(folder.Path()).empty());
            continue;
        }
        const std::string text = Read_File(file);
        const auto stamps = std::distance(std::sregex_iterator(text.begin(), text.end(), stamp), {});
        EXPECT_EQ(level == 5 ? 23 : 0, stamps) << "level " << level;
        EXPECT_EQ(expected, level == 5 ? std::regex_replace(text, stamp, "") : text) << "level " << level;
    }
}
