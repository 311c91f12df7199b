#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CLandscapeXmlDocument.h"
#include "CLogonManagerLibrary.h"
#include "CMigrationTool.h"
#include "MigrationState.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using TestSupport::EnvironmentVariable;
using TestSupport::Read_File;
using TestSupport::ScratchDirectory;
using TestSupport::TraceTail;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

std::string Sample(const std::string& file) { return TestSupport::Program_Folder() + "\\sample\\" + file; }

// Standard output of a piece of code.
class Captured_Output
{
public:
    Captured_Output() : m_old(std::cout.rdbuf(m_text.rdbuf())) {}
    ~Captured_Output() { std::cout.rdbuf(m_old); }
    std::string Text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
    std::streambuf* m_old;
};

// A user's profile in a folder of its own: the sample files, named to the
// libraries the way the host names them, and a registry of its own.
class Migration : public ::testing::Test
{
protected:
    TestSupport::RegistrySandbox registry;
    ScratchDirectory folder;
    std::string ini = folder / "qorlogon.ini";
    std::string user = folder / "QORUILandscape.xml";
    std::string shared = folder / "QORUILandscapeGlobal.xml";
    EnvironmentVariable namedIni{"QORLOGON_INI", ini.c_str()};
    EnvironmentVariable namedLandscape{"QORLOGON_LSXML", user.c_str()};
    CMigrationToolConfig config;

    void SetUp() override
    {
        CopyFileA(Sample("AppData\\QOR\\Common\\qorlogon.ini").c_str(), ini.c_str(), FALSE);
        CopyFileA(Sample("AppData\\QOR\\TEDU\\TEDUOptions.xml").c_str(), (folder / "user_options.xml").c_str(), FALSE);
        CopyFileA(Sample("ProgramData\\QOR\\TEDU\\TEDUOptions.xml").c_str(), (folder / "shared_options.xml").c_str(),
                  FALSE);
        config.Set_Qorlogon_INI_Path(ini);
        config.Set_User_Landscape_XML_Path(user);
        config.Set_Shared_Landscape_XML_Path(shared);
        config.Set_Qormsg_INI_Path(Sample("Windows\\qormsg.ini"));
        config.Set_Qorroute_INI_Path(Sample("Windows\\qorroute.ini"));
        config.Set_Windows_Services_File(Sample("Windows\\System32\\drivers\\etc\\services"));
        config.Set_User_TEDUOptions_XML_Path(folder / "user_options.xml");
        config.Set_Shared_TEDUOptions_XML_Path(folder / "shared_options.xml");
    }

    void Write_Ini(const std::string& text) { TestSupport::Write_File(ini, text); }

    std::unique_ptr<CLogonManagerLibrary> Landscape()
    {
        return std::make_unique<CLogonManagerLibrary>(CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, user, "", true);
    }

    std::vector<std::string> Folder_Names(CLogonManagerLibrary& library, const CString& parent)
    {
        CStringArray keys;
        library.GetSubFolderKeys(parent, &keys, FALSE, TREE_ITEM_TYPE_FOLDER);
        std::vector<std::string> names;
        for (long long i = 0; i < keys.GetSize(); ++i) {
            CString name, memo, parentKey;
            int type = TREE_ITEM_TYPE_FOLDER;
            BOOL expanded = FALSE;
            library.GetFolderAttributes(keys[i], name, type, expanded, memo, parentKey);
            names.push_back(name.GetString());
        }
        return names;
    }

    std::vector<std::string> Entry_Keys(CLogonManagerLibrary& library, const CString& folderKey)
    {
        CStringArray keys;
        library.GetEntryKeys(folderKey, &keys, TREE_ITEM_TYPE_ANY_ENTRY);
        std::vector<std::string> result;
        for (long long i = 0; i < keys.GetSize(); ++i)
            result.push_back(keys[i].GetString());
        return result;
    }
};

} // namespace

