// A landscape left in the Windows folder (by an installation) is taken over by
// the first start that finds no user landscape, as the client's own start
// takes it over: copied with CopyFileA, the user landscape only when there is
// none, the global one over the local file. These tests put files into the
// Windows folder, which every start-up call of the prefix looks at, so they
// run in a Wine prefix of their own (tests/entry/CMakeLists.txt).

#include "StartupFixture.h"

using namespace StartupFixture;
using namespace TestSupport;

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(new ProcessTrace(Start_Tracing_At_Level_4));

namespace {

const std::string User_Copy = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                              "<Landscape><Workspaces><Workspace uuid=\"W-1\" name=\"From the Windows folder\"/>"
                              "</Workspaces></Landscape>\r\n";
const std::string Global_Copy = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                "<Landscape><Routers><Router uuid=\"R-1\" name=\"Installed\" "
                                "router=\"/H/router.example.com/S/3299\"/></Routers></Landscape>\r\n";

// A file in the Windows folder for the life of the object.
struct WindowsFile
{
    WindowsFile(const char* name, const std::string& content)
    {
        char folder[MAX_PATH] = {};
        GetWindowsDirectoryA(folder, MAX_PATH);
        path = folder + std::string("\\") + name;
        Write_File(path, content);
    }
    ~WindowsFile() { DeleteFileA(path.c_str()); }
    std::string path;
};

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

// The global copy overwrites, as CopyFileA told to overwrite does: the
// installation's global landscape replaces the one the user's folder had.
TEST_F(WindowsFolder, BothLandscapesAreCopiedInTheGlobalOneOverALocalOne)
{
    Write_File(global, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Landscape><Routers><Router uuid=\"R-2\" "
                       "name=\"Local\" router=\"/H/local.example.com/S/3299\"/></Routers></Landscape>\r\n");
    TraceTail tail;
    EXPECT_FALSE(Start()) << "state 2: no step after the copies";
    EXPECT_EQ(User_Copy, Read_File(user));
    EXPECT_EQ(Global_Copy, Read_File(global)) << "the local global landscape is replaced";
    EXPECT_TRUE(tail.Has(": User landscape file copied from >" + userCopy.path + "< to >" + user + "<\r\n"));
    EXPECT_TRUE(tail.Has(": Global landscape file copied from >" + globalCopy.path + "< to >" + global + "<\r\n"));
    for (const std::string& name : Files_In(common))
        EXPECT_THAT(name, ::testing::Not(::testing::EndsWith(".tmp"))) << "a temporary file is left";
}

// Without the user's folder there is nowhere to copy to: the copy fails
// without a word, the start records that nothing has begun and goes on to
// migrate with state 0.
TEST_F(WindowsFolder, WithoutTheUserFolderTheStartBeginsFromStateZero)
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
