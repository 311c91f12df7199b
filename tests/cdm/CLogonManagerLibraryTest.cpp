#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CLogonManagerLibrary.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using QOR::FrontEnd::Landscape::Migration::CLogonManagerLibrary;
using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;
using TestSupport::TraceTail;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

std::vector<std::string> Keys(const CStringArray& array)
{
    std::vector<std::string> keys;
    for (long long i = 0; i < array.GetSize(); ++i)
        keys.push_back(array[i].GetString());
    return keys;
}

std::string Entry_Attribute(CLogonManagerLibrary& library, const char* key, int code)
{
    CString value;
    EXPECT_EQ(0, library.GetEntryAttribute(key, code, value)) << key << " " << code;
    return value.GetString();
}

std::string Property(CLogonManagerLibrary& library, const char* key, const char* name)
{
    CMapStringToString properties;
    EXPECT_EQ(0, library.GetEntryData(key, &properties));
    CString value;
    return properties.Lookup(name, value) ? value.GetString() : "<absent>";
}

struct FolderInfo
{
    std::string name, memo, parent;
    int type = 0;
    bool expanded = false;
};

FolderInfo Folder(CLogonManagerLibrary& library, const CString& key)
{
    CString name, memo, parent;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    EXPECT_EQ(0, library.GetFolderAttributes(key, name, type, expanded, memo, parent)) << key.GetString();
    return {name.GetString(), memo.GetString(), parent.GetString(), type, expanded != FALSE};
}

// The example connection file of docs/, named by the host, read through the wrapper.
class OldConnectionFile : public ::testing::Test
{
protected:
    std::string file = TestSupport::Program_Folder() + "\\examples\\qorlogon.ini";
    EnvironmentVariable named{"QORLOGON_INI", file.c_str()};
    CLogonManagerLibrary library{CLogonManagerLibrary::V01_OLD_LOGON_MANAGER, file, "", true};
};

} // namespace

TEST_F(OldConnectionFile, InitializesFromTheFileTheHostNamed)
{
    EXPECT_EQ(0, library.Get_Initialization_State().state);
    EXPECT_EQ(file, library.Get_Initialization_State().description.GetString());
    EXPECT_EQ(file, library.Get_INI_File());
}

