#include <gtest/gtest.h>

#include <string>

#include "CMigrationToolConfig.h"
#include "TestSupport.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;
using TestSupport::Crlf;
using TestSupport::ScratchDirectory;
using TestSupport::TraceTail;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

const char* const Default_Text = "CMigrationToolConfig:\n"
                                 "  check                       = 0\n"
                                 "  force                       = 0\n"
                                 "  simulation                  = 0\n"
                                 "  dump_mappings               = 0\n"
                                 "  dump_contents               = 0\n"
                                 "  qorlogon_ini_path           = **missing** \n"
                                 "  qormsg_ini_path             = **missing** \n"
                                 "  qorroute_ini_path           = **missing** \n"
                                 "  services_file               = **missing** \n"
                                 "  user_landscape_xml_path     = **missing** \n"
                                 "  shared_landscape_xml_path   = **missing** \n"
                                 "  user_teduoptions_xml_path   = **missing** \n"
                                 "  shared_teduoptions_xml_path = **missing** \n";

// A configuration that is valid as it stands: an existing connection file and
// two landscape files that do not exist yet.
class ValidConfiguration : public ::testing::Test
{
protected:
    ScratchDirectory folder;
    CMigrationToolConfig config;

    void SetUp() override
    {
        TestSupport::Write_File(folder / "qorlogon.ini", "[x]\n");
        config.Set_Qorlogon_INI_Path(folder / "qorlogon.ini");
        config.Set_User_Landscape_XML_Path(folder / "QORUILandscape.xml");
        config.Set_Shared_Landscape_XML_Path(folder / "QORUILandscapeGlobal.xml");
    }
};

} // namespace

TEST(CMigrationToolConfig, DefaultPrintsFlagsAsZeroAndEveryPathMissing)
{
    EXPECT_EQ(Default_Text, CMigrationToolConfig().To_String());
}

TEST(CMigrationToolConfig, ExistingFileIsMarkedAndFlagsPrintAsOne)
{
    ScratchDirectory folder;
    TestSupport::Write_File(folder / "services", "");
    CMigrationToolConfig config;
    config.Set_Force(true);
    config.Set_Windows_Services_File(folder / "services");
    config.Set_Qormsg_INI_Path(folder.Path()); // a folder is not a file
    const std::string text = config.To_String();
    EXPECT_NE(std::string::npos, text.find("  force                       = 1\n"));
    EXPECT_NE(std::string::npos, text.find("  services_file               =  (exists)   " + (folder / "services") + "\n"));
    EXPECT_NE(std::string::npos, text.find("  qormsg_ini_path             = **missing** " + folder.Path() + "\n"));
}

TEST(CMigrationToolConfig, CopiesCarryEveryMember)
{
    CMigrationToolConfig original;
    original.Set_Check(true);
    original.Set_Simulation(true);
    original.Set_Dump_Mappings(true);
    original.Set_Dump_Contents(true);
    original.Set_Qorroute_INI_Path("route");
    original.Set_User_TEDUOptions_XML_Path("user options");
    original.Set_Shared_TEDUOptions_XML_Path("shared options");
    TraceTail tail;
    const CMigrationToolConfig copy(original);
    EXPECT_EQ(original.To_String(), copy.To_String());
    EXPECT_TRUE(tail.Has(Crlf("CALL(other=" + original.To_String() + "\nthis=" + copy.To_String() + "\n)\n")));
    CMigrationToolConfig assigned;
    assigned = original;
    EXPECT_EQ(original.To_String(), assigned.To_String());
    EXPECT_TRUE(assigned.Is_Check() && assigned.Is_Simulation() && assigned.Dump_Mappings() &&
                assigned.Dump_Contents() && !assigned.Is_Forced());
    EXPECT_EQ("shared options", assigned.Get_Shared_TEDUOptions_XML_Path());
}

TEST(CMigrationToolConfig, SettersStoreUnchangedAndTraceTheMember)
{
    CMigrationToolConfig config;
    TraceTail tail;
    config.Set_Qormsg_INI_Path("  relative\\qormsg.ini ");
    EXPECT_EQ("  relative\\qormsg.ini ", config.Get_Qormsg_INI_Path());
    EXPECT_TRUE(tail.Has("CMigrationToolConfig::Set_Qormsg_INI_Path["));
    EXPECT_TRUE(tail.Has("CALL(value=  relative\\qormsg.ini )\r\n"));
    EXPECT_TRUE(tail.Has(": m_qormsg_ini_path=  relative\\qormsg.ini \r\n"));
    EXPECT_TRUE(tail.Has("CMigrationToolConfig::Get_Qormsg_INI_Path/"));
    EXPECT_TRUE(tail.Has("Setting return value:(  relative\\qormsg.ini )"));
    config.Set_Dump_Contents(true);
    EXPECT_TRUE(tail.Has("CALL(value=1)\r\n"));
    EXPECT_TRUE(config.Dump_Contents());
    EXPECT_TRUE(tail.Has("CMigrationToolConfig::Dump_Contents/"));
}

