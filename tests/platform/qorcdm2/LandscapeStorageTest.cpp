#include <gtest/gtest.h>

#include <string>

#include "CLandscapeXmlDocument.h"
#include "CdmDataMan.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

using TestSupport::EnvironmentVariable;
using TestSupport::Read_File;
using TestSupport::ScratchDirectory;

namespace {

// qorcdm2.dll's data functions, resolved by name as the migration does.
struct Storage
{
    QOR::FrontEnd::Util::unique_hmodule library{LoadLibraryA("qorcdm2.dll")};
    template <typename Function>
    Function Get(const char* name)
    {
        return reinterpret_cast<Function>(GetProcAddress(library.get(), name));
    }
    CdmDataManInit_t Init = Get<CdmDataManInit_t>("CdmDataManInit");
    CdmDataManExit_t Exit = Get<CdmDataManExit_t>("CdmDataManExit");
    CdmDataManGetSubFolderKeys_t GetSubFolderKeys = Get<CdmDataManGetSubFolderKeys_t>("CdmDataManGetSubFolderKeys");
    CdmDataManAddFolder_t AddFolder = Get<CdmDataManAddFolder_t>("CdmDataManAddFolder");
    CdmDataManAddEntryToFolder_t AddEntryToFolder = Get<CdmDataManAddEntryToFolder_t>("CdmDataManAddEntryToFolder");

    int Open(const std::string& path)
    {
        int state = 0, error = 0;
        CString message;
        return Init(path.c_str(), &state, &error, &message, 0, "");
    }
    CString Local()
    {
        CStringArray workspaces;
        EXPECT_EQ(0, GetSubFolderKeys("", &workspaces, FALSE, TREE_ITEM_TYPE_WORKSPACE));
        return workspaces.GetSize() ? workspaces[0] : CString();
    }
};

bool Contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

class LandscapeStorage : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    std::string file = folder / "QORUILandscape.xml";
    Storage storage;
};

} // namespace

TEST_F(LandscapeStorage, ChangesAreWrittenAtTheFirstChangeAndAtExitNotPerItem)
{
    ASSERT_EQ(0, storage.Open(file));
    EXPECT_FALSE(TestSupport::Path_Exists(file));
    const CString local = storage.Local();
    CString first;
    ASSERT_EQ(0, storage.AddFolder(local, "first", TRUE, "", first, ""));
    ASSERT_TRUE(Contains(Read_File(file), "name=\"first\"")) << "a new file is written at the first change";
    for (int i = 0; i < 300; ++i) {
        CString key;
        ASSERT_EQ(0, storage.AddEntryToFolder(("entry " + std::to_string(i)).c_str(), TREE_ITEM_TYPE_CONNECTION,
                                              first, key, "", nullptr));
    }
    EXPECT_FALSE(Contains(Read_File(file), "entry 0")) << "items are not saved one by one";
    ASSERT_EQ(0, storage.Exit());
    const std::string saved = Read_File(file);
    EXPECT_TRUE(Contains(saved, "name=\"entry 0\""));
    EXPECT_TRUE(Contains(saved, "name=\"entry 299\""));
}