TEST_F(Migration, TheWholeProfileArrivesUnderLocalInSourceOrder)
{
    const std::string source = Read_File(ini);
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    CMigrationTool tool(config);
    EXPECT_FALSE(tool.Is_Valid()) << "no libraries before the run";
    ASSERT_TRUE(tool.Do_Migration(true));
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after) << "the working directory is restored";
    EXPECT_EQ(source, Read_File(ini)) << "the old file is never written";
    EXPECT_EQ(0, tool.GetSourceInitializationState().state);
    EXPECT_EQ(0, tool.GetDestinationInitializationState().state);

    auto landscape = Landscape();
    CString local;
    ASSERT_TRUE(landscape->Get_Main_Folder(local));
    // F-PROD and F-TEST both became Local; F-SERVER stayed behind with its subtree.
    EXPECT_EQ((std::vector<std::string>{"ERP"}), Folder_Names(*landscape, local));
    EXPECT_EQ((std::vector<std::string>{"C-PRD", "C-QAS", "S-SU01", "L-PRD"}), Entry_Keys(*landscape, local))
        << "in tree order; C-TRN is skipped";
    CString value;
    ASSERT_EQ(0, landscape->GetEntryAttribute("L-PRD", ITEM_ATTR_LINK_TARGET, value));
    EXPECT_STREQ("C-PRD", value);
    CMapStringToString properties;
    ASSERT_EQ(0, landscape->GetEntryData("C-QAS", &properties));
    ASSERT_TRUE(properties.Lookup("MsgServerPort", value));
    EXPECT_STREQ("3601", value) << "the missing port comes from the services file";
    ASSERT_EQ(0, landscape->GetConfigurationParameter("SingleSystemStatusURL", value));
    EXPECT_STREQ("https://status.example.com/system?sid=%SID%", value);

    Qorcdm2::CLandscapeXmlDocument document(false, nullptr);
    CString message;
    landscape.reset();
    ASSERT_TRUE(document.Load_From_File(CString(user.c_str()), message, true));
    EXPECT_STREQ(shared.c_str(), document.GetIncludeIndex0Url());
    const std::string global = Read_File(shared);
    EXPECT_NE(std::string::npos, global.find("name=\"QAS\" description=\"ERP Quality\" host=\"qas-ms.example.com\" "
                                             "port=\"3601\""));
    EXPECT_NE(std::string::npos, global.find("name=\"Frankfurt\" router=\"/H/router-fra.example.com/S/3299\""));
    EXPECT_NE(std::string::npos, global.find("<LDAP "));
}

TEST_F(Migration, SimulationWritesNothingAndDumpsNewKeys)
{
    config.Set_Simulation(true);
    config.Set_Dump_Mappings(true);
    config.Set_Dump_Contents(true);
    const std::vector<std::string> files = TestSupport::Files_In(folder.Path());
    Captured_Output output;
    CMigrationTool tool(config);
    ASSERT_TRUE(tool.Do_Migration(false));
    EXPECT_EQ(files, TestSupport::Files_In(folder.Path())) << "no file written";
    const std::string text = output.Text();
    EXPECT_NE(std::string::npos, text.find("--- Dumping Contents of Config Files ---\n\nSource config:\nFOLDER: "
                                           "Production|F-PROD\n"));
    EXPECT_NE(std::string::npos, text.find("ENTRY: ERP Production (PRD)|C-PRD\n"));
    EXPECT_NE(std::string::npos, text.find("\nDestination config:\n"));
    EXPECT_NE(std::string::npos, text.find("UUID mappings:\n --- destination_uuid --- source_uuid ---\n"));
    EXPECT_NE(std::string::npos, text.find("sed -i 's/NEW-UUID-")) << text;
    EXPECT_NE(std::string::npos, text.find("/F-ERP/g' " + user + "\n"));
}

TEST_F(Migration, TwoTopLevelFoldersShareTheMainFolderInTheMappings)
{
    config.Set_Dump_Mappings(true);
    Captured_Output output;
    ASSERT_TRUE(CMigrationTool(config).Do_Migration(false));
    const std::string text = output.Text();
    const size_t prod = text.find("/F-PROD/g' ");
    const size_t test = text.find("/F-TEST/g' ");
    ASSERT_NE(std::string::npos, prod) << text;
    ASSERT_NE(std::string::npos, test);
    const auto destination = [&text](size_t at) {
        const size_t start = text.rfind("sed -i 's/", at) + 10;
        return text.substr(start, at - start);
    };
    EXPECT_EQ(destination(prod), destination(test));
    EXPECT_EQ(std::string::npos, text.find("/F-SERVER/g'")) << "the server folder is not mapped";
}

