#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>

#include "ComponentTracing.h"
#include "Handles.h"
#include "TestSupport.h"

using TestSupport::Path_Exists;
using TestSupport::Read_File;

namespace {

// The header. The file is written in text mode: every line feed reaches the
// disk as CR LF.
std::string Header()
{
    char program[512] = {};
    GetModuleFileNameA(nullptr, program, sizeof(program));
    const std::string stars = std::string(80, '*') + "\r\n";
    return stars + "****************************  QOR SE, Trace File  ******************************\r\n" +
           "** Main trace mode: Error, Warning, Developer Notes and additional data \r\n" + "** Program: \t" + program +
           "\r\n" + stars + "\r\n";
}

struct CQorPcTrcTest : public ::testing::Test
{
    TestSupport::ScratchDirectory folder;
    TestSupport::EnvironmentVariable traceDirectory{"QOR_TRACE_DIR", folder.Path().c_str()};
    const std::string file = folder / "writer.trc";
};

} // namespace

// A piece up to the writer's level is on disk as soon as it is printed, not
// only when the writer closes, and whole when it is longer than any stack
// buffer; one above the level is not written. Which piece each level of the
// migration's own trace writes, trace_tests shows byte for byte.
TEST_F(CQorPcTrcTest, APieceUpToTheLevelIsOnDiskWholeAtOnce)
{
    ComponentTracing tracing("writer.trc", QORPCTRC_LEVEL_DEVELOPER);
    const std::string longText = std::string(5000, 'x') + "\n" + std::string(3000, 'y');
    tracing.trace().TraceDeveloperNote("%s|%d\n", longText.c_str(), 3);
    tracing.trace().TraceData("data\n");
    EXPECT_EQ(Header() + std::string(5000, 'x') + "\r\n" + std::string(3000, 'y') + "|3\r\n", Read_File(file));
}

// No file is opened before a print passes the level; without a trace directory
// it is opened in the current directory of that moment.
TEST_F(CQorPcTrcTest, WithoutTraceDirectoryTheFileGoesToTheCurrentDirectory)
{
    TestSupport::EnvironmentVariable noDirectory("QOR_TRACE_DIR", nullptr);
    const std::filesystem::path saved = std::filesystem::current_path();
    ASSERT_TRUE(CreateDirectoryA((folder / "current").c_str(), nullptr));
    ComponentTracing tracing("writer.trc", QORPCTRC_LEVEL_ERROR);
    CQorPcTrc& writer = tracing.trace();
    writer.TraceData("not written\n");
    std::filesystem::current_path(folder / "current");
    writer.TraceError("here\n");
    std::filesystem::current_path(saved);
    writer.TraceError("there\n");
    EXPECT_EQ(Header() + "***ERROR***: here\r\n***ERROR***: there\r\n", Read_File(folder / "current\\writer.trc"));
    EXPECT_FALSE(Path_Exists(file));
}

// A writer whose state says to serialise takes its mutex around every write:
// whoever holds it keeps the writer out. The writer has started when it says
// so; a write that does not wait ends a moment later, one that waits has not
// ended two seconds on.
TEST_F(CQorPcTrcTest, SerialisedWriteWaitsForTheMutexHolder)
{
    QOR::FrontEnd::Util::unique_handle held(CreateMutexA(nullptr, TRUE, "QORPCTRC_writer.trc"));
    ASSERT_TRUE(held);
    ComponentTracing tracing("writer.trc", QORPCTRC_LEVEL_ERROR);
    CQorPcTrc& writer = tracing.trace();
    writer.m_flags = CQorPcTrc::FLAG_SERIALIZE;
    writer.m_mutex = CreateMutexA(nullptr, FALSE, "QORPCTRC_writer.trc"); // the writer closes it
    std::promise<void> started;
    std::future<void> written = std::async(std::launch::async, [&] {
        started.set_value();
        writer.TraceError("after release\n");
    });
    started.get_future().wait();
    EXPECT_EQ(std::future_status::timeout, written.wait_for(std::chrono::seconds(2))) << "the write did not wait";
    EXPECT_FALSE(Path_Exists(file)) << Read_File(file);
    ReleaseMutex(held.get());
    written.get();
    EXPECT_EQ(Header() + "***ERROR***: after release\r\n", Read_File(file));
}
