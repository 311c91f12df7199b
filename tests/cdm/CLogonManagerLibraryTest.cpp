#include <gmock/gmock.h>

#include <string>

#include "CLogonManagerLibrary.h"
#include "LibraryCall.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using ::testing::HasSubstr;
using namespace TestSupport;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(new ProcessTrace([] { Get_Trace(4); }));

// What a call left in `value`, or the failure it returned.
std::string Answer(int rc, const CString& value) { return rc ? "returned " + std::to_string(rc) : value.GetString(); }

// The keys a listing gives, each followed by a blank: the sub-folders of
// `folder`, or its entries when `recursive` is -1. The array held a key
// before: each listing replaces what it held.
std::string Listed(CLogonManagerLibrary& library, const CString& folder, BOOL recursive, int type)
{
    CStringArray keys;
    keys.Add("stale");
    const int result = recursive < 0 ? library.GetEntryKeys(folder, &keys, type)
                                     : library.GetSubFolderKeys(folder, &keys, recursive, type);
    CString listed;
    for (long long i = 0; i < keys.GetSize(); ++i)
        listed += keys[i] + " ";
    return Answer(result, listed);
}

// "name|memo|parent|expanded" of a folder.
std::string Folder(CLogonManagerLibrary& library, const CString& key)
{
    CString name, memo, parent;
    int type = TREE_ITEM_TYPE_FOLDER;
    BOOL expanded = FALSE;
    const int result = library.GetFolderAttributes(key, name, type, expanded, memo, parent);
    return Answer(result, name + "|" + memo + "|" + parent + (expanded ? "|1" : "|0"));
}

// The example connection file of docs/, named by the host.
class OldConnectionFile : public ::testing::Test
{
protected:
    std::string file = Program_Folder() + "\\examples\\qorlogon.ini";
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

    CLogonManagerLibrary Open() { return {CLogonManagerLibrary::V02_SERVICE_LANDSCAPE, file, "", false}; }
};

} // namespace

// A client folder whose qorcdm.dll lacks CdmDataManExit: the loader takes the
// library beside itself, refuses it naming the first missing function, and
// never initialises it (its Init would answer 42).
TEST(Loading, AnIncompleteLibraryBesideTheLoaderIsRefused)
{
    ScratchDirectory folder;
    const std::string bin = Program_Folder() + "\\";
    for (const char* file : {"library_host.exe", "qorutil.dll", "qorcdm_proxy.dll", "qorcdm2.dll"})
        ASSERT_TRUE(CopyFileA((bin + file).c_str(), (folder / file).c_str(), FALSE)) << file;
    for (const char* runtime : {"libgcc_s_dw2-1.dll", "libwinpthread-1.dll"}) // 32-bit: the shared unwinder
        ASSERT_TRUE(!Path_Exists(bin + runtime) ||
                    CopyFileA((bin + runtime).c_str(), (folder / runtime).c_str(), FALSE))
            << runtime;
    ASSERT_TRUE(CopyFileA((bin + "incomplete_library.dll").c_str(), (folder / "qorcdm.dll").c_str(), FALSE));
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    EXPECT_EQ(0u, Run_Process(folder / "library_host.exe", "0").exitCode);
    std::string trace;
    for (const std::string& name : Files_In(folder.Path()))
        if (name.find(".trc") != std::string::npos)
            trace += Read_File(folder / name);
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
    const std::string notALandscape = "<?xml version=\"1.0\"?>\r\n<Other/>\r\n", named = folder / "named.xml";
    Write_File(common + "\\QORUILandscape.xml", notALandscape);
    Write_File(named, notALandscape);
    EnvironmentVariable appData("APPDATA", (folder / "AppData").c_str());
    EnvironmentVariable noNamedFile("QORLOGON_LSXML", nullptr);
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    EXPECT_THAT(Run_Program("library_host.exe", "1").output,
                HasSubstr("description: The file '" + common +
                          "\\QORUILandscape.xml' is not a landscape: its root element is 'Other'.\r\n"));
    EXPECT_THAT(Run_Program("library_host.exe", "1 \"/LSXML=" + named + "\"").output,
                HasSubstr("description: " + named + "\r\n"));
}

// The record of the opened example names the file the host named.
TEST_F(OldConnectionFile, TheRecordNamesTheFileTheHostNamed)
{
    EXPECT_EQ(0, library.Get_Initialization_State().state);
    EXPECT_EQ(file, library.Get_Initialization_State().description.GetString());
}