TEST(CMigrationToolConfig, DefaultConstructorTracesItsText)
{
    TraceTail tail;
    const CMigrationToolConfig config;
    const std::string text = tail.Text();
    const size_t call = text.find("CMigrationToolConfig::CMigrationToolConfig[");
    ASSERT_NE(std::string::npos, call) << text;
    // The argument list repeats the line prefix, then the configuration.
    const size_t arguments = text.find(": CALL(TID: " + std::to_string(GetCurrentThreadId()) +
                                       ", CMigrationToolConfig::CMigrationToolConfig[", call);
    ASSERT_NE(std::string::npos, arguments) << text;
    EXPECT_NE(std::string::npos, text.find("]/", arguments));
    EXPECT_NE(std::string::npos, text.find(": " + Crlf(Default_Text) + ")\r\n", arguments)) << text;
}

TEST(CMigrationToolConfig, CheckModeIsValidWithEveryPathEmpty)
{
    CMigrationToolConfig config;
    config.Set_Check(true);
    TraceTail tail;
    EXPECT_TRUE(config.Is_Valid());
    EXPECT_TRUE(tail.Has(": Is_Check() returned true\r\n"));
    EXPECT_FALSE(tail.Has("qorlogon_ini_on="));
}

TEST_F(ValidConfiguration, IsValidWithMissingOptionsFilesTracedAtLevelFour)
{
    config.Set_User_TEDUOptions_XML_Path(folder / "user.xml");
    config.Set_Shared_TEDUOptions_XML_Path(folder / "shared.xml");
    TraceTail tail;
    EXPECT_TRUE(config.Is_Valid());
    EXPECT_TRUE(tail.Has("qorlogon_ini_on=true,user_teduoptions_on=true,shared_teduoptions_on=true,"
                         "user_landscape_on=true,shared_landscape_on=true\r\n"));
    EXPECT_TRUE(tail.Has("qorlogon_ini_ok=1,user_teduoptions_ok=0,shared_teduoptions_ok=0,user_landscape_ok=1,"
                         "shared_landscape_ok=1\r\n"));
    EXPECT_TRUE(tail.Has(": User TEDUOptions file " + (folder / "user.xml") + " does not exist.\r\n"));
    EXPECT_TRUE(tail.Has(": Shared TEDUOptions file " + (folder / "shared.xml") + " does not exist.\r\n"));
    EXPECT_FALSE(tail.Has("***ERROR***"));
    EXPECT_TRUE(tail.Has("Setting return value:(true)"));
}

TEST_F(ValidConfiguration, MissingConnectionFileIsAnError)
{
    config.Set_Qorlogon_INI_Path(folder / "absent.ini");
    TraceTail tail;
    EXPECT_FALSE(config.Is_Valid());
    EXPECT_TRUE(tail.Has("***ERROR***: TID: "));
    EXPECT_TRUE(tail.Has(": qorlogon.ini file " + (folder / "absent.ini") + " does not exist.\r\n"));
}

TEST_F(ValidConfiguration, EmptyUserLandscapeIsInvalidWithAnEmptyName)
{
    config.Set_User_Landscape_XML_Path("");
    TraceTail tail;
    EXPECT_FALSE(config.Is_Valid());
    EXPECT_TRUE(tail.Has(": User QOR Landscape file  cannot be overwritten. Use forced migration to overwrite it.\r\n"));
}

TEST_F(ValidConfiguration, ExistingLandscapeNeedsForce)
{
    TestSupport::Write_File(folder / "QORUILandscape.xml", "<Landscape/>");
    TraceTail tail;
    EXPECT_FALSE(config.Is_Valid());
    EXPECT_TRUE(tail.Has("User QOR Landscape file " + (folder / "QORUILandscape.xml") + " cannot be overwritten."));
    config.Set_Force(true);
    EXPECT_TRUE(config.Is_Valid());

    config.Set_Force(false);
    DeleteFileA((folder / "QORUILandscape.xml").c_str());
    TestSupport::Write_File(folder / "QORUILandscapeGlobal.xml", "<Landscape/>");
    TraceTail sharedTail;
    EXPECT_FALSE(config.Is_Valid());
    EXPECT_TRUE(sharedTail.Has("***ERROR***: TID: "));
    EXPECT_TRUE(sharedTail.Has(": Shared QOR Landscape file " + (folder / "QORUILandscapeGlobal.xml") +
                               " cannot be overwritten. Use forced migration to overwrite it.\r\n"));
}
