#include <gtest/gtest.h>

#include <string>

#include "FileSystem.h"
#include "TestSupport.h"

using TestSupport::ScratchDirectory;
using TestSupport::Write_File;
namespace FileSystem = QOR::FrontEnd::Util::FileSystem;

namespace {

// Puts the process's current directory back, whichever way a test ends. Uses
// the plain API so that it does not depend on the code under test.
class CurrentDirectoryGuard
{
public:
    CurrentDirectoryGuard() { m_length = GetCurrentDirectoryA(MAX_PATH, m_saved); }
    ~CurrentDirectoryGuard()
    {
        if (m_length > 0 && m_length < MAX_PATH)
            SetCurrentDirectoryA(m_saved);
    }
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    char m_saved[MAX_PATH] = {};
    DWORD m_length = 0;
};

bool Ends_With_Ignoring_Case(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && _stricmp(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

class FileSystemTest : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    CurrentDirectoryGuard currentDirectory;
};

} // namespace

TEST_F(FileSystemTest, FileExistsOnlyForFiles)
{
    Write_File(folder / "present.ini", "x");
    CreateDirectoryA((folder / "sub").c_str(), nullptr);

    EXPECT_TRUE(FileSystem::File_Exists(folder / "present.ini"));
    EXPECT_FALSE(FileSystem::File_Exists(folder / "sub"));
    EXPECT_FALSE(FileSystem::File_Exists(folder.Path()));
    EXPECT_FALSE(FileSystem::File_Exists(folder / "missing.ini"));
    EXPECT_FALSE(FileSystem::File_Exists(folder / "missing\\present.ini"));
    EXPECT_FALSE(FileSystem::File_Exists(""));
}

TEST_F(FileSystemTest, FullPathSplitsIntoFolderAndName)
{
    std::string parent = "unset", name = "unset";

    EXPECT_EQ(folder / "landscape.xml", FileSystem::Full_Path(folder / "sub\\..\\landscape.xml", parent, name));
    EXPECT_EQ(folder.Path() + "\\", parent);
    EXPECT_EQ("landscape.xml", name);

    // Forward slashes come back as the system's separator.
    EXPECT_EQ(folder / "a\\b.xml", FileSystem::Full_Path(folder.Path() + "/a/b.xml", parent, name));
    EXPECT_EQ(folder / "a\\", parent);
    EXPECT_EQ("b.xml", name);
}

TEST_F(FileSystemTest, FullPathOfAFolderEndingInASeparatorHasNoName)
{
    std::string parent, name = "unset";
    EXPECT_EQ(folder.Path() + "\\", FileSystem::Full_Path(folder.Path() + "\\", parent, name));
    EXPECT_EQ(folder.Path() + "\\", parent);
    EXPECT_EQ("", name);
}

TEST_F(FileSystemTest, FullPathResolvesRelativePathsAgainstTheCurrentDirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    std::string parent, name;

    EXPECT_EQ(folder / "sub\\qorlogon.ini", FileSystem::Full_Path("sub\\qorlogon.ini"));
    EXPECT_EQ(folder / "qorlogon.ini", FileSystem::Full_Path("qorlogon.ini", parent, name));
    EXPECT_EQ(folder.Path() + "\\", parent);
    EXPECT_EQ("qorlogon.ini", name);
}

TEST_F(FileSystemTest, FullPathOfARootedNameIsOnTheCurrentDrive)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    const std::string driveRoot = folder.Path().substr(0, 3); // "C:\"
    ASSERT_EQ(':', driveRoot[1]);
    std::string parent, name;

    EXPECT_EQ(driveRoot + "qormsg.ini", FileSystem::Full_Path("\\qormsg.ini", parent, name));
    EXPECT_EQ(driveRoot, parent);
    EXPECT_EQ("qormsg.ini", name);
}

TEST_F(FileSystemTest, FullPathOfNothingIsEmpty)
{
    std::string parent = "unset", name = "unset";
    EXPECT_EQ("", FileSystem::Full_Path(""));
    EXPECT_EQ("", FileSystem::Full_Path("", parent, name));
    EXPECT_EQ("", parent);
    EXPECT_EQ("", name);
}

TEST_F(FileSystemTest, ModuleDirectoryIsTheFolderOfThatModule)
{
    const HMODULE utility = GetModuleHandleA("qorutil.dll");
    ASSERT_NE(nullptr, utility);

    const std::string utilityFolder = FileSystem::Get_Module_Directory(utility);
    const std::string programFolder = FileSystem::Get_Module_Directory(nullptr);
    ASSERT_FALSE(utilityFolder.empty());
    EXPECT_NE('\\', utilityFolder.back());
    EXPECT_TRUE(FileSystem::File_Exists(utilityFolder + "\\qorutil.dll"));
    EXPECT_TRUE(FileSystem::File_Exists(programFolder + "\\qorutil_tests.exe"));
    // The build puts every binary in one folder.
    EXPECT_EQ(programFolder, utilityFolder);

    // A system library is found where the system keeps it, not beside the program.
    const std::string systemFolder = FileSystem::Get_Module_Directory(GetModuleHandleA("kernel32.dll"));
    EXPECT_TRUE(Ends_With_Ignoring_Case(systemFolder, "\\system32")) << systemFolder;
}

TEST_F(FileSystemTest, DllPathNamesAFileBesideTheModule)
{
    const HMODULE utility = GetModuleHandleA("qorutil.dll");
    const std::string folderOfUtility = FileSystem::Get_Module_Directory(utility);

    EXPECT_EQ(folderOfUtility + "\\qorcdm.dll", FileSystem::Get_DLL_Path(utility, "qorcdm.dll"));
    EXPECT_TRUE(FileSystem::File_Exists(FileSystem::Get_DLL_Path(utility, "qorutil.dll")));
    EXPECT_TRUE(FileSystem::File_Exists(FileSystem::Get_DLL_Path(nullptr, "qorutil_tests.exe")));
}

TEST_F(FileSystemTest, ModuleDirectoryOfSomethingThatIsNoModuleIsEmpty)
{
    int notAModule = 0;
    const HINSTANCE bogus = reinterpret_cast<HINSTANCE>(&notAModule);
    EXPECT_EQ("", FileSystem::Get_Module_Directory(bogus));
    EXPECT_EQ("", FileSystem::Get_DLL_Path(bogus, "qorcdm.dll"));
}

TEST_F(FileSystemTest, CurrentDirectoryCanBeSetAndRead)
{
    ASSERT_TRUE(FileSystem::Set_Current_Directory(folder.Path()));
    EXPECT_EQ(folder.Path(), FileSystem::Get_Current_Directory());

    // Relative names now land in that folder.
    Write_File("relative.txt", "x");
    EXPECT_TRUE(TestSupport::Path_Exists(folder / "relative.txt"));
}

TEST_F(FileSystemTest, SettingAMissingFolderFailsAndKeepsTheCurrentDirectory)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));

    EXPECT_FALSE(FileSystem::Set_Current_Directory(folder / "missing"));
    EXPECT_FALSE(FileSystem::Set_Current_Directory(""));
    EXPECT_EQ(folder.Path(), FileSystem::Get_Current_Directory());
}
