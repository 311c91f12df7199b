#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMigrationToolConfig.h"
#include "Caller.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

// The printed form: the members in a fixed order, names in one column, each
// value as given (a path after its mark, " (exists)   " or "**missing** ").
const char* const Columns[] = {
    "  check                       = ", "  force                       = ", "  simulation                  = ",
    "  dump_mappings               = ", "  dump_contents               = ", "  qorlogon_ini_path           = ",
    "  qormsg_ini_path             = ", "  qorroute_ini_path           = ", "  services_file               = ",
    "  user_landscape_xml_path     = ", "  shared_landscape_xml_path   = ", "  user_teduoptions_xml_path   = ",
    "  shared_teduoptions_xml_path = "};

std::string Printed(const std::vector<std::string>& values)
{
    std::string text = "CMigrationToolConfig:\n";
    for (size_t i = 0; i < values.size(); ++i)
        text += Columns[i] + values[i] + "\n";
    return text;
}

// Is_Valid, with an error line saying what is in the way exactly when it is not.
void Expect_Valid_(const TestSupport::Caller& at, const CMigrationToolConfig& config, bool valid,
                   const std::string& error = "")
{
    TestSupport::TraceTail tail;
    const bool actual = config.Is_Valid();
    EXPECT_AT(at, actual == valid) << "Is_Valid returned " << actual << "; " << error;
    if (valid) {
        EXPECT_AT(at, !tail.Has("***ERROR***: "));
    } else {
        EXPECT_AT(at, tail.Has_Line("***ERROR***: ", error));
    }
}
#define Expect_Valid(...) Expect_Valid_(HERE, __VA_ARGS__)

} // namespace

TEST(CMigrationToolConfig, ADefaultHasEveryFlagOffAndEveryPathMissing)
{
    std::vector<std::string> values(13, "**missing** ");
    std::fill_n(values.begin(), 5, "0");
    EXPECT_EQ(Printed(values), CMigrationToolConfig().To_String());
}

// Distinct paths and one flag at a time: every member is kept as given, read
// back, printed on its own line, and carried by copies and assignments.
TEST(CMigrationToolConfig, EveryMemberIsKeptPrintedAndCopied)
{
    TestSupport::ScratchDirectory folder;
    TestSupport::Write_File(folder / "services", "");
    const std::string paths[] = {" relative\\qorlogon.ini ",
                                 folder.Path(),
                                 "route",
                                 folder / "services",
                                 "user",
                                 "shared",
                                 "user options",
                                 "shared options"};
    CMigrationToolConfig base;
    base.Set_Qorlogon_INI_Path(paths[0]);
    base.Set_Qormsg_INI_Path(paths[1]); // a folder is no file
    base.Set_Qorroute_INI_Path(paths[2]);
    base.Set_Windows_Services_File(paths[3]);
    base.Set_User_Landscape_XML_Path(paths[4]);
    base.Set_Shared_Landscape_XML_Path(paths[5]);
    base.Set_User_TEDUOptions_XML_Path(paths[6]);
    base.Set_Shared_TEDUOptions_XML_Path(paths[7]);
    for (int on = 0; on < 5; ++on) {
        CMigrationToolConfig config(base);
        config.Set_Check(on == 0);
        config.Set_Force(on == 1);
        config.Set_Simulation(on == 2);
        config.Set_Dump_Mappings(on == 3);
        config.Set_Dump_Contents(on == 4);
        EXPECT_EQ((std::vector<bool>{on == 0, on == 1, on == 2, on == 3, on == 4}),
                  (std::vector<bool>{config.Is_Check(), config.Is_Forced(), config.Is_Simulation(),
                                     config.Dump_Mappings(), config.Dump_Contents()}));
        std::vector<std::string> values(5, "0");
        for (const std::string& path : paths)
            values.push_back((path == paths[3] ? " (exists)   " : "**missing** ") + path);
        values[on] = "1";
        EXPECT_EQ(Printed(values), config.To_String());
        EXPECT_EQ(Printed(values), CMigrationToolConfig(config).To_String());
        CMigrationToolConfig assigned;
        EXPECT_EQ(Printed(values), (assigned = config).To_String());
    }
}

// Valid in check mode; otherwise the connection file must exist and both
// landscape files be named and either absent or forced to be overwritten.
TEST(CMigrationToolConfig, IsValidWhenTheRunCanGoAhead)
{
    TestSupport::ScratchDirectory folder;
    const std::string ini = folder / "qorlogon.ini", user = folder / "user.xml", shared = folder / "shared.xml";
    const std::string overwrite = " cannot be overwritten. Use forced migration to overwrite it.\r\n";
    TestSupport::Write_File(ini, "[x]\n");
    CMigrationToolConfig config;
    config.Set_Qorlogon_INI_Path(ini);
    config.Set_User_Landscape_XML_Path(user);
    config.Set_Shared_Landscape_XML_Path(shared);
    config.Set_User_TEDUOptions_XML_Path(folder / "absent.xml"); // options files may be missing
    config.Set_Shared_TEDUOptions_XML_Path(folder / "absent.xml");
    Expect_Valid(config, true);
    TestSupport::Write_File(user, "<Landscape/>");
    TestSupport::Write_File(shared, "<Landscape/>");
    Expect_Valid(config, false, ": User QOR Landscape file " + user + overwrite);
    DeleteFileA(user.c_str());
    Expect_Valid(config, false, ": Shared QOR Landscape file " + shared + overwrite);
    config.Set_Force(true);
    Expect_Valid(config, true);
    config.Set_Shared_Landscape_XML_Path("");
    Expect_Valid(config, false, ": Shared QOR Landscape file " + overwrite);
    config.Set_User_Landscape_XML_Path("");
    Expect_Valid(config, false, ": User QOR Landscape file " + overwrite);
    config.Set_Qorlogon_INI_Path(folder / "absent.ini");
    Expect_Valid(config, false, ": qorlogon.ini file " + (folder / "absent.ini") + " does not exist.\r\n");
    config.Set_Check(true);
    Expect_Valid(config, true);
}
