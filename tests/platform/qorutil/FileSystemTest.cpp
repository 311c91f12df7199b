#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FileSystem.h"
#include "TestSupport.h"

namespace FileSystem = QOR::FrontEnd::Util::FileSystem;

namespace {

// Each test starts in a folder of its own; the current directory is put back
// afterwards by the standard library, not by the code under test.
struct FileSystemTest : public ::testing::Test
{
    TestSupport::ScratchDirectory folder;
    const std::filesystem::path saved = std::filesystem::current_path();
    void SetUp() override { std::filesystem::current_path(folder.Path()); }
    void TearDown() override { std::filesystem::current_path(saved); }
};

} // namespace

// Relative names are taken in the current directory; forward slashes come back
// as the system's separator; the folder keeps its separator.
TEST_F(FileSystemTest, FullPathResolvesAgainstTheCurrentDirectory)
{
    const std::string here = folder.Path();
    const std::string cases[][4] = {
        // path, full path, its folder, its name
        {here + "/sub/..\\a/b.xml", here + "\\a\\b.xml", here + "\\a\\", "b.xml"},
        {"sub\\qorlogon.ini", here + "\\sub\\qorlogon.ini", here + "\\sub\\", "qorlogon.ini"},
        {here + "\\", here + "\\", here + "\\", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        std::string parent = "unset", name = "unset";
        const std::string full = FileSystem::Full_Path(c[0], parent, name);
        EXPECT_EQ(c[1] + "|" + c[2] + "|" + c[3], full + "|" + parent + "|" + name) << c[0];
        EXPECT_EQ(c[1], FileSystem::Full_Path(c[0])) << c[0];
    }
}

TEST_F(FileSystemTest, TheCurrentDirectoryMovesOnlyToAFolderThatExists)
{
    ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
    ASSERT_TRUE(FileSystem::Set_Current_Directory(folder / "sub"));
    EXPECT_EQ(folder / "sub", FileSystem::Get_Current_Directory());
    TestSupport::Write_File("relative.txt", "x");
    EXPECT_TRUE(TestSupport::Path_Exists(folder / "sub\\relative.txt"));

    EXPECT_FALSE(FileSystem::Set_Current_Directory(folder / "missing"));
    EXPECT_FALSE(FileSystem::Set_Current_Directory(""));
    EXPECT_EQ(folder / "sub", FileSystem::Get_Current_Directory());
}
