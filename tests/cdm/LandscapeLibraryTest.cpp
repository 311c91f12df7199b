#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CLogonManagerLibrary.h"
#include "ProcessTrace.h"

using QOR::FrontEnd::Landscape::Migration::CLogonManagerLibrary;
using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;
using TestSupport::TraceTail;

namespace {

std::vector<std::string> Keys(const CStringArray& array)
{
    std::vector<std::string> keys;
    for (long long i = 0; i < array.GetSize(); ++i)
        keys.push_back(array[i].GetString());
    return keys;
}

std::string Name_Of_Folder(CLogonManagerLibrary& library, const CString& key)
{
    CString name, memo, parent;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    EXPECT_EQ(0, library.GetFolderAttributes(key, name, type, expanded, memo, parent));
    return name.GetString();
}

// A landscape file of its own for each test, named the way the host names one
// through the environment.
class LandscapeLibrary : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    std::string file = folder / "QORUILandscape.xml";
    EnvironmentVariable named{"QORLOGON_LSXML", file.c_str()};

    std::unique_ptr<CLogonManagerLibrary> Open(bool readonly = false)
    {
        return std::make_unique<CLogonManagerLibrary>(CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, file, "",
                                                      readonly);
    }
};

} // namespace

TEST_F(LandscapeLibrary, WhatIsAddedIsReadBackByAFreshInstance)
{
    CString local, production, europe;
    {
        auto library = Open();
        ASSERT_EQ(0, library->Get_Initialization_State().state);
        ASSERT_TRUE(library->Get_Main_Folder(local));
        ASSERT_EQ(0, library->AddFolder(local, "Production", TRUE, "Live systems", production, ""));
        ASSERT_EQ(0, library->AddFolder(production, "Europe", FALSE, "", europe, ""));
        CString second;
        ASSERT_EQ(0, library->AddFolder(local, "Test", FALSE, "", second, ""));

        CMapStringToString properties;
        properties.SetAt("SystemID", "PRD");
        properties.SetAt("MsgServerPort", "3600");
        CString connection("C-PRD"), shortcut("S-SU01"), link("L-PRD");
        ASSERT_EQ(0, library->AddEntryToFolder("ERP Production", TREE_ITEM_TYPE_CONNECTION, europe, connection, "",
                                               &properties));
        EXPECT_STREQ("C-PRD", connection) << "a free requested key is honoured";
        ASSERT_EQ(0, library->AddEntryToFolder("User maintenance", TREE_ITEM_TYPE_QORSHORTCUT, europe, shortcut, "",
                                               &properties));
        ASSERT_EQ(0, library->AddEntryLinkToFolder("PRD from Test", "C-PRD", second, link, ""));
        EXPECT_STREQ("L-PRD", link);
        ASSERT_EQ(0, library->SetConfigurationParameter("SystemStatusURL", "https://status.example.com"));
    }
    auto library = Open();
    CString found;
    ASSERT_TRUE(library->Get_Main_Folder(found));
    EXPECT_EQ(local, found);
    CStringArray keys;
    ASSERT_EQ(0, library->GetSubFolderKeys("", &keys, TRUE, TREE_ITEM_TYPE_FOLDER));
    ASSERT_EQ(3, keys.GetSize());
    EXPECT_EQ(production, keys[0]);
    EXPECT_EQ(europe, keys[1]);
    EXPECT_EQ("Test", Name_Of_Folder(*library, keys[2]));
    CString parent;
    ASSERT_EQ(0, library->GetParentFolderKey(europe, parent));
    EXPECT_EQ(production, parent);

    ASSERT_EQ(0, library->GetEntryKeys("", &keys, TREE_ITEM_TYPE_ANY_ENTRY));
    EXPECT_EQ((std::vector<std::string>{"C-PRD", "S-SU01", "L-PRD"}), Keys(keys));
    CString value;
    ASSERT_EQ(0, library->GetEntryAttribute("L-PRD", ITEM_ATTR_LINK_TARGET, value));
    EXPECT_STREQ("C-PRD", value) << "the link finds its target under the key it was added with";
    ASSERT_EQ(0, library->GetEntryAttribute("L-PRD", ITEM_ATTR_ENTRY_NAME, value));
    EXPECT_STREQ("PRD from Test", value);
    ASSERT_EQ(0, library->GetEntryAttribute("S-SU01", ITEM_ATTR_ENTRY_TYPE, value));
    EXPECT_STREQ("401", value);
    CMapStringToString properties;
    ASSERT_EQ(0, library->GetEntryData("C-PRD", &properties));
    EXPECT_EQ(2, properties.GetCount());
    ASSERT_TRUE(properties.Lookup("MsgServerPort", value));
    EXPECT_STREQ("3600", value);
    ASSERT_EQ(0, library->GetConfigurationParameter("SystemStatusURL", value));
    EXPECT_STREQ("https://status.example.com", value);
}

TEST_F(LandscapeLibrary, ATakenKeyGetsANewOne)
{
    auto library = Open();
    CString local, first("SAME"), second("SAME");
    ASSERT_TRUE(library->Get_Main_Folder(local));
    ASSERT_EQ(0, library->AddEntryToFolder("one", TREE_ITEM_TYPE_CONNECTION, local, first, "", nullptr));
    ASSERT_EQ(0, library->AddEntryToFolder("two", TREE_ITEM_TYPE_CONNECTION, local, second, "", nullptr));
    EXPECT_STREQ("SAME", first);
    EXPECT_NE(CString("SAME"), second);
    EXPECT_EQ(36, second.GetLength());
}

