// A landscape left in the Windows folder (by an installation) is taken over by
// the first start that finds no user landscape, as the client's own start
// takes it over: copied with CopyFileA, the user landscape only when there is
// none, the global one over the local file. These tests put files into the
// Windows folder, which every start-up call of the prefix looks at, so they
// run in a Wine prefix of their own (tests/entry/CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "StartupFixture.h"

using TestSupport::EnvironmentVariable;
using TestSupport::Read_File;
using TestSupport::TraceTail;
using TestSupport::Write_File;

using namespace StartupFixture;

const auto* const g_trace =
    ::testing::AddGlobalTestEnvironment(new TestSupport::ProcessTrace(Start_Tracing_At_Level_4));

namespace {

const std::string User_Copy = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                              "<Landscape><Workspaces><Workspace uuid=\"W-1\" name=\"From the Windows folder\"/>"
                              "</Workspaces></Landscape>\r\n";
const std::string Global_Copy = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                "<Landscape><Routers><Router uuid=\"R-1\" name=\"Installed\" "
                                "router=\"/H/router.example.com/S/3299\"/></Routers></Landscape>\r\n";
const std::string Local_Global = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                 "<Landscape><Routers><Router uuid=\"R-2\" name=\"Local\" "
                                 "router=\"/H/local.example.com/S/3299\"/></Routers></Landscape>\r\n";

std::string Windows_Folder()
{
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

// A file in the Windows folder for the life of the object.
class WindowsFile
{
public:
    WindowsFile(const char* name, const std::string& content) : m_path(Windows_Folder() + "\\" + name)
    {
        Write_File(m_path, content);
    }
    ~WindowsFile() { DeleteFileA(m_path.c_str()); }
    WindowsFile(const WindowsFile&) = delete;
    WindowsFile& operator=(const WindowsFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// What a failed or finished copy must not leave in a folder.
std::vector<std::string> Temporary_Files(const std::string& folder)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA((folder + "\\qor*.tmp").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.emplace_back(data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

// Recorded state 2 makes the start do nothing after the copies: what the
// user's folder holds afterwards is what the copies left.
class WindowsFolder : public Startup
{
protected:
    void SetUp() override { Set_DWORD(Qor_Key, "LandscapeMigrationState", 2); }

    WindowsFile userCopy{"QORUILandscape.xml", User_Copy};
    WindowsFile globalCopy{"QORUILandscapeGlobal.xml", Global_Copy};
};

} // namespace

TEST_F(WindowsFolder, TheUserLandscapeAndTheGlobalOneAreCopiedIn)
{
    TraceTail tail;
    EXPECT_FALSE(Start()) << "state 2: no step after the copies";
    EXPECT_EQ(User_Copy, Read_File(user));
    EXPECT_EQ(Global_Copy, Read_File(global));
    EXPECT_TRUE(tail.Has(": User landscape file copied from >" + userCopy.Path() + "< to >" + user + "<\r\n"));
    EXPECT_TRUE(tail.Has(": Global landscape file copied from >" + globalCopy.Path() + "< to >" + global + "<\r\n"));
    EXPECT_EQ(std::vector<std::string>(), Temporary_Files(common));
}

// The global copy overwrites, as CopyFileA told to overwrite does: the
// installation's global landscape replaces the one the user's folder had.
TEST_F(WindowsFolder, TheGlobalCopyReplacesALocalGlobalLandscape)
{
    Write_File(global, Local_Global);
    EXPECT_FALSE(Start());
    EXPECT_EQ(Global_Copy, Read_File(global)) << "the local global landscape is replaced";
    EXPECT_EQ(User_Copy, Read_File(user));
}

// Without the user's folder there is nowhere to copy to: the copy fails
// without a word, the start records that nothing has begun and goes on to
// migrate with state 0.
TEST_F(WindowsFolder, WithoutTheUserFolderTheCopyFailsAndTheStartBeginsFromStateZero)
{
    const std::string empty = folder / "Empty";
    ASSERT_TRUE(CreateDirectoryA(empty.c_str(), nullptr));
    const EnvironmentVariable noUserFolder("APPDATA", empty.c_str());
    TraceTail tail;
    Start();
    EXPECT_FALSE(tail.Has("User landscape file copied from"));
    EXPECT_TRUE(tail.Has(": User landscape does not exist. Setting migration state to S0_NOT_STARTED_YET.\r\n"));
    EXPECT_TRUE(tail.Has(": No migration has been performed yet.\r\n"));
    EXPECT_NE(User_Copy, Read_File(empty + "\\QOR\\Common\\QORUILandscape.xml")) << "not the Windows folder's";
}
