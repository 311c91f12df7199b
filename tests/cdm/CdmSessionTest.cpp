// The read-only session on a connection store: the tree the library lists, as
// plain data, and why a store did not open.
#include <gtest/gtest.h>

#include <string>

#include "CdmSession.h"
#include "TestSupport.h"

using namespace QOR::FrontEnd::Landscape::Migration;

TEST(CdmSession, ReadsTheTreeInTheOrderTheLibraryListsIt)
{
    const CdmLibraryFile library(CdmLibraryFile::V01_OLD_LOGON_MANAGER);
    const CdmSession session(library, TestSupport::Program_Folder() + "\\examples\\qorlogon.ini");
    ASSERT_TRUE(session.Is_Open()) << session.Message();
    const ConnectionTree tree = session.Read();
    std::string folders;
    for (const ConnectionTree::Folder& folder : tree.Folders())
        folders += folder.key + " ";
    EXPECT_EQ(0u, folders.find("F-PROD F-ERP F-ERP-EU F-TEST F-SERVER ")) << folders;
    const ConnectionTree::Entry* production = tree.Find_Entry("C-PRD");
    ASSERT_NE(nullptr, production);
    EXPECT_EQ("ERP Production (PRD)", production->name);
    EXPECT_EQ("F-ERP-EU", production->parent);
    EXPECT_EQ("3600", production->properties.at("MsgServerPort"));
    const ConnectionTree::Folder* server = tree.Find_Folder("F-SERVER");
    ASSERT_NE(nullptr, server);
    EXPECT_TRUE(server->fromServer);
}

// A file that does not open gives the library's reason; a library that does
// not load is named.
TEST(CdmSession, ASessionThatDoesNotOpenSaysWhy)
{
    TestSupport::ScratchDirectory folder;
    const CdmLibraryFile library(CdmLibraryFile::V01_OLD_LOGON_MANAGER);
    const CdmSession noFile(library, folder / "missing.ini");
    EXPECT_FALSE(noFile.Is_Open());
    EXPECT_NE(0, noFile.State());
    EXPECT_NE("", noFile.Message());
    EXPECT_TRUE(noFile.Read().Folders().empty());
    const std::string nowhere = TestSupport::Program_Folder() + "\\no-such-library.dll";
    const CdmLibraryFile missing(nowhere);
    const CdmSession noLibrary(missing, "");
    EXPECT_FALSE(noLibrary.Is_Open());
    EXPECT_EQ(nowhere + " cannot be loaded", noLibrary.Message());
}