TEST_F(LandscapeLibrary, NextKeyPlacesTheNewFolderBeforeIt)
{
    auto library = Open();
    CString local, last, first;
    ASSERT_TRUE(library->Get_Main_Folder(local));
    ASSERT_EQ(0, library->AddFolder(local, "last", FALSE, "", last, ""));
    ASSERT_EQ(0, library->AddFolder(local, "first", FALSE, "", first, last));
    CStringArray keys;
    ASSERT_EQ(0, library->GetSubFolderKeys(local, &keys, FALSE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_EQ((std::vector<std::string>{first.GetString(), last.GetString()}), Keys(keys));
}

TEST_F(LandscapeLibrary, ReadOnlyAddsHandOutCountedKeysAndWriteNothing)
{
    CString keys[4];
    {
        auto library = Open(true);
        ASSERT_TRUE(library->Get_Main_Folder(keys[0]));
        ASSERT_EQ(0, library->AddFolder(keys[0], "Folder", TRUE, "", keys[1], ""));
        ASSERT_EQ(0, library->AddEntryToFolder("C", TREE_ITEM_TYPE_CONNECTION, keys[1], keys[2], "", nullptr));
        EXPECT_EQ(0, library->SetConfigurationParameter("SystemStatusURL", "x"));
    }
    {
        auto another = Open(true);
        ASSERT_EQ(0, another->AddEntryLinkToFolder("L", keys[2], keys[1], keys[3], ""));
    }
    EXPECT_EQ(36, keys[0].GetLength()) << "the new landscape's own Local is found, not simulated";
    ASSERT_EQ(0, std::string(keys[1].GetString()).find("NEW-UUID-"));
    const int first = std::atoi(keys[1].GetString() + 9);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ("NEW-UUID-" + std::to_string(first + i - 1), keys[i].GetString()) << "counted across instances";
    EXPECT_TRUE(TestSupport::Files_In(folder.Path()).empty()) << "a simulated run writes no file";
}

TEST_F(LandscapeLibrary, LocalIsFoundInAnyCaseAndTheFirstOneCounts)
{
    TestSupport::Write_File(file, "<?xml version=\"1.0\"?><Landscape><Workspaces>"
                                  "<Workspace uuid=\"W-OTHER\" name=\"Other\"/>"
                                  "<Workspace uuid=\"W-MIXED\" name=\"lOcAl\"/>"
                                  "<Workspace uuid=\"W-UPPER\" name=\"LOCAL\"/></Workspaces></Landscape>");
    auto library = Open();
    TraceTail tail;
    CString found;
    ASSERT_TRUE(library->Get_Main_Folder(found));
    EXPECT_STREQ("W-MIXED", found);
    EXPECT_TRUE(tail.Has(": Not Local workspace. Search continues.\r\n"));
    EXPECT_TRUE(tail.Has(": Local workspace found.\r\n"));
}

TEST_F(LandscapeLibrary, LocalFromTheIncludedLandscapeIsAConflict)
{
    const std::string shared = folder / "QORUILandscapeGlobal.xml";
    TestSupport::Write_File(shared, "<?xml version=\"1.0\"?><Landscape><Workspaces>"
                                    "<Workspace uuid=\"SERVER-LOCAL\" name=\"Local\"/></Workspaces></Landscape>");
    TestSupport::Write_File(file, "<?xml version=\"1.0\"?><Landscape><Includes><Include index=\"0\" url=\"" + shared +
                                      "\"/></Includes></Landscape>");
    auto library = Open();
    CString fromServer;
    ASSERT_EQ(0, library->GetFolderAttribute("SERVER-LOCAL", fromServer));
    EXPECT_STREQ("1", fromServer);
    TraceTail tail;
    CString found;
    EXPECT_FALSE(library->Get_Main_Folder(found));
    EXPECT_TRUE(tail.Has("***ERROR***: "));
    EXPECT_TRUE(tail.Has(": Conflict: A workspace named 'LOCAL' was found in the server-Landscape-xml (see note "
                         "1000234). Abort migration.\r\n"));
}

TEST_F(LandscapeLibrary, ANewLandscapeStartsWithLocal)
{
    auto library = Open();
    TraceTail tail;
    CString local;
    ASSERT_TRUE(library->Get_Main_Folder(local));
    EXPECT_TRUE(tail.Has(": Local workspace found.\r\n"));
    EXPECT_FALSE(TestSupport::Path_Exists(file)) << "nothing is written before the first change";
}

TEST_F(LandscapeLibrary, WithoutWorkspacesThereIsNoMainFolder)
{
    TestSupport::Write_File(file, "<?xml version=\"1.0\"?>\n<Landscape/>\n");
    auto library = Open();
    TraceTail tail;
    CString local;
    EXPECT_FALSE(library->Get_Main_Folder(local));
    EXPECT_TRUE(tail.Has("***ERROR***: "));
    EXPECT_TRUE(tail.Has(": GetSubFolderKeys returned no workspaces.\r\n"));
    EXPECT_EQ("<?xml version=\"1.0\"?>\n<Landscape/>\n", TestSupport::Read_File(file));
}

TEST_F(LandscapeLibrary, WithoutLocalOneIsCreated)
{
    TestSupport::Write_File(file, "<?xml version=\"1.0\"?><Landscape><Workspaces>"
                                  "<Workspace uuid=\"W-OTHER\" name=\"Other\"/></Workspaces></Landscape>");
    auto library = Open();
    TraceTail tail;
    CString local;
    ASSERT_TRUE(library->Get_Main_Folder(local));
    EXPECT_TRUE(tail.Has(": Not Local workspace. Search continues.\r\n"));
    EXPECT_TRUE(tail.Has(": Local workspace was not found. Creating a new one.\r\n"));
    EXPECT_EQ("Local", Name_Of_Folder(*library, local));
    CString fromServer;
    ASSERT_EQ(0, library->GetFolderAttribute(local, fromServer));
    EXPECT_STREQ("0", fromServer);
}
