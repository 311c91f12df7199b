#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CLogonManagerLibrary.h"
#include "Caller.h"
#include "CdmResults.h"
#include "LibraryCall.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using QOR::FrontEnd::Landscape::Migration::CLogonManagerLibrary;
using ::testing::HasSubstr;
using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

std::vector<std::string> Keys(const CStringArray& array)
{
    std::vector<std::string> keys;
    for (long long i = 0; i < array.GetSize(); ++i)
        keys.emplace_back(array[i].GetString());
    return keys;
}

// "name|memo|parent|expanded" of a folder.
std::string Folder_(const TestSupport::Caller& at, CLogonManagerLibrary& library, const CString& key)
{
    CString name, memo, parent;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    const int result = library.GetFolderAttributes(key, name, type, expanded, memo, parent);
    EXPECT_AT(at, result == 0) << "GetFolderAttributes(" << key.GetString() << ") returned " << result;
    return std::string(name + "|" + memo + "|" + parent + "|") + (expanded ? "1" : "0");
}
#define Folder(...) Folder_(HERE, __VA_ARGS__)

// The example connection file of docs/, named by the host.
class OldConnectionFile : public ::testing::Test
{
protected:
    std::string file = TestSupport::Program_Folder() + "\\examples\\qorlogon.ini";
    EnvironmentVariable named{"QORLOGON_INI", file.c_str()};
    CLogonManagerLibrary library{CLogonManagerLibrary::V01_OLD_LOGON_MANAGER, file, "", true};
};

// A landscape file of its own for each test, named by the host the same way.
class LandscapeLibrary : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    std::string file = folder / "QORUILandscape.xml";
    EnvironmentVariable named{"QORLOGON_LSXML", file.c_str()};

    std::unique_ptr<CLogonManagerLibrary> Open(bool readonly = false)
    {
        return std::make_unique<CLogonManagerLibrary>(CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, file, "", readonly);
    }
};

} // namespace

// A client folder whose qorcdm.dll lacks CdmDataManExit: the loader takes the
// library beside itself, refuses it naming the first missing function, and
// never initialises it (its Init would answer 42).
TEST(Loading, AnIncompleteLibraryBesideTheLoaderIsRefused)
{
    ScratchDirectory folder;
    const std::string bin = TestSupport::Program_Folder() + "\\";
    for (const char* file : {"library_host.exe", "qorutil.dll", "qorcdm_proxy.dll", "qorcdm2.dll"})
        ASSERT_TRUE(CopyFileA((bin + file).c_str(), (folder / file).c_str(), FALSE)) << file;
    for (const char* runtime : {"libgcc_s_dw2-1.dll", "libwinpthread-1.dll"}) { // 32-bit: the shared unwinder
        if (TestSupport::Path_Exists(bin + runtime)) {
            ASSERT_TRUE(CopyFileA((bin + runtime).c_str(), (folder / runtime).c_str(), FALSE)) << runtime;
        }
    }
    ASSERT_TRUE(CopyFileA((bin + "incomplete_library.dll").c_str(), (folder / "qorcdm.dll").c_str(), FALSE));
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    EXPECT_EQ(0u, TestSupport::Run_Process(folder / "library_host.exe", "0").exitCode);
    std::string trace;
    for (const std::string& name : TestSupport::Files_In(folder.Path()))
        if (name.find(".trc") != std::string::npos)
            trace += TestSupport::Read_File(folder / name);
    EXPECT_THAT(trace, HasSubstr("***ERROR***: TID: "));
    EXPECT_THAT(trace, HasSubstr(": Invalid DLL. Cannot find function Exit.\r\n"));
    EXPECT_THAT(trace, HasSubstr(": Error: Cannot load library " + (folder / "qorcdm.dll") + ".\r\n"));
}