// A second load of a loaded library is refused, and after the clean-up (once
// or twice) nothing of it is called any more.
TEST_F(OldConnectionFile, TheFirstLoadedLibraryAnswersUntilTheCleanUp)
{
    CString value;
    EXPECT_FALSE(library.Load_Library_File(library.Get_DLL_Path("qorcdm.dll")));
    EXPECT_EQ(0, library.GetParentFolderKey("C-PRD", value)) << "the library loaded first still answers";
    library.Cleanup_Library();
    library.Cleanup_Library();
    EXPECT_EQ(LibraryCall::Function_Missing, library.GetParentFolderKey("C-PRD", value));
}

// Free keys are honoured and taken ones replaced by a new UUID; a folder goes
// after its siblings or before the one named as next; what was added is there
// for the next instance, the link under the key of its target.
TEST_F(LandscapeLibrary, WhatIsAddedIsReadBackByAFreshInstance)
{
    CString local, production, test, first, value, connection("C-PRD"), again("C-PRD"), link("L-PRD");
    {
        auto library = Open();
        ASSERT_TRUE(library.Get_Main_Folder(local));
        ASSERT_EQ(0, library.AddFolder(local, "Production", TRUE, "Live systems", production, ""));
        ASSERT_EQ(0, library.AddFolder(local, "Test", FALSE, "", test, ""));
        ASSERT_EQ(0, library.AddFolder(local, "First", FALSE, "", first, production));
        ASSERT_EQ(0, library.AddEntryToFolder("ERP", TREE_ITEM_TYPE_CONNECTION, production, connection, "", nullptr));
        ASSERT_EQ(0, library.AddEntryToFolder("SU01", TREE_ITEM_TYPE_QORSHORTCUT, test, again, "", nullptr));
        ASSERT_EQ(0, library.AddEntryLinkToFolder("PRD from Test", "C-PRD", test, link, ""));
    }
    EXPECT_STREQ("C-PRD", connection);
    EXPECT_EQ(36, again.GetLength()) << again.GetString();
    EXPECT_STREQ("L-PRD", link);
    auto library = Open();
    ASSERT_TRUE(library.Get_Main_Folder(value));
    EXPECT_EQ(local, value);
    EXPECT_EQ(std::string(first + " " + production + " " + test + " "),
              Listed(library, local, FALSE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_EQ("Production|Live systems|" + std::string(local.GetString()) + "|1", Folder(library, production));
    EXPECT_EQ(std::string(again + " L-PRD "), Listed(library, test, -1, TREE_ITEM_TYPE_ANY_ENTRY));
    EXPECT_EQ("C-PRD", Answer(library.GetEntryAttribute("L-PRD", ITEM_ATTR_LINK_TARGET, value), value));
}

// The main folder is the first workspace named Local in any letter case, or a
// new Local when there is none. A landscape without workspaces has none, and
// Local from the included landscape is a conflict: the file stays as it was.
TEST_F(LandscapeLibrary, TheMainFolderIsTheFirstLocalWorkspaceOrANewOne)
{
    const std::string shared = folder / "QORUILandscapeGlobal.xml",
                      other = "<Workspace uuid=\"W-OTHER\" name=\"Other\"/>",
                      conflict = ": Conflict: A workspace named 'LOCAL' was found in the server-Landscape-xml";
    Write_File(shared, "<Landscape><Workspaces><Workspace uuid=\"SERVER-LOCAL\" name=\"Local\"/>"
                       "</Workspaces></Landscape>");
    const std::pair<std::string, const char*> cases[] = {
        // what the file holds (no file for ""), the folder found
        {"", "Local|||1"},
        {"<Workspaces>" + other + "</Workspaces>", "Local|||1"},
        {"<Workspaces>" + other +
             "<Workspace uuid=\"W-MIXED\" name=\"lOcAl\"/><Workspace uuid=\"W-UPPER\" name=\"LOCAL\"/></Workspaces>",
         "lOcAl|||0"},
        {"<Workspaces/>", nullptr},
        {"<Includes><Include index=\"0\" url=\"" + shared + "\"/></Includes>", nullptr}};
    for (const auto& [content, expected] : cases) {
        DeleteFileA(file.c_str());
        if (!content.empty())
            Write_File(file, "<Landscape>" + content + "</Landscape>");
        TraceTail tail;
        {
            auto library = Open();
            CString local;
            ASSERT_EQ(expected != nullptr, library.Get_Main_Folder(local)) << content;
            if (expected) {
                EXPECT_EQ(expected, Folder(library, local)) << content;
            }
        }
        EXPECT_THAT(tail.Text(), Holds_If(!expected, "***ERROR***: ")) << content;
        EXPECT_THAT(tail.Text(), Holds_If(content.find("Include") != std::string::npos, conflict)) << content;
        if (!expected) {
            EXPECT_EQ("<Landscape>" + content + "</Landscape>", Read_File(file)) << "left as it was";
        }
        if (content.empty()) {
            EXPECT_FALSE(Path_Exists(file)) << "a new file without changes is not written";
        }
    }
}
