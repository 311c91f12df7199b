#include <gtest/gtest.h>

#include <string>

#include "CdmLibrary.h"
#include "CdmResults.h"
#include "TestSupport.h"

using namespace TestSupport;

namespace {

// qorcdm.dll reading a connection file of the test's own folder.
class QorCdm : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    EnvironmentVariable traceDirectory{"QOR_TRACE_DIR", folder.Path().c_str()};
    CdmLibrary cdm{CdmLibraryFile::V01_OLD_LOGON_MANAGER};
    std::string file = folder / "qorlogon.ini";

    int Open(const std::string& text)
    {
        Write_File(file, text);
        return cdm.Open(file, 2, "test_lm01.trc");
    }
    // A folder's "name|expanded|memo|parent|from server" and an entry's "name|type|
    // link target|skip flag|folder", each attribute as the library answers it.
    CString Folder(const TestSupport::Caller& at, const char* key)
    {
        CString name, memo, parent, fromServer, text;
        int type = 0;
        BOOL expanded = FALSE;
        const int attributes = cdm.GetFolderAttributes(key, name, type, expanded, memo, parent);
        EXPECT_AT(at, attributes == 0) << "GetFolderAttributes(" << key << ") returned " << attributes;
        const int fromServerResult = cdm.GetFolderAttribute(key, ITEM_ATTR_FOLDER_FROM_SERVER, fromServer);
        EXPECT_AT(at, fromServerResult == 0) << "GetFolderAttribute(" << key << ") returned " << fromServerResult;
        text.Format("%s|%d|%s|%s|%s", name, expanded, memo, parent, fromServer);
        return text;
    }
    CString Entry(const TestSupport::Caller& at, const char* key)
    {
        CString name, type, target, skip, folder, text;
        for (const auto& [attribute, value] :
             {std::make_pair(ITEM_ATTR_ENTRY_NAME, &name), std::make_pair(ITEM_ATTR_ENTRY_TYPE, &type),
              std::make_pair(ITEM_ATTR_LINK_TARGET, &target), std::make_pair(ITEM_ATTR_ENTRY_SKIP_FLAG, &skip)}) {
            const int result = cdm.GetEntryAttribute(key, attribute, *value);
            EXPECT_AT(at, result == 0) << "GetEntryAttribute(" << key << ", " << attribute << ") returned " << result;
        }
        const int parent = cdm.GetParentFolderKey(key, folder);
        EXPECT_AT(at, parent == 0) << "GetParentFolderKey(" << key << ") returned " << parent;
        text.Format("%s|%s|%s|%s|%s", name, type, target, skip, folder);
        return text;
    }
};

} // namespace

// Comments and blank lines, blanks around names and values, section words in any
// case, three kinds of line end, a value up to the end of its line or a NUL, a
// last line without line end. Lines that cannot be used are handled as documented.
const char Documented_File[] =
    "orphan=1\n; c\r\n# c\r\n\r\n[folder  A ]\r\n  Name = A = b ; c \t\r\nExpanded=1\r\r" // 1-8
    "[Folder a]\nParent=A\nMemo=m\nFromServer=1\nno equals sign\n=x\nColour=blue\n"       // 9-15
    "Expanded=yes\n[CONNECTION C]\nName=c\nFolder=a\n SystemID\t= PRD\nSkip=1\n"          // 16-21
    "Memo=x\x01y\0z\nClient=1\nClient=3\n[Shortcut S]\nFolder=a\n[Link L]\nTarget=C\n"    // 22-28
    "Folder=A\n[Gadget G]\nName=x\n[Folder]\n[Folder B\nName=x\n[Connection A]\n"         // 29-35
    "[Connection X]\nFolder=NOWHERE\n[Folder D]\nParent=MISSING\n[Folder E]\nParent=F\n"  // 36-41
    "[Folder F]\nParent=E\n[Link N]\n[Parameters]\nSystemStatusURL=1\nSystemStatusURL=2"; // 42-47

// Folders and entries in file order, depth first.
TEST_F(QorCdm, TheTreeIsReadAsDocumented)
{
    ASSERT_EQ(0, Open(std::string(Documented_File, sizeof(Documented_File) - 1)));
    EXPECT_STREQ("A D E", cdm.Keys(HERE, "", FALSE, TREE_ITEM_TYPE_FOLDER));
    EXPECT_STREQ("A a D E F", cdm.Keys(HERE, "", TRUE, TREE_ITEM_TYPE_FOLDER)) << "depth first";
    EXPECT_STREQ("X N L C S", cdm.Keys(HERE, "", TRUE, TREE_ITEM_TYPE_ANY_ENTRY)) << "a folder's, then its subfolders'";
    EXPECT_STREQ("", cdm.Keys(HERE, "", TRUE, TREE_ITEM_TYPE_WORKSPACE));
    EXPECT_STREQ("A = b ; c|1|||0  |0|m|A|1", Folder(HERE, "A") + "  " + Folder(HERE, "a"));
    EXPECT_STREQ("c|402||1|a", Entry(HERE, "C"));
    EXPECT_STREQ("|401||0|a  |400|C|0|A", Entry(HERE, "S") + "  " + Entry(HERE, "L"));
    EXPECT_STREQ("|400||0|  |402||0|", Entry(HERE, "N") + "  " + Entry(HERE, "X")) << "at the top";
}

// An entry's properties and the file's parameters, the last of a name winning;
// Memo is kept as read, up to the NUL.
TEST_F(QorCdm, ValuesAreReadAsDocumented)
{
    ASSERT_EQ(0, Open(std::string(Documented_File, sizeof(Documented_File) - 1)));
    CMapStringToString properties;
    ASSERT_EQ(0, cdm.GetEntryData("C", &properties));
    EXPECT_EQ(3, properties.GetCount());
    const std::pair<const char*, const char*> expected[] = {{"Memo", "x\x01y"}, {"SystemID", "PRD"}, {"Client", "3"}};
    for (const auto& [name, text] : expected) {
        CString value("missing");
        properties.Lookup(name, value);
        EXPECT_STREQ(text, value) << name;
    }
    CString value, single("stale");
    EXPECT_EQ(0, cdm.GetConfigurationParameter("SystemStatusURL", value));
    EXPECT_EQ(0, cdm.GetConfigurationParameter("SingleSystemStatusURL", single)) << "the client's own parameters";
    EXPECT_STREQ("2|", value + "|" + single);
    EXPECT_EQ(CDM_E_NOT_FOUND, cdm.GetConfigurationParameter("systemstatusurl", value));
}
