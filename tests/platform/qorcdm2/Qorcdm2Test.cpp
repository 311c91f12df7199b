#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CLandscapeXmlDocument.h"
#include "CQorMsgRepair.h"
#include "CQorPcTrc.h"
#include "CXmlTree.h"
#include "CdmLibrary.h"
#include "CdmResults.h"
#include "TestSupport.h"
#include "XmlText.h"

using namespace TestSupport;
using ::testing::HasSubstr;

namespace {

// qorcdm2.dll with a landscape file of the test's own folder.
class LandscapeStorage : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    std::string file = folder / "QORUILandscape.xml";
    CdmLibrary cdm{CdmLibraryFile::V02_SERVICE_LANDSCAPE};
};

} // namespace

// The migration's sequence on a new file: the tree stays in memory (neither
// opening nor any change writes the file), an empty landscape saved as the file
// writes what the library holds, a document that loads the file gets it and
// saves it with the include, and closing writes nothing more.
// Keys asked for are used when free, "next" places an item before that sibling,
// and what XML cannot hold stays out of the file.
TEST_F(LandscapeStorage, TheMigrationsStepsEndUpInOneFile)
{
    ASSERT_EQ(0, cdm.Open(file));
    const CString local = cdm.Keys(HERE, "", FALSE, TREE_ITEM_TYPE_WORKSPACE);
    CString production("F-PROD"), first("F-PROD"), connection("C-PRD"), shortcut("S-SU01"), link("L"), message;
    ASSERT_EQ(0, cdm.AddFolder(local, "Production", TRUE, "Live systems", production, ""));
    ASSERT_EQ(0, cdm.AddFolder(local, "First", FALSE, "", first, "F-PROD"));
    CMapStringToString properties;
    properties.SetAt("SystemID", "PRD");
    ASSERT_EQ(0, cdm.AddEntryToFolder("ERP\x01 Production\x1f", TREE_ITEM_TYPE_CONNECTION, production, connection, "",
                                      &properties));
    ASSERT_EQ(0, cdm.AddEntryToFolder("SU01", TREE_ITEM_TYPE_QORSHORTCUT, production, shortcut, "C-PRD", nullptr));
    ASSERT_EQ(0, cdm.AddEntryLinkToFolder("PRD", "C-PRD", first, link, ""));
    EXPECT_EQ(36, first.GetLength()) << "a key in use gives a new UUID";
    EXPECT_FALSE(Path_Exists(file)) << "not saved at opening, nor item by item";
    ASSERT_TRUE(Qorcdm2::CLandscapeXmlDocument(true, nullptr).Save_To_File(CString(file.c_str())));
    EXPECT_THAT(Read_File(file), HasSubstr("name=\"First\"")) << "an empty landscape saved as the file";
    {
        Qorcdm2::CLandscapeXmlDocument document(false, nullptr);
        ASSERT_TRUE(document.Load_From_File(CString(file.c_str()), message, true)) << message.GetString();
        document.Set_Server_Include_URL("C:\\shared\\QORUILandscapeGlobal.xml");
        ASSERT_TRUE(document.Save_To_File(CString(file.c_str())));
    }
    const std::string saved = Read_File(file);
    ASSERT_EQ(0, cdm.Exit());
    EXPECT_EQ(saved, Read_File(file)) << "closing wrote again";
    EXPECT_EQ(
        "<Landscape><Includes><Include index=\"0\" url=\"C:\\shared\\QORUILandscapeGlobal.xml\"/></Includes>"
        "<Workspaces><Workspace uuid=\"" +
            std::string(local) + "\" name=\"Local\" expanded=\"1\"><Node uuid=\"" + std::string(first) +
            "\" name=\"First\" expanded=\"0\"><Item uuid=\"L\" serviceid=\"C-PRD\" "
            "name=\"PRD\"/></Node><Node uuid=\"F-PROD\" name=\"Production\" expanded=\"1\" description=\"Live "
            "systems\"><Item uuid=\"S-SU01\" serviceid=\"S-SU01\"/><Item uuid=\"C-PRD\" serviceid=\"C-PRD\"/></Node>"
            "</Workspace></Workspaces><Services><Service type=\"QORGUI\" uuid=\"C-PRD\" name=\"ERP Production\">"
            "<Property name=\"SystemID\" value=\"PRD\"/></Service>"
            "<Service type=\"QORSHORTCUT\" uuid=\"S-SU01\" name=\"SU01\"/></Services></Landscape>\n",
        saved.substr(saved.find("<Landscape>")));
}

