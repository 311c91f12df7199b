#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>

#include "CQorPcTrc.h"
#include "CString.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

using TestSupport::EnvironmentVariable;
using TestSupport::Read_File;
using TestSupport::ScratchDirectory;

namespace {

std::string Program_Path()
{
    char path[512] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

// The file is written in text mode: every line feed reaches the disk as CR LF.
std::string Header(const char* wording)
{
    const std::string stars(80, '*');
    return stars + "\r\n" +
           "****************************  QOR SE, Trace File  ******************************\r\n" +
           "** Main trace mode: " + wording + "\r\n" + "** Program: \t" + Program_Path() + "\r\n" + stars +
           "\r\n\r\n";
}

const char* const Main_Mode_Zero_Wording = "Error, Warning, Developer Notes and additional data ";

class CQorPcTrcTest : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    EnvironmentVariable traceDirectory{"QOR_TRACE_DIR", folder.Path().c_str()};

    std::string Trace_File() const { return folder / "writer.trc"; }

    // Writes one piece at each level through the four print operations.
    void Print_All_Levels(CQorPcTrc& writer)
    {
        writer.TraceError("error %d\n", 1);
        writer.TraceWarning("warning %s\n", std::string("two"));
        writer.TraceDeveloperNote("note %c\n", '3');
        writer.TraceData("data %s\n", "four");
    }
};

} // namespace

TEST_F(CQorPcTrcTest, LevelZeroCreatesNoFile)
{
    {
        CQorPcTrc writer("writer.trc", QORPCTRC_LEVEL_NONE);
        Print_All_Levels(writer);
    }
    EXPECT_TRUE(TestSupport::Files_In(folder.Path()).empty());
}

TEST_F(CQorPcTrcTest, NothingIsOpenedBeforeTheFirstPassingPrint)
{
    CQorPcTrc writer("writer.trc", QORPCTRC_LEVEL_ERROR);
    writer.TraceData("not written\n");
    EXPECT_FALSE(TestSupport::Path_Exists(Trace_File()));
    writer.TraceError("written\n");
    EXPECT_TRUE(TestSupport::Path_Exists(Trace_File()));
}

TEST_F(CQorPcTrcTest, EachLevelWritesItsOwnAndLowerLevelsWithPrefixes)
{
    struct Case
    {
        QORPCTRC_LEVEL level;
        const char* lines;
    } const cases[] = {
        {QORPCTRC_LEVEL_ERROR, "***ERROR***: error 1\r\n"},
        {QORPCTRC_LEVEL_WARNING, "***ERROR***: error 1\r\n***WARNING*: warning two\r\n"},
        {QORPCTRC_LEVEL_DEVELOPER, "***ERROR***: error 1\r\n***WARNING*: warning two\r\nnote 3\r\n"},
        {QORPCTRC_LEVEL_DATA, "***ERROR***: error 1\r\n***WARNING*: warning two\r\nnote 3\r\ndata four\r\n"},
    };
    for (const Case& c : cases) {
        {
            CQorPcTrc writer("writer.trc", c.level);
            Print_All_Levels(writer);
        }
        EXPECT_EQ(Header(Main_Mode_Zero_Wording) + c.lines, Read_File(Trace_File())) << "level " << c.level;
    }
}

TEST_F(CQorPcTrcTest, TimeStampModeStampsEveryPieceAndWritesNoPrefix)
{
    {
        CQorPcTrc writer("writer.trc", QORPCTRC_LEVEL_TIMESTAMP);
        writer.TraceError("error\n");
        writer.TraceData("\nafter a line feed\n");
        writer.TraceData("piece one, ");
        writer.TraceData("piece two\n");
    }
    const std::string stamp = R"(\(\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d\) )";
    const std::string stars = std::string(80, '*');
    const std::string expected =
        "^" + stamp + R"(\*{80}\r\n)" + stamp + R"(\*{28}  QOR SE, Trace File  \*{30}\r\n)" + stamp +
        R"(\*\* Main trace mode: Error, Warning, Developer Notes and additional data \r\n)" + stamp +
        R"(\*\* Program: \t[^\r]+\r\n)" + stamp + R"(\*{80}\r\n\r\n)" + stamp + R"(error\r\n)" +
        // a text that starts with a line feed gets it before the stamp
        R"(\r\n)" + stamp + R"(after a line feed\r\n)" + stamp + "piece one, " + stamp + R"(piece two\r\n$)";
    const std::string content = Read_File(Trace_File());
    EXPECT_TRUE(std::regex_match(content, std::regex(expected))) << content;
}

TEST_F(CQorPcTrcTest, WithoutTraceDirectoryTheFileGoesToTheCurrentDirectory)
{
    EnvironmentVariable noDirectory("QOR_TRACE_DIR", nullptr);
    ScratchDirectory current;
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));
    {
        CQorPcTrc writer("writer.trc", QORPCTRC_LEVEL_ERROR);
        writer.TraceError("here\n");
    }
    SetCurrentDirectoryA(saved);
    EXPECT_TRUE(TestSupport::Path_Exists(current / "writer.trc"));
    EXPECT_FALSE(TestSupport::Path_Exists(Trace_File()));
}

TEST_F(CQorPcTrcTest, SerialisedWriteWaitsForTheMutexHolder)
{
    // The mutex is named after the trace file; whoever holds it keeps writers out.
    const std::string mutexName = "QORPCTRC_writer.trc";
    QOR::FrontEnd::Util::unique_handle held(CreateMutexA(nullptr, TRUE, mutexName.c_str()));
    ASSERT_TRUE(held);

    CQorPcTrc writer("writer.trc", QORPCTRC_LEVEL_ERROR, CQorPcTrc::FLAG_SERIALIZE);
    std::thread blocked([&writer] { writer.TraceError("after release\n"); });
    Sleep(300);
    EXPECT_FALSE(TestSupport::Path_Exists(Trace_File())) << "the write did not wait for the mutex";
    ReleaseMutex(held.get());
    blocked.join();
    EXPECT_EQ(Header(Main_Mode_Zero_Wording) + "***ERROR***: after release\r\n", Read_File(Trace_File()));
}

TEST_F(CQorPcTrcTest, StringObjectsArePrintedAsTheirText)
{
    {
        CQorPcTrc writer("writer.trc", QORPCTRC_LEVEL_DATA);
        writer.TraceData("%s|%s|%d\n", CString("cstring"), std::string("stdstring"), true);
    }
    const std::string content = Read_File(Trace_File());
    EXPECT_NE(std::string::npos, content.find("cstring|stdstring|1\r\n")) << content;
}
