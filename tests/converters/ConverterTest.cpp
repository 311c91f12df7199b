#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "CQorMsgMigrator.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using ::testing::HasSubstr;
using TestSupport::Read_File;
using TestSupport::TraceTail;
using TestSupport::Write_File;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

class Converters : public ::testing::Test
{
protected:
    TestSupport::ScratchDirectory folder;
    CMigrationToolConfig config;
    std::string shared = folder / "QORUILandscapeGlobal.xml", routes = folder / "qorroute.ini";

    void SetUp() override
    {
        const std::string examples = TestSupport::Program_Folder() + "\\examples\\";
        config.Set_Qormsg_INI_Path(examples + "qormsg.ini");
        config.Set_Windows_Services_File(examples + "services");
        config.Set_Qorroute_INI_Path(routes);
        config.Set_Shared_Landscape_XML_Path(shared);
        config.Set_User_Landscape_XML_Path(folder / "QORUILandscape.xml");
        config.Set_Shared_TEDUOptions_XML_Path(folder / "shared_options.xml");
        config.Set_User_TEDUOptions_XML_Path(folder / "user_options.xml");
    }
};

} // namespace

// The server map keeps what was merged: the engine takes missing ports from it.
TEST_F(Converters, AMissingLandscapeIsCreatedAndAServerWithoutPortIsReported)
{
    TraceTail tail;
    CQorMsgMigrator migrator(&config);
    ASSERT_TRUE(migrator.Do_Migration());
    EXPECT_TRUE(TestSupport::Path_Exists(shared));
    EXPECT_TRUE(tail.Has_Line("***WARNING*: ", ": Missing port number for server: 'TRN'.\r\n"));
    EXPECT_EQ(3u, migrator.Get_Message_Servers().size());
    EXPECT_EQ(3600u, migrator.Get_Message_Servers().at("PRD").port);
}

TEST_F(Converters, ALandscapeWithAnotherRootIsLeftByteForByte)
{
    const std::string other = "<?xml version=\"1.0\"?>\r\n<landscape>\r\n  <Routers/>\r\n</landscape>\r\n";
    Write_File(shared, other);
    Write_File(routes, "[Router]\nR=/H/r\n");
    Write_File(folder / "shared_options.xml", "<TeduOptions/>");
    TraceTail tail;
    EXPECT_FALSE(CQorMsgMigrator(&config).Do_Migration());
    EXPECT_FALSE(CQorRouteMigrator(&config).Do_Migration());
    EXPECT_FALSE(CTEDUOptionsMigrator(&config, true).Do_Migration());
    EXPECT_EQ(other, Read_File(shared));
    EXPECT_TRUE(tail.Has_Line("***ERROR***: ", ": Root element was not Landscape as expected, but 'landscape'.\r\n"));
}

// No router file is nothing to migrate. In a [Router] section every line
// without '=' is reported; a trailing /H/ goes, however long the line and
// whether or not it ends in a line feed.
TEST_F(Converters, TheRouterFileIsReadLineByLine)
{
    TraceTail missing;
    EXPECT_TRUE(CQorRouteMigrator(&config).Do_Migration());
    EXPECT_FALSE(TestSupport::Path_Exists(shared));
    EXPECT_TRUE(missing.Has(": Route file '" + routes + "' does not exist. No routers to migrate.\r\n"));
    const std::string invalid = ": Invalid router line detected: '", longRouter(1 << 20, 'r');
    Write_File(routes, "[Router]\r\n; a comment\r\n\r\nR=/H/r/H/\r\nLong=" + longRouter + "/H/");
    TraceTail tail;
    CQorRouteMigrator migrator(&config);
    ASSERT_TRUE(migrator.Do_Migration());
    ASSERT_EQ(2u, migrator.Get_Routers().size());
    EXPECT_EQ("/H/r", migrator.Get_Routers().at("R").router);
    EXPECT_TRUE(migrator.Get_Routers().at("Long").router == longRouter);
    EXPECT_TRUE(tail.Has_Line("***WARNING*: ", invalid + "; a comment'.\r\n")) << tail.Text();
    EXPECT_TRUE(tail.Has_Line("***WARNING*: ", invalid + "'.\r\n"));
}

// The machine's options file goes to the shared landscape only when asked to,
// the user's to the user landscape; one that cannot be loaded fails its half only.
TEST_F(Converters, OptionsFilesThatCannotBeLoadedFailTheirHalfOnly)
{
    Write_File(folder / "shared_options.xml", "<TeduOptions><broken>");
    Write_File(folder / "user_options.xml", "<TeduOptions><RuntimeConnections><C><Name>n</Name></C>"
                                            "</RuntimeConnections></TeduOptions>");
    EXPECT_FALSE(CTEDUOptionsMigrator(&config, true).Do_Migration());
    EXPECT_FALSE(TestSupport::Path_Exists(shared));
    EXPECT_THAT(Read_File(folder / "QORUILandscape.xml"), HasSubstr("name=\"n\""));
    EXPECT_TRUE(CTEDUOptionsMigrator(&config, false).Do_Migration());
}