// Someone else saves an empty landscape as the file while the library has it
// open but unchanged: the library takes that file over.
TEST_F(LandscapeStorage, AnEmptyLandscapeSavedMeanwhileIsTakenOver)
{
    ASSERT_EQ(0, cdm.Open(file));
    ASSERT_TRUE(Qorcdm2::CLandscapeXmlDocument(true, nullptr).Save_To_File(CString(file.c_str())));
    EXPECT_STREQ("", cdm.Keys(HERE, "", FALSE, TREE_ITEM_TYPE_WORKSPACE));
    CString key;
    ASSERT_EQ(0, cdm.AddFolder("", "Local", TRUE, "", key, ""));
    ASSERT_EQ(0, cdm.Exit());
    EXPECT_THAT(Read_File(file), HasSubstr("<Workspace uuid=\"" + std::string(key) + "\" name=\"Local\""));
}

// Another program overwrote the file while the library had it open: what it
// wrote does not load, so it is kept before the library's save replaces it.
TEST_F(LandscapeStorage, AFileChangedBehindTheLibrarysBackIsKeptBeforeItIsReplaced)
{
    Write_File(file, "<Landscape><Workspaces><Workspace uuid=\"W\" name=\"Local\" expanded=\"1\"/></Workspaces>"
                     "</Landscape>");
    ASSERT_EQ(0, cdm.Open(file));
    Write_File(file, "not a landscape at all");
    CString key;
    ASSERT_EQ(0, cdm.AddFolder("W", "Europe", TRUE, "", key, ""));
    ASSERT_EQ(0, cdm.Exit());
    EXPECT_EQ("not a landscape at all", Read_File(file + ".bak"));
    EXPECT_THAT(Read_File(file), HasSubstr("name=\"Europe\""));
}

// An include with index 0 whose file reads but is no landscape lends nothing:
// none of its workspaces is listed as the server's, and the trace says why.
TEST_F(LandscapeStorage, AnIncludedFileThatIsNoLandscapeLendsNothing)
{
    const std::string other = folder / "other.xml";
    Write_File(other, "<Other><Workspaces><Workspace uuid=\"W-SERVER\" name=\"Server\" expanded=\"1\"/>"
                      "</Workspaces></Other>");
    Write_File(file, "<Landscape><Includes><Include index=\"0\" url=\"" + other +
                         "\"/></Includes><Workspaces>"
                         "<Workspace uuid=\"W\" name=\"Local\" expanded=\"1\"/></Workspaces></Landscape>");
    EnvironmentVariable traceDirectory("QOR_TRACE_DIR", folder.Path().c_str());
    ASSERT_EQ(0, cdm.Open(file, QORPCTRC_LEVEL_WARNING, "included.trc"));
    EXPECT_STREQ("W", cdm.Keys(HERE, "", FALSE, TREE_ITEM_TYPE_WORKSPACE));
    ASSERT_EQ(0, cdm.Exit());
    const std::string trace = Read_File(folder / "included.trc");
    EXPECT_THAT(trace, HasSubstr("qorcdm2: the included landscape '" + other +
                                 "' cannot be read: its root element is not Landscape\r\n"));
}

// A landscape document saves another landscape as the open file: the library
// takes the file over and lists only what that landscape holds.
TEST_F(LandscapeStorage, ALandscapeSavedOverTheOpenFileReplacesItsEntries)
{
    const char* const workspace = "<Workspaces><Workspace uuid=\"W\" name=\"Local\" expanded=\"1\">";
    Write_File(file, std::string("<Landscape>") + workspace +
                         "<Item uuid=\"C-OLD\" serviceid=\"C-OLD\"/></Workspace>"
                         "</Workspaces><Services><Service type=\"QORGUI\" uuid=\"C-OLD\" name=\"Old\"/></Services>"
                         "</Landscape>");
    ASSERT_EQ(0, cdm.Open(file));
    ASSERT_STREQ("C-OLD", cdm.Keys(HERE, "", TRUE, TREE_ITEM_TYPE_ANY_ENTRY));
    Qorcdm2::CLandscapeXmlDocument other(false, nullptr);
    ASSERT_TRUE(other.Load_From_String(QOR::FrontEnd::MsXmlAdaptor::Wide_From_Utf8(
        std::string("<Landscape>") + workspace +
        "<Item uuid=\"C-NEW\" serviceid=\"C-NEW\"/></Workspace></Workspaces>"
        "<Services><Service type=\"QORGUI\" uuid=\"C-NEW\" name=\"New\"/>"
        "</Services></Landscape>")));
    ASSERT_TRUE(other.Save_To_File(CString(file.c_str())));
    EXPECT_STREQ("C-NEW", cdm.Keys(HERE, "", TRUE, TREE_ITEM_TYPE_ANY_ENTRY));
}

