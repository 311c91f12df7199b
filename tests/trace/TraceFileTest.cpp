#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;

namespace {

const char* const Return_Tail =
    ") - this can be changed before exitting the function (in this case it can be seen below).\n";
const char* const Long_Class =
    "CTraceSampleWithAVeryLongNameThatKeepsGoingAndGoingSoThatTheShortNameDoesNotFitIntoTheBufferOfTheScope";

struct HostRun
{
    std::map<std::string, std::string> values; // what the host reported
    std::string folder;                         // its trace directory
};

HostRun Run_Host(const ScratchDirectory& folder, int level)
{
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    const TestSupport::ProcessResult result = TestSupport::Run_Program("trace_host.exe", std::to_string(level));
    EXPECT_EQ(0u, result.exitCode) << result.output;
    HostRun run{{}, folder.Path()};
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            run.values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return run;
}

std::string Four_Digits(const std::string& id)
{
    return std::string(id.size() < 4 ? 4 - id.size() : 0, '0') + id;
}

std::string Trace_File_Of(const HostRun& run)
{
    return run.folder + "\\landscape_migration_" + Four_Digits(run.values.at("pid")) + "_" +
           Four_Digits(run.values.at("tid")) + ".trc";
}

struct Line
{
    int level;
    std::string text;
};

// Every line the host writes, as the trace format lays it out, with its level.
std::vector<Line> Host_Lines(const HostRun& run)
{
    const auto& v = run.values;
    const std::string tid = "TID: " + v.at("tid") + ", ";
    const std::string check = tid + "CTraceSample::Check[" + v.at("sample") + "]/";
    return {
        {3, "landscape_migration.dll v8000.1.15.56\n\n"},
        {4, check + v.at("entry") + ": CALL(value=5, name=sample)\n"},
        {1, "***ERROR***: " + check + v.at("error") + ": error 5\n"},
        {2, "***WARNING*: " + check + v.at("warning") + ": warning text\n"},
        {3, check + v.at("note") + ": note\n"},
        {4, check + v.at("data") + ": data\n"},
        {4, tid + "CTraceSample::Check/" + v.at("check_return") + ": Setting return value:(true" + Return_Tail},
        {4, tid + "CTraceSample::Name[" + v.at("sample") + "]/" + v.at("name_entry") + ": CALL\n"},
        {4, tid + "CTraceSample::Name/" + v.at("name_return") + ": Setting return value:(x" + Return_Tail},
        {4, tid + Long_Class + "::Count[" + v.at("long") + "]/" + v.at("long_entry") + ": CALL\n"},
        {4, tid + Long_Class + "::Count/" + v.at("long_return") + ": Setting return value:(7" + Return_Tail},
        {4, tid + "Free_Function/" + v.at("free_entry") + ": CALL\n"},
        {4, tid + "Free_Function/" + v.at("free_data") + ": free 1\n"},
    };
}

std::string Header(const HostRun& run)
{
    const std::string stars(80, '*');
    return stars + "\n" + "****************************  QOR SE, Trace File  ******************************\n" +
           "** Main trace mode: Error, Warning, Developer Notes and additional data \n" +
           "** Program: \t" + run.values.at("program") + "\n" + stars + "\n\n";
}

std::string Expected_File(const HostRun& run, int level)
{
    std::string text = Header(run);
    for (const Line& line : Host_Lines(run))
        if (line.level <= level)
            text += line.text;
    return text;
}

// The file is written in text mode, so each line feed is stored as CR LF.
std::string On_Disk(const std::string& text) { return std::regex_replace(text, std::regex("\n"), "\r\n"); }

} // namespace

TEST(TraceFile, LevelZeroWritesNoFile)
{
    ScratchDirectory folder;
    const HostRun run = Run_Host(folder, 0);
    ASSERT_FALSE(run.values.empty());
    EXPECT_TRUE(TestSupport::Files_In(folder.Path()).empty());
}

TEST(TraceFile, LevelsOneThreeAndFourWriteTheirLinesByteForByte)
{
    for (int level : {1, 3, 4}) {
        ScratchDirectory folder;
        const HostRun run = Run_Host(folder, level);
        const std::string file = Trace_File_Of(run);
        ASSERT_TRUE(TestSupport::Path_Exists(file)) << file;
        EXPECT_EQ(On_Disk(Expected_File(run, level)), TestSupport::Read_File(file)) << "level " << level;
    }
}

TEST(TraceFile, LevelFiveStampsEveryPieceAndDropsThePrefixes)
{
    ScratchDirectory folder;
    const HostRun run = Run_Host(folder, 5);
    const std::string content = TestSupport::Read_File(Trace_File_Of(run));
    const std::regex stamp(R"(\(\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d\) )");

    // 5 header lines, then one stamp per piece: entry lines with arguments and
    // result lines come in four pieces each.
    const auto stamps = std::distance(std::sregex_iterator(content.begin(), content.end(), stamp),
                                      std::sregex_iterator());
    EXPECT_EQ(30, stamps);
    EXPECT_EQ(0u, content.find_first_of('(')) << "the file starts with a stamp";

    std::string expected = Expected_File(run, 5);
    expected = std::regex_replace(expected, std::regex(R"(\*\*\*ERROR\*\*\*: |\*\*\*WARNING\*: )"), "");
    EXPECT_EQ(On_Disk(expected), std::regex_replace(content, stamp, ""));
}