TEST_F(Migration, AnEntryUnderALeftOutFolderFailsItsTypeAndTheStep)
{
    Write_Ini("[Folder A]\nName=A\n[Folder S]\nName=Server\nFromServer=1\n"
              "[Connection C1]\nName=c1\nFolder=A\n[Connection C2]\nName=c2\nFolder=S\n"
              "[Shortcut X]\nName=x\nFolder=A\n");
    TraceTail tail;
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    EXPECT_FALSE(CMigrationTool(config).Do_Migration(false));
    char after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after) << "a failing user step still restores the directory";
    EXPECT_TRUE(tail.Has(": s_parent_key S is not found in the mappings. i=1, s_key=C2.\r\n"));
    EXPECT_TRUE(tail.Has(": Migrate_Typed_Entries(TREE_ITEM_TYPE_QORSHORTCUT): 0\r\n"));
    EXPECT_TRUE(tail.Has("***ERROR***: TID: "));
    EXPECT_TRUE(tail.Has(": User settings could not be migrated.\r\n"));
    EXPECT_TRUE(tail.Has("Results after migration parts: Shared migration:1, User settings:0, TEDU options:1\r\n"));
}

TEST_F(Migration, StateThreeOrFourSkipsTheSharedStep)
{
    for (DWORD state : {3u, 4u}) {
        DeleteFileA(user.c_str());
        DeleteFileA(shared.c_str());
        ASSERT_TRUE(Write_Migration_State(state));
        TraceTail tail;
        ASSERT_TRUE(CMigrationTool(config).Do_Migration(true));
        EXPECT_TRUE(tail.Has("Results after migration parts: Shared migration:1, User settings:1, TEDU options:1"));
        const std::string text = tail.Text();
        EXPECT_GT(text.find("CMigrationTool::Migrate_Shared_Settings["), text.find("Adding include '"))
            << "not run before the user settings, state " << state;
        EXPECT_TRUE(tail.Has("CALL(migrate_shared_data=0)")) << "options without the shared file";
        // No include yet in a file named by the host: the shared settings are migrated there.
        EXPECT_TRUE(tail.Has(": Shared file '" + shared + "' migrated for registry settings (rc=1)\r\n"));
    }
}

TEST_F(Migration, AnExistingDestinationIsNothingToMigrateUnlessForced)
{
    TestSupport::Write_File(user, "<?xml version=\"1.0\"?>\n<Landscape/>\n");
    TraceTail tail;
    ASSERT_TRUE(CMigrationTool(config).Do_Migration(false));
    EXPECT_TRUE(tail.Has(": Destination INI file exists, remove it before migration: " + user + "\r\n"));
    EXPECT_TRUE(tail.Has(": Result after Check_Prerequisites: 0\r\n"));
    EXPECT_EQ(std::string::npos, Read_File(user).find("C-PRD"));
    EXPECT_NE(std::string::npos, Read_File(user).find("<Include index=\"0\"")) << "the include is still added";
}

TEST_F(Migration, AReadOnlyLandscapeIsLeftAloneAndFailsTheStep)
{
    const std::string landscape = "<?xml version=\"1.0\"?>\n<Landscape/>\n";
    TestSupport::Write_File(user, landscape);
    SetFileAttributesA(user.c_str(), FILE_ATTRIBUTE_READONLY);
    config.Set_Force(true);
    TraceTail tail;
    EXPECT_FALSE(CMigrationTool(config).Do_Migration(false));
    SetFileAttributesA(user.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(tail.Has(": The landscape file '" + user + "' is read only.\r\n"));
    EXPECT_TRUE(tail.Has(": Migration cannot be made correctly!\r\n"));
    EXPECT_TRUE(tail.Has(": User settings could not be migrated.\r\n"));
    EXPECT_EQ(landscape, Read_File(user));
}