// A landscape that cannot be opened: the record handed to the host names the
// file when the host named it on its command line, and gives the library's own
// words about the user's default file otherwise.
TEST(Loading, TheRecordOfALandscapeThatCannotBeOpenedNamesWhatTheHostCanActOn)
{
    ScratchDirectory folder;
    const std::string common = folder / "AppData\\QOR\\Common";
    for (const char* sub : {"AppData", "AppData\\QOR", "AppData\\QOR\\Common"})
        ASSERT_TRUE(CreateDirectoryA((folder / sub).c_str(), nullptr)) << sub;
    const std::string notALandscape = "<?xml version=\"1.0\"?>\r\n<Other/>\r\n";
    TestSupport::Write_File(common + "\\QORUILandscape.xml", notALandscape);
    const std::string named = folder / "named.xml";
    TestSupport::Write_File(named, notALandscape);
    EnvironmentVariable appData("APPDATA", (folder / "AppData").c_str());
    EnvironmentVariable noNamedFile("QORLOGON_LSXML", nullptr);
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    const TestSupport::ProcessResult byDefault = TestSupport::Run_Program("library_host.exe", "1");
    EXPECT_THAT(byDefault.output, HasSubstr("description: The file '" + common +
                                            "\\QORUILandscape.xml' is not a landscape: its root "
                                            "element is 'Other'.\r\n"));
    const TestSupport::ProcessResult byName =
        TestSupport::Run_Program("library_host.exe", "1 \"/LSXML=" + named + "\"");
    EXPECT_THAT(byName.output, HasSubstr("description: " + named + "\r\n"));
}

