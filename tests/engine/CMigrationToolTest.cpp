#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "CMigrationTool.h"
#include "FileSystem.h"
#include "MigrationState.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using ::testing::HasSubstr;
using ::testing::Not;
using TestSupport::Holds_If;
using TestSupport::Read_File;
using TestSupport::TraceTail;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(
    new TestSupport::ProcessTrace([] { QOR::FrontEnd::Landscape::Migration::Get_Trace(4); }));

std::string Sample(const std::string& file) { return TestSupport::Program_Folder() + "\\sample\\" + file; }

// What the code run meanwhile wrote to standard output.
struct Captured_Output
{
    std::ostringstream text;
    std::streambuf* old = std::cout.rdbuf(text.rdbuf());
    ~Captured_Output() { std::cout.rdbuf(old); }
};

// A user's profile in a folder of its own: the sample connection file, named to
// the libraries the way the host names it, the sample's other files where they
// are, and a registry of its own.
class Migration : public ::testing::Test
{
protected:
    TestSupport::RegistrySandbox registry;
    TestSupport::ScratchDirectory folder;
    std::string ini = folder / "qorlogon.ini", user = folder / "QORUILandscape.xml";
    std::string shared = folder / "QORUILandscapeGlobal.xml";
    TestSupport::EnvironmentVariable namedIni{"QORLOGON_INI", ini.c_str()};
    TestSupport::EnvironmentVariable namedLandscape{"QORLOGON_LSXML", user.c_str()};
    CMigrationToolConfig config;

    void SetUp() override
    {
        CopyFileA(Sample("AppData\\QOR\\Common\\qorlogon.ini").c_str(), ini.c_str(), FALSE);
        config.Set_Qorlogon_INI_Path(ini);
        config.Set_User_Landscape_XML_Path(user);
        config.Set_Shared_Landscape_XML_Path(shared);
        config.Set_Qormsg_INI_Path(Sample("Windows\\qormsg.ini"));
        config.Set_Qorroute_INI_Path(Sample("Windows\\qorroute.ini"));
        config.Set_Windows_Services_File(Sample("Windows\\System32\\drivers\\etc\\services"));
        config.Set_User_TEDUOptions_XML_Path(Sample("AppData\\QOR\\TEDU\\TEDUOptions.xml"));
        config.Set_Shared_TEDUOptions_XML_Path(Sample("ProgramData\\QOR\\TEDU\\TEDUOptions.xml"));
    }
};

} // namespace

// The tree itself is checked with xmllint by check_mapping_dump.sh. Here: the
// port that C-QAS lacks comes from the services file, the parameters come
// along, the user landscape includes the shared one, which gets the machine's
// message servers, routers, directory settings and options.
TEST_F(Migration, TheWholeProfileIsMigratedAndTheOldFileIsLeftAlone)
{
    using QOR::FrontEnd::Util::FileSystem::Get_Current_Directory;
    const std::string source = Read_File(ini), directory = Get_Current_Directory();
    CMigrationTool tool(config);
    ASSERT_TRUE(tool.Do_Migration(true));
    EXPECT_EQ(directory, Get_Current_Directory());
    EXPECT_EQ(source, Read_File(ini));
    EXPECT_EQ(0, tool.GetSourceInitializationState().state);
    EXPECT_EQ(0, tool.GetDestinationInitializationState().state);
    const std::string landscape = Read_File(user), global = Read_File(shared);
    const std::pair<const std::string*, std::string> pieces[] = {
        {&landscape, "<Include index=\"0\" url=\"" + shared + "\"/>"},
        {&landscape, "<Property name=\"MsgServerPort\" value=\"3601\"/>"},
        {&landscape,
         "<Parameter name=\"SingleSystemStatusURL\" value=\"https://status.example.com/system?sid=%SID%\"/>"},
        {&global, "name=\"QAS\" description=\"ERP Quality\" host=\"qas-ms.example.com\" port=\"3601\""},
        {&global, "name=\"Frankfurt\" router=\"/H/router-fra.example.com/S/3299\""},
        {&global, "<LDAP "},
        {&global, "name=\"TEDU Admin Configuration\""}};
    for (const auto& [text, piece] : pieces)
        EXPECT_THAT(*text, HasSubstr(piece)) << piece << "\n" << *text;
}

