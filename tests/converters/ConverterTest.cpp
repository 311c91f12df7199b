#include <gtest/gtest.h>

#include <string>

#include "CQorMsgMigrator.h"
#include "CQorRouteMigrator.h"
#include "CTEDUOptionsMigrator.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using namespace TestSupport;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(new ProcessTrace([] { Get_Trace(4); }));

class Converters : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    CMigrationToolConfig config;
    std::string shared = folder / "QORUILandscapeGlobal.xml", routes = folder / "qorroute.ini";

    void SetUp() override
    {
        config.Set_Qormsg_INI_Path(Program_Folder() + "\\examples\\qormsg.ini");
        config.Set_Windows_Services_File(Program_Folder() + "\\examples\\services");
        config.Set_Qorroute_INI_Path(routes);
        config.Set_Shared_Landscape_XML_Path(shared);
        config.Set_User_Landscape_XML_Path(folder / "QORUILandscape.xml");
        config.Set_Shared_TEDUOptions_XML_Path(folder / "shared_options.xml");
        config.Set_User_TEDUOptions_XML_Path(folder / "user_options.xml");
    }
};

} // namespace

// A missing landscape is created. The server map keeps what was merged: the
// engine takes missing ports from it; a server without one is reported.
TEST_F(Converters, MessageServersAreMigratedIntoANewLandscape)
{
    TraceTail tail;
    CQorMsgMigrator migrator(&config);
    ASSERT_TRUE(migrator.Do_Migration());
    EXPECT_TRUE(Path_Exists(shared));
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
    EXPECT_FALSE(Path_Exists(shared));
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
    EXPECT_FALSE(Path_Exists(shared));
    EXPECT_TRUE(Holds(Read_File(folder / "QORUILandscape.xml"), "name=\"n\""));
    EXPECT_TRUE(CTEDUOptionsMigrator(&config, false).Do_Migration());
}

// Each converter on known input, the landscape files it wrote left for a reader
// other than MSXML (check_with_xmllint.sh) in the folder CONVERTER_OUTPUT names.
// Message servers into a new landscape; into one that has QAS, and "prd" in
// another letter case; twice into the same file. Routers: blanks, a trailing
// /H/, a name given twice, other sections, and a router the landscape has
// already, in the first Routers element that is a child of the root. Options
// files: the machine's (three lists, one nested too deep to count) and the
// user's, twice; the second time the user has none.
TEST_F(Converters, TheScenariosForAnotherReaderSucceed)
{
    char named[MAX_PATH] = "";
    const std::string out =
        (GetEnvironmentVariableA("CONVERTER_OUTPUT", named, MAX_PATH) ? named : folder.Path()) + "\\";
    Write_File(out + "msg_existing.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Messageservers>"
                                         "<Messageserver uuid=\"OLD-1\" name=\"QAS\" host=\"old-host\"/>"
                                         "<Messageserver uuid=\"OLD-2\" name=\"prd\"/></Messageservers></Landscape>");
    for (const std::string scenario : {"msg_new", "msg_existing", "msg_twice", "msg_twice"}) {
        config.Set_Shared_Landscape_XML_Path(out + scenario + ".xml");
        EXPECT_TRUE(CQorMsgMigrator(&config).Do_Migration()) << scenario;
    }
    Write_File(out + "qorroute.ini", "Outside=/H/ignored/H/\n[Router]\n   MyRouter=/H/host/S/3299/H/   \nA = /H/x/H/\n"
                                     "X=a\nX=b\nOnlyH=/H/\n[router]\nLower=ignored\n[Router]\nInner=/H/a/H/b\n");
    Write_File(out + "routers.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Other><Routers/></Other><!-- Routers -->"
               "<Routers><Router uuid=\"OLD\" name=\"X\" router=\"old\"/></Routers><Routers/></Landscape>");
    config.Set_Qorroute_INI_Path(out + "qorroute.ini");
    config.Set_Shared_Landscape_XML_Path(out + "routers.xml");
    EXPECT_TRUE(CQorRouteMigrator(&config).Do_Migration()) << "routers";
    Write_File(
        out + "shared_options.xml",
        "<?xml version=\"1.0\"?>\n<TeduOptions><RuntimeConnections>"
        "<RuntimeConnection Invisible=\"true\"><Name>Runtime A</Name><Client>100</Client><Slc>true</Slc>"
        "<QorlogonDescr>ERP Production (PRD)</QorlogonDescr></RuntimeConnection>"
        "<RuntimeConnection Invisible=\"false\"><Name>Runtime B</Name><Comment>second</Comment>"
        "<QorlogonDescr>erp production (prd)</QorlogonDescr></RuntimeConnection></RuntimeConnections>"
        "<SearchProviderConnections><SearchProviderConnection><Name>Search</Name><Url>https://s.example</Url>"
        "<UseSecureLoginClient>false</UseSecureLoginClient></SearchProviderConnection></SearchProviderConnections>"
        "<SidePanelConnections><SidePanelConnection><Name>Panel</Name><Mnemonic>PNL</Mnemonic>"
        "</SidePanelConnection></SidePanelConnections><Other><RuntimeConnections><RuntimeConnection>"
        "<Name>Nested</Name></RuntimeConnection></RuntimeConnections></Other></TeduOptions>");
    Write_File(out + "user_options.xml", "<TeduOptions><RuntimeConnections><RuntimeConnection><Name>Mine</Name>"
                                         "</RuntimeConnection></RuntimeConnections></TeduOptions>");
    Write_File(out + "options_shared.xml", "<?xml version=\"1.0\"?>\n<Landscape><Services>"
                                           "<Service type=\"QORGUI\" uuid=\"QG-1\" name=\"ERP Production (PRD)\"/>"
                                           "</Services></Landscape>");
    Write_File(out + "options_user.xml",
               "<?xml version=\"1.0\"?>\n<Landscape><Workspaces><Workspace uuid=\"W-LOCAL\" "
               "name=\"Local\"/><Workspace uuid=\"W-2\" name=\"Two\"/></Workspaces></Landscape>");
    config.Set_Shared_TEDUOptions_XML_Path(out + "shared_options.xml");
    config.Set_Shared_Landscape_XML_Path(out + "options_shared.xml");
    config.Set_User_Landscape_XML_Path(out + "options_user.xml");
    for (const std::string user : {"user_options.xml", "absent_options.xml"}) {
        config.Set_User_TEDUOptions_XML_Path(out + user);
        EXPECT_TRUE(CTEDUOptionsMigrator(&config, true).Do_Migration()) << user;
    }
}