// The example as connection-files.md reads it: listed depth first in file
// order, each listing replacing what the array held, entries always with their
// whole subtree and no workspaces; attributes, properties and parameters; writes
// refused. A second load of a loaded library is refused, and after the clean-up
// (once or twice) nothing of it is called any more.
TEST_F(OldConnectionFile, ReadsTheExampleAndNothingAfterCleanUp)
{
    EXPECT_EQ(0, library.Get_Initialization_State().state);
    EXPECT_EQ(file, library.Get_Initialization_State().description.GetString());
    const BOOL entries = -1;
    struct Listing
    {
        const char* folder;
        BOOL recursive;
        int type;
        std::vector<std::string> keys;
    };
    const Listing listings[] = {
        {"", TRUE, TREE_ITEM_TYPE_FOLDER, {"F-PROD", "F-ERP", "F-ERP-EU", "F-TEST", "F-SERVER"}},
        {"", FALSE, TREE_ITEM_TYPE_FOLDER, {"F-PROD", "F-TEST", "F-SERVER"}},
        {"F-PROD", FALSE, TREE_ITEM_TYPE_FOLDER, {"F-ERP"}},
        {"", FALSE, TREE_ITEM_TYPE_WORKSPACE, {}},
        {"", entries, TREE_ITEM_TYPE_CONNECTION, {"C-QAS", "C-PRD", "C-TRN", "C-SRV"}},
        {"", entries, TREE_ITEM_TYPE_QORSHORTCUT, {"S-SU01"}},
        {"F-PROD", entries, TREE_ITEM_TYPE_ANY_ENTRY, {"C-QAS", "S-SU01", "C-PRD"}},
        {"F-TEST", entries, TREE_ITEM_TYPE_ANY_ENTRY, {"C-TRN", "L-PRD"}}};
    for (const Listing& listing : listings) {
        CStringArray keys;
        keys.Add("stale");
        ASSERT_EQ(0, listing.recursive == entries
                         ? library.GetEntryKeys(listing.folder, &keys, listing.type)
                         : library.GetSubFolderKeys(listing.folder, &keys, listing.recursive, listing.type));
        EXPECT_EQ(listing.keys, Keys(keys)) << listing.folder << " " << listing.recursive << " " << listing.type;
    }
    EXPECT_EQ("Production|Live systems - handle with care||1", Folder(library, "F-PROD"));
    EXPECT_EQ("Europe||F-ERP|0", Folder(library, "F-ERP-EU"));
    struct Attribute
    {
        const char* key;
        int code;
        const char* value;
    };
    const Attribute attributes[] = {{"F-SERVER", ITEM_ATTR_FOLDER_FROM_SERVER, "1"},
                                    {"F-PROD", ITEM_ATTR_FOLDER_FROM_SERVER, "0"},
                                    {"C-PRD", ITEM_ATTR_ENTRY_NAME, "ERP Production (PRD)"},
                                    {"C-PRD", ITEM_ATTR_ENTRY_TYPE, "402"},
                                    {"S-SU01", ITEM_ATTR_ENTRY_TYPE, "401"},
                                    {"L-PRD", ITEM_ATTR_ENTRY_TYPE, "400"},
                                    {"L-PRD", ITEM_ATTR_LINK_TARGET, "C-PRD"},
                                    {"C-TRN", ITEM_ATTR_ENTRY_SKIP_FLAG, "1"},
                                    {"C-PRD", ITEM_ATTR_ENTRY_SKIP_FLAG, "0"}};
    CString value;
    for (const Attribute& attribute : attributes) {
        ASSERT_EQ(0, attribute.code == ITEM_ATTR_FOLDER_FROM_SERVER
                         ? library.GetFolderAttribute(attribute.key, value)
                         : library.GetEntryAttribute(attribute.key, attribute.code, value));
        EXPECT_STREQ(attribute.value, value) << attribute.key << " " << attribute.code;
    }
    CMapStringToString properties;
    ASSERT_EQ(0, library.GetEntryData("S-SU01", &properties));
    EXPECT_EQ(3, properties.GetCount()) << "Name and Folder are no properties";
    EXPECT_TRUE(properties.Lookup("Transaction", value) && value == "SU01");
    ASSERT_EQ(0, library.GetParentFolderKey("C-PRD", value));
    EXPECT_STREQ("F-ERP-EU", value);
    ASSERT_EQ(0, library.GetConfigurationParameter("SystemStatusURL", value));
    EXPECT_STREQ("https://status.example.com/systems", value);
    EXPECT_EQ(CDM_E_NOT_FOUND, library.GetConfigurationParameter("NoSuchParameter", value));
    CLogonManagerLibrary writable(CLogonManagerLibrary::V01_OLD_LOGON_MANAGER, file, "", false);
    EXPECT_EQ(CDM_E_READ_ONLY, writable.AddFolder("", "x", TRUE, "", value, ""));
    EXPECT_EQ(CDM_E_READ_ONLY, writable.SetConfigurationParameter("SystemStatusURL", "x"));

    EXPECT_FALSE(library.Load_Library_File(library.Get_DLL_Path("qorcdm.dll")));
    EXPECT_EQ(0, library.GetParentFolderKey("C-PRD", value)) << "the library loaded first still answers";
    library.Cleanup_Library();
    library.Cleanup_Library();
    EXPECT_EQ(QOR::FrontEnd::Landscape::Migration::LibraryCall::Function_Missing,
              library.GetParentFolderKey("C-PRD", value));
}