// A simulated run writes no file but dumps both trees and, for each mapped key,
// a sed command that puts the old key back. Its keys are counted in the order
// of the run: folders depth first, then connections, shortcuts and links. Both
// top-level folders map to the main folder, the server folder to nothing.
TEST_F(Migration, SimulationWritesNothingAndDumpsTreesAndMappings)
{
    config.Set_Simulation(true);
    config.Set_Dump_Mappings(true);
    config.Set_Dump_Contents(true);
    const auto files = TestSupport::Files_In(folder.Path());
    Captured_Output output;
    ASSERT_TRUE(CMigrationTool(config).Do_Migration(true));
    EXPECT_EQ(files, TestSupport::Files_In(folder.Path()));
    const std::string text = output.text.str();
    EXPECT_THAT(text,
                HasSubstr("--- Dumping Contents of Config Files ---\n\nSource config:\nFOLDER: Production|F-PROD\n"
                          "FOLDER: ERP|F-ERP\n"));
    EXPECT_THAT(text, HasSubstr("\nENTRY: ERP Production (PRD)|C-PRD\n"));
    EXPECT_THAT(text,
                HasSubstr("\n\nDestination config:\nUUID mappings:\n --- destination_uuid --- source_uuid ---\n"));
    const auto destination = [&text, this](const std::string& source) {
        const size_t end = text.find("/" + source + "/g' " + user + "\n"), start = text.rfind("sed -i 's/", end) + 10;
        return end == std::string::npos ? "<none>" : text.substr(start, end - start);
    };
    const int first = std::atoi(destination("F-ERP").c_str() + 9);
    const char* const order[] = {"F-ERP", "F-ERP-EU", "C-QAS", "C-PRD", "S-SU01", "L-PRD"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ("NEW-UUID-" + std::to_string(first + i), destination(order[i])) << order[i];
    const std::string mainFolder = destination("F-PROD");
    EXPECT_NE("<none>", mainFolder);
    EXPECT_EQ(mainFolder, destination("F-TEST"));
    EXPECT_EQ("<none>", destination("F-SERVER"));
}

// An entry whose folder is not migrated fails the migration of its type, and so
// the user step, with a trace line naming it; what came before it stays.
TEST_F(Migration, AnEntryUnderALeftOutFolderFailsItsTypeAndTheStep)
{
    TestSupport::Write_File(ini, "[Folder A]\nName=A\n[Folder S]\nName=Server\nFromServer=1\n[Connection C1]\nName=c1\n"
                                 "Folder=A\n[Connection C2]\nName=c2\nFolder=S\n[Shortcut X]\nName=x\nFolder=A\n");
    TraceTail tail;
    EXPECT_FALSE(CMigrationTool(config).Do_Migration(false));
    EXPECT_TRUE(tail.Has(": s_parent_key S is not found in the mappings. i=1, s_key=C2.\r\n"));
    EXPECT_TRUE(tail.Has_Line("***ERROR***: ", ": User settings could not be migrated.\r\n"));
    EXPECT_TRUE(tail.Has("Results after migration parts: Shared migration:1, User settings:0, TEDU options:1\r\n"));
    const std::string landscape = Read_File(user);
    EXPECT_THAT(landscape, HasSubstr("name=\"c1\""));
    EXPECT_THAT(landscape, Not(HasSubstr("name=\"x\"")));
}

// After a migration into a file the host named (states 3 and 4) the run starts
// without the shared step and the options go without the machine's file; a
// landscape without an include still gets the shared settings.
TEST_F(Migration, StatesThreeAndFourLeaveOutTheSharedStep)
{
    for (DWORD state : {3u, 4u}) {
        DeleteFileA(user.c_str());
        DeleteFileA(shared.c_str());
        ASSERT_TRUE(Write_Migration_State(state));
        ASSERT_TRUE(CMigrationTool(config).Do_Migration(true));
        EXPECT_THAT(Read_File(shared), HasSubstr("name=\"QAS\"")) << state;
        EXPECT_THAT(Read_File(shared), Not(HasSubstr("TEDU Admin Configuration"))) << state;
        EXPECT_THAT(Read_File(user), HasSubstr("<Include index=\"0\" url=\"" + shared + "\"/>")) << state;
    }
}

// An existing landscape is no destination unless forced, but gets the include;
// a read-only one is left as it was and fails the step.
TEST_F(Migration, AnExistingLandscapeIsMigratedIntoOnlyWhenForcedAndWritable)
{
    const std::string before =
        "<Landscape><Workspaces><Workspace uuid=\"W-LOCAL\" name=\"Local\"/></Workspaces></Landscape>";
    const struct
    {
        bool force, readonly;
        const char* error;
    } runs[] = {{false, false, ": Destination INI file exists, remove it before migration: "},
                {true, false, nullptr},
                {true, true, ": The landscape file '"}};
    for (const auto& run : runs) {
        TestSupport::Write_File(user, before);
        SetFileAttributesA(user.c_str(), run.readonly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        config.Set_Force(run.force);
        TraceTail tail;
        EXPECT_EQ(!run.readonly, CMigrationTool(config).Do_Migration(false));
        SetFileAttributesA(user.c_str(), FILE_ATTRIBUTE_NORMAL);
        const std::string landscape = Read_File(user);
        EXPECT_THAT(landscape, Holds_If(run.force && !run.readonly, "uuid=\"C-PRD\""));
        EXPECT_EQ(run.readonly, landscape == before);
        EXPECT_THAT(landscape, Holds_If(!run.readonly, "<Include index=\"0\" url=\"" + shared + "\"/>"));
        if (run.error)
            EXPECT_TRUE(tail.Has_Line("***ERROR***: ", run.error + user));
        else
            EXPECT_FALSE(tail.Has("***ERROR***: "));
    }
}
