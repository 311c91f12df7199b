#include <gtest/gtest.h>

#include <random>
#include <string>

#include "CQorMsgMigrator.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using TestSupport::Read_File;
using TestSupport::ScratchDirectory;
using TestSupport::TraceTail;
using TestSupport::Write_File;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

std::string Example(const char* name) { return TestSupport::Program_Folder() + "\\examples\\" + name; }

class Converters : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    CMigrationToolConfig config;
    std::string shared = folder / "QORUILandscapeGlobal.xml";

    void SetUp() override
    {
        config.Set_Qormsg_INI_Path(Example("qormsg.ini"));
        config.Set_Windows_Services_File(Example("services"));
        config.Set_Qorroute_INI_Path(folder / "qorroute.ini");
        config.Set_Shared_Landscape_XML_Path(shared);
        config.Set_User_Landscape_XML_Path(folder / "QORUILandscape.xml");
        config.Set_Shared_TEDUOptions_XML_Path(folder / "shared_options.xml");
        config.Set_User_TEDUOptions_XML_Path(folder / "user_options.xml");
    }
};

} // namespace

TEST_F(Converters, AMissingLandscapeIsCreatedAfterAWarning)
{
    TraceTail tail;
    CQorMsgMigrator migrator(&config);
    ASSERT_TRUE(migrator.Do_Migration());
    EXPECT_TRUE(tail.Has("***WARNING*: TID: "));
    EXPECT_TRUE(tail.Has(": Cannot load Landscape from file '" + shared + "'. Message: "));
    EXPECT_TRUE(tail.Has(": Missing port number for server: 'TRN'.\r\n"));
    EXPECT_TRUE(tail.Has(": No node 'Messageservers' found. Creating a new one.\r\n"));
    EXPECT_EQ(3u, migrator.Get_Message_Servers().size()) << "the map keeps what was merged, for the port look-up";
    EXPECT_EQ(3600u, migrator.Get_Message_Servers().at("PRD").port);
}

TEST_F(Converters, ALandscapeWithAnotherRootIsLeftByteForByte)
{
    const std::string other = "<?xml version=\"1.0\"?>\r\n<landscape>\r\n  <Routers/>\r\n</landscape>\r\n";
    Write_File(shared, other);
    Write_File(folder / "qorroute.ini", "[Router]\nR=/H/r\n");
    Write_File(folder / "shared_options.xml", "<TeduOptions/>");
    TraceTail tail;
    EXPECT_FALSE(CQorMsgMigrator(&config).Do_Migration());
    EXPECT_FALSE(CQorRouteMigrator(&config).Do_Migration());
    EXPECT_FALSE(CTEDUOptionsMigrator(&config, true).Do_Migration());
    EXPECT_EQ(other, Read_File(shared));
    EXPECT_TRUE(tail.Has(": Root element was not Landscape as expected, but 'landscape'.\r\n"));
    EXPECT_TRUE(tail.Has(": Persisting message server configuration to file '" + shared + "' failed.\r\n"));
    EXPECT_TRUE(tail.Has(": Cannot persist landscape file '" + shared + "'.\r\n"));
    EXPECT_TRUE(tail.Has(": Cannot merge data into landscape '" + shared + "'.\r\n"));
}

TEST_F(Converters, AnElementWithoutNameRaisesComErrorOutOfDoMigration)
{
    Write_File(shared, "<Landscape><Messageservers><Messageserver host=\"x\"/></Messageservers>"
                       "<Routers><Router router=\"/H/x\"/></Routers></Landscape>");
    Write_File(folder / "qorroute.ini", "[Router]\nR=/H/r\n");
    try {
        CQorMsgMigrator(&config).Do_Migration();
        FAIL() << "no _com_error";
    } catch (const _com_error& error) {
        EXPECT_EQ(E_POINTER, error.Error());
    }
    try {
        CQorRouteMigrator(&config).Do_Migration();
        FAIL() << "no _com_error";
    } catch (const _com_error& error) {
        EXPECT_EQ(E_POINTER, error.Error());
    }
}

