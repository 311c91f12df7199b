// The read-only session on a connection store: why a store did not open. The
// tree it reads is checked by the administrator's verification (admin_tests).
#include <gtest/gtest.h>

#include <string>

#include "CdmSession.h"
#include "TestSupport.h"

using namespace QOR::FrontEnd::Landscape::Migration;

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
