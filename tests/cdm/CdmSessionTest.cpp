// The read-only session on a connection store: the tree the library lists, as
// plain data, and why a store did not open.
#include <gtest/gtest.h>

#include <string>

#include "CdmSession.h"
#include "TestSupport.h"

using QOR::FrontEnd::Landscape::Migration::CdmLibraryFile;
using QOR::FrontEnd::Landscape::Migration::CdmSession;
using QOR::FrontEnd::Landscape::Migration::ConnectionTree;

namespace {

const CdmLibraryFile& Old_Library()
{
    static const CdmLibraryFile library(CdmLibraryFile::V01_OLD_LOGON_MANAGER);
    return library;
}

} // namespace

TEST(CdmSession, ReadsTheTreeInTheOrderTheLibraryListsIt)
{
    const CdmSession session(Old_Library(), TestSupport::Program_Folder() + "\\examples\\qorlogon.ini");
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

TEST(CdmSession, AFileThatDoesNotOpenGivesTheLibrarysReason)
{
    TestSupport::ScratchDirectory folder;
    const CdmSession session(Old_Library(), folder / "missing.ini");
    EXPECT_FALSE(session.Is_Open());
    EXPECT_NE(0, session.State());
    EXPECT_NE("", session.Message());
    EXPECT_TRUE(session.Read().Folders().empty());
}

TEST(CdmSession, ALibraryThatDoesNotLoadIsNamed)
{
    const CdmLibraryFile nowhere(TestSupport::Program_Folder() + "\\no-such-library.dll");
    const CdmSession session(nowhere, "");
    EXPECT_FALSE(session.Is_Open());
    EXPECT_EQ(TestSupport::Program_Folder() + "\\no-such-library.dll cannot be loaded", session.Message());
}