TEST_F(Converters, TheMainElementRuleTakesTheFirstDirectChild)
{
    Write_File(shared, "<Landscape><Other><Routers/></Other><!-- Routers --><Routers><Router name=\"A\" router=\"a\"/>"
                       "</Routers><Routers/></Landscape>");
    Write_File(folder / "qorroute.ini", "[Router]\nB=b\n");
    ASSERT_TRUE(CQorRouteMigrator(&config).Do_Migration());
    const std::string text = Read_File(shared);
    EXPECT_NE(std::string::npos, text.find("<Routers><Router name=\"A\" router=\"a\"/><Router uuid=")) << text;
    EXPECT_NE(std::string::npos, text.find("<Other><Routers/></Other>"));
    EXPECT_NE(std::string::npos, text.find("</Routers><Routers/></Landscape>")) << "no third Routers element";
}

TEST_F(Converters, RouterReaderWarnsForEveryLineWithoutEquals)
{
    Write_File(folder / "qorroute.ini", "[Router]\r\n; a comment\r\n\r\nR=/H/r/H/\r\n");
    TraceTail tail;
    CQorRouteMigrator migrator(&config);
    ASSERT_TRUE(migrator.Do_Migration());
    const std::string text = tail.Text();
    size_t warnings = 0;
    for (size_t at = text.find("Invalid router line detected: '"); at != std::string::npos;
         at = text.find("Invalid router line detected: '", at + 1))
        ++warnings;
    EXPECT_EQ(3u, warnings) << "comment, empty line and the empty last line";
    EXPECT_TRUE(tail.Has(": Invalid router line detected: '; a comment'.\r\n"));
    EXPECT_TRUE(tail.Has(": Invalid router line detected: ''.\r\n"));
    EXPECT_TRUE(tail.Has(": Removing trailing '/H/' from router string '/H/r/H/'.\r\n"));
    EXPECT_TRUE(tail.Has(":  ------- Total routers: 1.\r\n"));
}

TEST_F(Converters, NoRouterFileIsNoFailureAndTouchesNothing)
{
    TraceTail tail;
    EXPECT_TRUE(CQorRouteMigrator(&config).Do_Migration());
    EXPECT_TRUE(tail.Has(": Route file '" + (folder / "qorroute.ini") + "' does not exist. No routers to migrate.\r\n"));
    EXPECT_FALSE(TestSupport::Path_Exists(shared));
}

// Random bytes, a very long line, no final line feed: the reader never breaks.
TEST_F(Converters, HostileRouterFilesAreRead)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::string bytes = "[Router]\n";
        for (int i = 0; i < 5000; ++i)
            bytes += static_cast<char>(random() % 256);
        Write_File(folder / "qorroute.ini", bytes);
        DeleteFileA(shared.c_str());
        CQorRouteMigrator migrator(&config);
        migrator.Initialize();
        EXPECT_TRUE(migrator.Ini2Xml_Read_Qorroute_Ini());
    }
    Write_File(folder / "qorroute.ini", "[Router]\nLong=" + std::string(1 << 20, 'r') + "/H/");
    CQorRouteMigrator migrator(&config);
    ASSERT_TRUE(migrator.Do_Migration());
    ASSERT_EQ(1u, migrator.Get_Routers().size());
    EXPECT_EQ(size_t(1) << 20, migrator.Get_Routers().at("Long").router.size());
}

TEST_F(Converters, OptionsFilesThatCannotBeLoadedFailTheirHalfOnly)
{
    Write_File(folder / "shared_options.xml", "<TeduOptions><broken>");
    Write_File(folder / "user_options.xml", "<TeduOptions><RuntimeConnections><C><Name>n</Name></C>"
                                            "</RuntimeConnections></TeduOptions>");
    EXPECT_FALSE(CTEDUOptionsMigrator(&config, true).Do_Migration());
    EXPECT_FALSE(TestSupport::Path_Exists(shared)) << "the shared half did not load";
    EXPECT_NE(std::string::npos, Read_File(folder / "QORUILandscape.xml").find("name=\"n\""));
    EXPECT_TRUE(CTEDUOptionsMigrator(&config, false).Do_Migration()) << "the shared file is not read without the flag";
}