// The engine's order: the storage still holds the file while the include is
// added through a document, and only then is the storage released.
TEST_F(LandscapeStorage, TheIncludeAndTheTreeEndUpInOneFile)
{
    ASSERT_EQ(0, storage.Open(file));
    CString folderKey, entryKey("C-1");
    ASSERT_EQ(0, storage.AddFolder(storage.Local(), "Production", TRUE, "", folderKey, ""));
    for (int i = 0; i < 5; ++i) {
        CString key;
        ASSERT_EQ(0, storage.AddEntryToFolder(("system " + std::to_string(i)).c_str(), TREE_ITEM_TYPE_CONNECTION,
                                              folderKey, key, "", nullptr));
    }
    {
        Qorcdm2::CLandscapeXmlDocument document(false, nullptr);
        CString message;
        ASSERT_TRUE(document.Load_From_File(CString(file.c_str()), message, true)) << message.GetString();
        EXPECT_TRUE(document.GetIncludeIndex0Url().IsEmpty());
        document.Set_Server_Include_URL("C:\\shared\\QORUILandscapeGlobal.xml");
        ASSERT_TRUE(document.Save_To_File(CString(file.c_str())));
    }
    const std::string afterInclude = Read_File(file);
    EXPECT_TRUE(Contains(afterInclude, "name=\"system 4\"")) << "the document saw what the storage held";
    ASSERT_EQ(0, storage.Exit());
    const std::string final = Read_File(file);
    EXPECT_EQ(afterInclude, final) << "the storage had nothing left to write";
    EXPECT_TRUE(Contains(final, "<Include index=\"0\" url=\"C:\\shared\\QORUILandscapeGlobal.xml\"/>")) << final;

    Qorcdm2::CLandscapeXmlDocument reloaded(false, nullptr);
    CString message;
    ASSERT_TRUE(reloaded.Load_From_File(CString(file.c_str()), message, true));
    EXPECT_STREQ("C:\\shared\\QORUILandscapeGlobal.xml", reloaded.GetIncludeIndex0Url());
}

// A file that did not exist is created as an empty landscape by someone else
// while the storage is open but unchanged: the storage takes that file over.
TEST_F(LandscapeStorage, AnEmptyLandscapeSavedMeanwhileIsTakenOver)
{
    ASSERT_EQ(0, storage.Open(file));
    {
        Qorcdm2::CLandscapeXmlDocument empty(true, nullptr);
        ASSERT_TRUE(empty.Save_To_File(CString(file.c_str())));
    }
    CStringArray workspaces;
    ASSERT_EQ(0, storage.GetSubFolderKeys("", &workspaces, FALSE, TREE_ITEM_TYPE_WORKSPACE));
    EXPECT_EQ(0, workspaces.GetSize()) << "the storage holds what the file holds";
    CString key;
    ASSERT_EQ(0, storage.AddFolder("", "Local", TRUE, "", key, ""));
    ASSERT_EQ(0, storage.Exit());
    EXPECT_TRUE(Contains(Read_File(file), "<Workspace uuid=\"" + std::string(key.GetString()) + "\" name=\"Local\""));
}

TEST_F(LandscapeStorage, InitReportsFilesItCannotUse)
{
    TestSupport::Write_File(file, "<Landscape><unclosed></Landscape>");
    int state = 0, error = 0;
    CString message;
    EXPECT_EQ(CDM_INIT_FILE_UNREADABLE, storage.Init(file.c_str(), &state, &error, &message, 0, ""));
    EXPECT_EQ(CDM_INIT_FILE_UNREADABLE, state);
    EXPECT_TRUE(Contains(message.GetString(), file)) << message.GetString();
    CStringArray keys;
    EXPECT_EQ(CDM_E_NOT_INITIALIZED, storage.GetSubFolderKeys("", &keys, FALSE, TREE_ITEM_TYPE_WORKSPACE));

    TestSupport::Write_File(file, "<Other/>");
    EXPECT_EQ(CDM_INIT_FILE_UNREADABLE, storage.Init(file.c_str(), &state, &error, &message, 0, ""));
    EXPECT_TRUE(Contains(message.GetString(), "is not a landscape"));

    TestSupport::Write_File(file, "<Landscape/>");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CDM_INIT_FILE_NOT_WRITABLE, storage.Init(file.c_str(), &state, &error, &message, 0, ""));
    EXPECT_TRUE(Contains(message.GetString(), "read-only"));
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    storage.Exit();
}

TEST_F(LandscapeStorage, AnEmptyNameOpensTheUsersDefault)
{
    EnvironmentVariable appData("APPDATA", folder.Path().c_str());
    EnvironmentVariable noNamed("QORLOGON_LSXML", nullptr);
    ASSERT_EQ(0, storage.Open(""));
    CString key;
    ASSERT_EQ(0, storage.AddFolder(storage.Local(), "x", TRUE, "", key, ""));
    EXPECT_TRUE(TestSupport::Path_Exists(folder / "QOR\\Common\\QORUILandscape.xml")) << "the folder is made too";
    storage.Exit();
}