// A landscape document that the open library serves keeps what it showed once
// the library closes: it becomes a document of its own.
TEST_F(LandscapeStorage, ADocumentOfTheOpenLibraryKeepsItsContentWhenTheLibraryCloses)
{
    Write_File(file, "<Landscape><Workspaces><Workspace uuid=\"W\" name=\"Local\" expanded=\"1\"><Item uuid=\"C-PRD\" "
                     "serviceid=\"C-PRD\"/></Workspace></Workspaces><Services><Service type=\"QORGUI\" uuid=\"C-PRD\" "
                     "name=\"ERP Production\"/></Services></Landscape>");
    ASSERT_EQ(0, cdm.Open(file));
    Qorcdm2::CLandscapeXmlDocument document(false, nullptr);
    CString message;
    ASSERT_TRUE(document.Load_From_File(CString(file.c_str()), message, true)) << message.GetString();
    ASSERT_EQ(0, cdm.Exit());
    const std::wstring text = document.To_String();
    EXPECT_THAT(text, HasSubstr(L"<Service type=\"QORGUI\" uuid=\"C-PRD\" name=\"ERP Production\"/>"))
        << QOR::FrontEnd::MsXmlAdaptor::Utf8_From_Wide(text);
    EXPECT_TRUE(document.Is_Loaded());
}

TEST_F(LandscapeStorage, InitReportsFilesItCannotUse)
{
    for (const char* content : {"<Landscape><unclosed></Landscape>", "<Other/>"}) {
        SCOPED_TRACE(content);
        Write_File(file, content);
        EXPECT_EQ(CDM_INIT_FILE_UNREADABLE, cdm.Open(file));
        EXPECT_THAT(cdm.message.GetString(), HasSubstr(file));
        CStringArray keys;
        EXPECT_EQ(CDM_E_NOT_INITIALIZED, cdm.GetSubFolderKeys("", &keys, FALSE, TREE_ITEM_TYPE_WORKSPACE));
    }
    Write_File(file, "<Landscape/>");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CDM_INIT_FILE_NOT_WRITABLE, cdm.Open(file));
    EnvironmentVariable noAppData("APPDATA", nullptr), noFile("QORLOGON_LSXML", nullptr);
    EXPECT_EQ(CDM_INIT_NO_FILE_NAME, cdm.Open(""));
}

// Only the servers that connections name by SystemID and the shared landscape
// lacks are added, from qormsg.ini and the services file; when none is missing,
// nothing is written.
TEST(CQorMsgRepair, AddsOnlyTheServersThatConnectionsLack)
{
    ScratchDirectory folder;
    const std::string shared = folder / "QORUILandscapeGlobal.xml", examples = Program_Folder() + "\\examples\\";
    Write_File(shared, "<Landscape><Messageservers><Messageserver name=\"QAS\"/></Messageservers></Landscape>");
    CQorMsgRepair repair(examples + "qormsg.ini", examples + "services", examples + "QORUILandscape.xml", shared);
    ASSERT_TRUE(repair.Do_Migration());
    std::string text = Read_File(shared);
    EXPECT_THAT(text, HasSubstr("<Messageserver name=\"QAS\"/><Messageserver uuid=\""));
    EXPECT_THAT(text,
                HasSubstr("name=\"PRD\" description=\"ERP Production\" host=\"prd-ms.example.com\" port=\"3600\"/>"
                          "</Messageservers>"));
    std::replace(text.begin(), text.end(), '"', '\''); // as no save writes it
    Write_File(shared, text);
    ASSERT_TRUE(repair.Do_Migration());
    EXPECT_EQ(text, Read_File(shared)) << "nothing missing, nothing written";
}

// The tree takes only well-formed text, and an element keeps its attributes
// together when it gets one after another element got some.
TEST(XmlTree, RefusesAnAttributeWithoutItsEqualsSign)
{
    Qorcdm2::CXmlTree tree;
    EXPECT_TRUE(tree.Parse("<?xml version=\"1.0\"?><Landscape a=\"1\"/>"));
    EXPECT_FALSE(tree.Parse("<?xml version=\"1.0\"?><Landscape a \"1\"/>"));
}

TEST(XmlTree, ANewAttributeStaysWithItsElement)
{
    Qorcdm2::CXmlTree tree;
    ASSERT_TRUE(tree.Parse("<?xml version=\"1.0\"?><Landscape><a x=\"1\"/><b y=\"2\"/></Landscape>"));
    tree.Set_Attribute(tree.First_Element(tree.Root(), "a"), "z", "3");
    std::string text;
    tree.Write(text);
    EXPECT_THAT(text, HasSubstr("<Landscape><a x=\"1\" z=\"3\"/><b y=\"2\"/></Landscape>"));
}
