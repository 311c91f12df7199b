#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CMigrationToolConfig.h"
#include "Caller.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using Config = CMigrationToolConfig;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(new TestSupport::ProcessTrace([] { Get_Trace(4); }));

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

// Is_Valid exactly when no error is given, and then no error line; the error
// line that says what is in the way otherwise.
void Expect_Valid_(const TestSupport::Caller& at, const Config& config, const std::string& error)
{
    TestSupport::TraceTail tail;
    EXPECT_AT(at, config.Is_Valid() == error.empty()) << error;
    EXPECT_AT(at, error.empty() ? !tail.Has("***ERROR***: ") : tail.Has_Line("***ERROR***: ", error)) << tail.Text();
}
#define Expect_Valid(...) Expect_Valid_(HERE, __VA_ARGS__)

} // namespace

// Every flag off and every path missing.
TEST(CMigrationToolConfig, ADefaultIsPrintedWithNothingSet)
{
    std::vector<std::string> values(13, "**missing** ");
    std::fill_n(values.begin(), 5, "0");
    EXPECT_EQ(Printed(values), Config().To_String());
}

// Distinct paths and one flag at a time: every member is kept as given, read
// back, printed on its own line, and carried by copies and assignments.
TEST(CMigrationToolConfig, EveryMemberIsKeptAsGiven)
{
    TestSupport::ScratchDirectory folder;
    TestSupport::Write_File(folder / "services", "");
    const std::pair<void (Config::*)(const std::string&), std::string> paths[] = {
        {&Config::Set_Qorlogon_INI_Path, " relative\\qorlogon.ini "},
        {&Config::Set_Qormsg_INI_Path, folder.Path()}, // a folder is no file
        {&Config::Set_Qorroute_INI_Path, "route"},
        {&Config::Set_Windows_Services_File, folder / "services"},
        {&Config::Set_User_Landscape_XML_Path, "user"},
        {&Config::Set_Shared_Landscape_XML_Path, "shared"},
        {&Config::Set_User_TEDUOptions_XML_Path, "user options"},
        {&Config::Set_Shared_TEDUOptions_XML_Path, "shared options"}};
    Config base;
    for (const auto& [set, path] : paths)
        (base.*set)(path);
    for (int on = 0; on < 5; ++on) {
        Config config(base);
        config.Set_Check(on == 0);
        config.Set_Force(on == 1);
        config.Set_Simulation(on == 2);
        config.Set_Dump_Mappings(on == 3);
        config.Set_Dump_Contents(on == 4);
        EXPECT_EQ((std::vector<bool>{on == 0, on == 1, on == 2, on == 3, on == 4}),
                  (std::vector<bool>{config.Is_Check(), config.Is_Forced(), config.Is_Simulation(),
                                     config.Dump_Mappings(), config.Dump_Contents()}));
        std::vector<std::string> values(5, "0");
        for (const auto& [set, path] : paths)
            values.push_back((set == &Config::Set_Windows_Services_File ? " (exists)   " : "**missing** ") + path);
        values[on] = "1";
        EXPECT_EQ(Printed(values), config.To_String()) << "flag " << on;
        EXPECT_EQ(Printed(values), Config(config).To_String()) << "flag " << on;
        Config assigned;
        EXPECT_EQ(Printed(values), (assigned = config).To_String()) << "flag " << on;
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
    Config config;
    config.Set_Qorlogon_INI_Path(ini);
    config.Set_User_Landscape_XML_Path(user);
    config.Set_Shared_Landscape_XML_Path(shared);
    config.Set_User_TEDUOptions_XML_Path(folder / "absent.xml"); // options files may be missing
    config.Set_Shared_TEDUOptions_XML_Path(folder / "absent.xml");
    Expect_Valid(config, "");
    TestSupport::Write_File(user, "<Landscape/>");
    TestSupport::Write_File(shared, "<Landscape/>");
    Expect_Valid(config, ": User QOR Landscape file " + user + overwrite);
    DeleteFileA(user.c_str());
    Expect_Valid(config, ": Shared QOR Landscape file " + shared + overwrite);
    config.Set_Force(true);
    Expect_Valid(config, "");
    config.Set_Shared_Landscape_XML_Path("");
    Expect_Valid(config, ": Shared QOR Landscape file " + overwrite);
    config.Set_User_Landscape_XML_Path("");
    Expect_Valid(config, ": User QOR Landscape file " + overwrite);
    config.Set_Qorlogon_INI_Path(folder / "absent.ini");
    Expect_Valid(config, ": qorlogon.ini file " + (folder / "absent.ini") + " does not exist.\r\n");
    config.Set_Check(true);
    Expect_Valid(config, "");
}