// Free keys are honoured and taken ones replaced by a new UUID; a folder goes
// after its siblings or before the one named as next; what was added is there
// for the next instance, the link under the key of its target.
TEST_F(LandscapeLibrary, WhatIsAddedIsReadBackByAFreshInstance)
{
    CString local, production, test, first, value, connection("C-PRD"), again("C-PRD"), link("L-PRD");
    {
        auto library = Open();
        ASSERT_TRUE(library->Get_Main_Folder(local));
        ASSERT_EQ(0, library->AddFolder(local, "Production", TRUE, "Live systems", production, ""));
        ASSERT_EQ(0, library->AddFolder(local, "Test", FALSE, "", test, ""));
        ASSERT_EQ(0, library->AddFolder(local, "First", FALSE, "", first, production));
        ASSERT_EQ(0, library->AddEntryToFolder("ERP", TREE_ITEM_TYPE_CONNECTION, production, connection, "", nullptr));
        ASSERT_EQ(0, library->AddEntryToFolder("SU01", TREE_ITEM_TYPE_QORSHORTCUT, test, again, "", nullptr));
        ASSERT_EQ(0, library->AddEntryLinkToFolder("PRD from Test", "C-PRD", test, link, ""));
    }
    EXPECT_STREQ("C-PRD", connection);
    EXPECT_EQ(36, again.GetLength()) << again.GetString();
    EXPECT_STREQ("L-PRD", link);
    auto library = Open();
    CStringArray keys;
    ASSERT_TRUE(library->Get_Main_Folder(value));
    EXPECT_EQ(local, value);
    ASSERT_EQ(0, library->GetSubFolderKeys(local, &keys, FALSE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_EQ((std::vector<std::string>{first.GetString(), production.GetString(), test.GetString()}), Keys(keys));
    EXPECT_EQ("Production|Live systems|" + std::string(local.GetString()) + "|1", Folder(*library, production));
    ASSERT_EQ(0, library->GetEntryKeys(test, &keys, TREE_ITEM_TYPE_ANY_ENTRY));
    EXPECT_EQ((std::vector<std::string>{again.GetString(), "L-PRD"}), Keys(keys));
    ASSERT_EQ(0, library->GetEntryAttribute("L-PRD", ITEM_ATTR_LINK_TARGET, value));
    EXPECT_STREQ("C-PRD", value);
}

// The main folder is the first workspace named Local in any letter case, or a
// new Local when there is none. A landscape without workspaces has none, and
// Local from the included landscape is a conflict: the file stays as it was.
TEST_F(LandscapeLibrary, TheMainFolderIsTheFirstLocalWorkspaceOrANewOne)
{
    const std::string shared = folder / "QORUILandscapeGlobal.xml",
                      other = "<Workspace uuid=\"W-OTHER\" name=\"Other\"/>";
    TestSupport::Write_File(shared, "<Landscape><Workspaces><Workspace uuid=\"SERVER-LOCAL\" name=\"Local\"/>"
                                    "</Workspaces></Landscape>");
    const std::pair<std::string, const char*> cases[] = {
        // what the file holds (no file for ""), the folder found
        {"", "Local|||1"},
        {"<Workspaces>" + other + "</Workspaces>", "Local|||1"},
        {"<Workspaces>" + other +
             "<Workspace uuid=\"W-MIXED\" name=\"lOcAl\"/><Workspace uuid=\"W-UPPER\" "
             "name=\"LOCAL\"/></Workspaces>",
         "lOcAl|||0"},
        {"<Workspaces/>", nullptr},
        {"<Includes><Include index=\"0\" url=\"" + shared + "\"/></Includes>", nullptr}};
    for (const auto& [content, expected] : cases) {
        DeleteFileA(file.c_str());
        if (!content.empty())
            TestSupport::Write_File(file, "<Landscape>" + content + "</Landscape>");
        TestSupport::TraceTail tail;
        auto library = Open();
        CString local;
        ASSERT_EQ(expected != nullptr, library->Get_Main_Folder(local)) << content;
        if (expected) {
            EXPECT_EQ(expected, Folder(*library, local)) << content;
        }
        library.reset();
        const std::string trace = tail.Text();
        EXPECT_THAT(trace, TestSupport::Holds_If(!expected, "***ERROR***: "));
        EXPECT_THAT(trace, TestSupport::Holds_If(
                               content.find("Include") != std::string::npos,
                               ": Conflict: A workspace named 'LOCAL' was found in the server-Landscape-xml"));
        if (!expected) {
            EXPECT_EQ("<Landscape>" + content + "</Landscape>", TestSupport::Read_File(file)) << "left as it was";
        }
        if (content.empty()) {
            EXPECT_FALSE(TestSupport::Path_Exists(file)) << "a new file without changes is not written";
        }
    }
}
