#include <gtest/gtest.h>

#include <string>

#include "CLogonManagerLibrary.h"
#include "ProcessTrace.h"

using QOR::FrontEnd::Landscape::Migration::CLogonManagerLibrary;
using TestSupport::ScratchDirectory;
using TestSupport::TraceTail;

namespace {

// A folder laid out like the client's: the loading program, the utility
// libraries, and `library` under the name qorcdm.dll.
struct ClientFolder
{
    ScratchDirectory folder;

    explicit ClientFolder(const std::string& library)
    {
        const std::string bin = TestSupport::Program_Folder() + "\\";
        for (const char* file : {"library_host.exe", "qorutil.dll", "qorcdm_proxy.dll", "qorcdm2.dll"})
            EXPECT_TRUE(CopyFileA((bin + file).c_str(), (folder / file).c_str(), FALSE)) << file;
        EXPECT_TRUE(CopyFileA((bin + library).c_str(), (folder / "qorcdm.dll").c_str(), FALSE));
    }

    // Runs the host there and returns its trace file.
    std::string Run_Host()
    {
        char saved[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, saved);
        SetCurrentDirectoryA(folder.Path().c_str());
        TestSupport::EnvironmentVariable noTraceDirectory("QOR_TRACE_DIR", nullptr);
        const TestSupport::ProcessResult result = TestSupport::Run_Process(folder / "library_host.exe", "0");
        SetCurrentDirectoryA(saved);
        EXPECT_EQ(0u, result.exitCode) << result.output;
        for (const std::string& name : TestSupport::Files_In(folder.Path()))
            if (name.find(".trc") != std::string::npos)
                return TestSupport::Read_File(folder / name);
        return std::string();
    }
};

} // namespace

TEST(Loading, ALibraryWithoutExitIsNamedByItsFirstMissingFunction)
{
    ClientFolder client("incomplete_library.dll");
    const std::string trace = client.Run_Host();
    EXPECT_NE(std::string::npos, trace.find("***ERROR***: TID: ")) << trace;
    EXPECT_NE(std::string::npos, trace.find(": Invalid DLL. Cannot find function Exit.\r\n")) << trace;
    EXPECT_NE(std::string::npos, trace.find(": Error: Cannot load library " + (client.folder / "qorcdm.dll")));
    EXPECT_EQ(std::string::npos, trace.find("CdmDataManInit")) << "a library that failed to load is not initialised";
}

TEST(Loading, TheRealLibraryLoadsFromTheSameFolder)
{
    ClientFolder client("qorcdm.dll");
    const std::string trace = client.Run_Host();
    EXPECT_NE(std::string::npos, trace.find(": load succeeded.\r\n")) << trace;
    EXPECT_NE(std::string::npos, trace.find(": CoInitialize will be called.\r\n"));
    EXPECT_NE(std::string::npos, trace.find(": Calling CoUninitialize.\r\n"));
}

TEST(Loading, ASecondLoadOfALoadedInstanceFails)
{
    CLogonManagerLibrary library(CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, "x.xml", "", true);
    TraceTail tail;
    EXPECT_FALSE(library.Load_Library_File(library.Get_DLL_Path("qorcdm.dll")));
    EXPECT_TRUE(tail.Has("***ERROR***: TID: "));
    EXPECT_TRUE(tail.Has(" ---- BUG ---- "));
    EXPECT_TRUE(tail.Has(": Library already loaded. "));
    EXPECT_FALSE(tail.Has("LoadLibrary returned")) << "nothing is loaded";
}

TEST(Loading, CleaningUpTwiceWarnsAndReleasesNothing)
{
    CLogonManagerLibrary library(CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, "x.xml", "", true);
    library.Cleanup_Library();
    TraceTail tail;
    library.Cleanup_Library();
    EXPECT_TRUE(tail.Has("***WARNING*: TID: "));
    EXPECT_TRUE(tail.Has(": Cleaning up but library was already freed. The call is unnecessary.\r\n"));
    EXPECT_FALSE(tail.Has("Calling CoUninitialize")) << "the landscape library needs no COM of the wrapper";
}