TEST_F(OldConnectionFile, ListsTheTreeInFileOrder)
{
    CStringArray keys;
    ASSERT_EQ(0, library.GetSubFolderKeys("", &keys, TRUE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_EQ((std::vector<std::string>{"F-PROD", "F-ERP", "F-ERP-EU", "F-TEST", "F-SERVER"}), Keys(keys));
    ASSERT_EQ(0, library.GetSubFolderKeys("", &keys, FALSE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_EQ((std::vector<std::string>{"F-PROD", "F-TEST", "F-SERVER"}), Keys(keys));
    ASSERT_EQ(0, library.GetSubFolderKeys("F-PROD", &keys, FALSE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_EQ((std::vector<std::string>{"F-ERP"}), Keys(keys));
    ASSERT_EQ(0, library.GetSubFolderKeys("", &keys, FALSE, TREE_ITEM_TYPE_WORKSPACE));
    EXPECT_TRUE(Keys(keys).empty());
}

TEST_F(OldConnectionFile, ReadsFolderAttributes)
{
    const FolderInfo production = Folder(library, "F-PROD");
    EXPECT_EQ("Production", production.name);
    EXPECT_EQ("Live systems - handle with care", production.memo);
    EXPECT_EQ("", production.parent);
    EXPECT_EQ(TREE_ITEM_TYPE_FOLDER, production.type);
    EXPECT_TRUE(production.expanded);
    const FolderInfo europe = Folder(library, "F-ERP-EU");
    EXPECT_EQ("Europe", europe.name);
    EXPECT_EQ("F-ERP", europe.parent);
    EXPECT_FALSE(europe.expanded);
    CString fromServer;
    EXPECT_EQ(0, library.GetFolderAttribute("F-SERVER", fromServer));
    EXPECT_STREQ("1", fromServer);
    EXPECT_EQ(0, library.GetFolderAttribute("F-PROD", fromServer));
    EXPECT_STREQ("0", fromServer);
}

TEST_F(OldConnectionFile, ListsEntriesByTypeAndReadsThemBack)
{
    CStringArray keys;
    ASSERT_EQ(0, library.GetEntryKeys("", &keys, TREE_ITEM_TYPE_CONNECTION));
    EXPECT_EQ((std::vector<std::string>{"C-QAS", "C-PRD", "C-TRN", "C-SRV"}), Keys(keys)) << "depth first, folder "
                                                                                             "entries before subfolders";
    ASSERT_EQ(0, library.GetEntryKeys("", &keys, TREE_ITEM_TYPE_QORSHORTCUT));
    EXPECT_EQ((std::vector<std::string>{"S-SU01"}), Keys(keys));
    ASSERT_EQ(0, library.GetEntryKeys("F-TEST", &keys, TREE_ITEM_TYPE_ANY_ENTRY));
    EXPECT_EQ((std::vector<std::string>{"C-TRN", "L-PRD"}), Keys(keys));

    EXPECT_EQ("ERP Production (PRD)", Entry_Attribute(library, "C-PRD", ITEM_ATTR_ENTRY_NAME));
    EXPECT_EQ("402", Entry_Attribute(library, "C-PRD", ITEM_ATTR_ENTRY_TYPE));
    EXPECT_EQ("401", Entry_Attribute(library, "S-SU01", ITEM_ATTR_ENTRY_TYPE));
    EXPECT_EQ("400", Entry_Attribute(library, "L-PRD", ITEM_ATTR_ENTRY_TYPE));
    EXPECT_EQ("C-PRD", Entry_Attribute(library, "L-PRD", ITEM_ATTR_LINK_TARGET));
    EXPECT_EQ("1", Entry_Attribute(library, "C-TRN", ITEM_ATTR_ENTRY_SKIP_FLAG));
    EXPECT_EQ("0", Entry_Attribute(library, "C-PRD", ITEM_ATTR_ENTRY_SKIP_FLAG));

    EXPECT_EQ("PRD", Property(library, "C-PRD", "SystemID"));
    EXPECT_EQ("3600", Property(library, "C-PRD", "MsgServerPort"));
    EXPECT_EQ("SU01", Property(library, "S-SU01", "Transaction"));
    EXPECT_EQ("<absent>", Property(library, "C-PRD", "Name")) << "reserved values are no properties";

    CString parent;
    ASSERT_EQ(0, library.GetParentFolderKey("C-PRD", parent));
    EXPECT_STREQ("F-ERP-EU", parent);
}

TEST_F(OldConnectionFile, ReadsParametersAndRefusesWrites)
{
    CString value;
    ASSERT_EQ(0, library.GetConfigurationParameter("SystemStatusURL", value));
    EXPECT_STREQ("https://status.example.com/systems", value);
    EXPECT_NE(0, library.GetConfigurationParameter("NoSuchParameter", value));
    // The wrapper is read-only for the old library anyway; the library refuses too.
    CLogonManagerLibrary writable(CLogonManagerLibrary::V01_OLD_LOGON_MANAGER, file, "", false);
    CString key;
    EXPECT_EQ(CDM_E_READ_ONLY, writable.AddFolder("", "x", TRUE, "", key, ""));
    EXPECT_EQ(CDM_E_READ_ONLY, writable.SetConfigurationParameter("SystemStatusURL", "x"));
}

TEST(OldConnectionFileMissing, InitReportsTheMissingFile)
{
    ScratchDirectory folder;
    const std::string file = folder / "qorlogon.ini";
    EnvironmentVariable named("QORLOGON_INI", file.c_str());
    CLogonManagerLibrary library(CLogonManagerLibrary::V01_OLD_LOGON_MANAGER, file, "", true);
    EXPECT_EQ(CDM_INIT_FILE_MISSING, library.Get_Initialization_State().state);
    EXPECT_EQ(file, library.Get_Initialization_State().description.GetString()) << "the named file comes first";
}
