#include <gmock/gmock.h>

#include <string>
#include <tuple>

#include "CMigrationTool.h"
#include "FileSystem.h"
#include "MigrationState.h"
#include "ProcessTrace.h"
#include "Tracing.h"

using namespace QOR::FrontEnd::Landscape::Migration;
using ::testing::HasSubstr;
using namespace TestSupport;

namespace {

const auto* const g_trace = ::testing::AddGlobalTestEnvironment(new ProcessTrace([] { Get_Trace(4); }));

std::string Sample(const std::string& file) { return Program_Folder() + "\\sample\\" + file; }

// A user's profile in a folder of its own: the sample connection file, named to
// the libraries the way the host names it, the sample's other files where they
// are, and a registry of its own.
class Migration : public ::testing::Test
{
protected:
    RegistrySandbox registry;
    ScratchDirectory folder;
    std::string ini = folder / "qorlogon.ini", user = folder / "QORUILandscape.xml";
    std::string shared = folder / "QORUILandscapeGlobal.xml";
    EnvironmentVariable namedIni{"QORLOGON_INI", ini.c_str()};
    EnvironmentVariable namedLandscape{"QORLOGON_LSXML", user.c_str()};
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
// message servers, routers, directory settings and options. After a migration
// into a file the host named (states 3 and 4) the run starts without the
// shared step and the options go without the machine's file; a landscape
// without an include still gets the shared settings. The old file and the
// current folder stay as they were.
TEST_F(Migration, TheWholeProfileIsCopiedIntoTheLandscapes)
{
    using QOR::FrontEnd::Util::FileSystem::Get_Current_Directory;
    const std::string source = Read_File(ini), directory = Get_Current_Directory();
    for (DWORD state : {0u, 3u, 4u}) {
        DeleteFileA(user.c_str());
        DeleteFileA(shared.c_str());
        ASSERT_TRUE(Write_Migration_State(state));
        CMigrationTool tool(config);
        ASSERT_TRUE(tool.Do_Migration(true)) << state;
        EXPECT_EQ(directory, Get_Current_Directory()) << state;
        EXPECT_EQ(source, Read_File(ini)) << state;
        EXPECT_EQ(0, tool.GetSourceInitializationState().state) << state;
        EXPECT_EQ(0, tool.GetDestinationInitializationState().state) << state;
        const std::string landscape = Read_File(user), global = Read_File(shared);
        const std::tuple<const std::string*, std::string, bool> pieces[] = {
            {&landscape, "<Include index=\"0\" url=\"" + shared + "\"/>", true},
            {&landscape, "<Property name=\"MsgServerPort\" value=\"3601\"/>", true},
            {&landscape,
             "<Parameter name=\"SingleSystemStatusURL\" value=\"https://status.example.com/system?sid=%SID%\"/>", true},
            {&global, "name=\"QAS\" description=\"ERP Quality\" host=\"qas-ms.example.com\" port=\"3601\"", true},
            {&global, "name=\"Frankfurt\" router=\"/H/router-fra.example.com/S/3299\"", true},
            {&global, "<LDAP ", true},
            {&global, "TEDU Admin Configuration", state == 0},
            {&global, "name=\"TEDU Admin Configuration\"", state == 0}};
        for (const auto& [text, piece, held] : pieces)
            EXPECT_THAT(*text, Holds_If(held, piece)) << "state " << state;
    }
}

// A simulated run writes no file but dumps both trees and, for each mapped key,
// a sed command that puts the old key back. Its keys are counted in the order
// of the run: folders depth first, then connections, shortcuts and links. Both
// top-level folders map to the main folder, the server folder to nothing.
TEST_F(Migration, ASimulationDumpsInsteadOfWriting)
{
    config.Set_Simulation(true);
    config.Set_Dump_Mappings(true);
    config.Set_Dump_Contents(true);
    const auto files = Files_In(folder.Path());
    ::testing::internal::CaptureStdout();
    const bool migrated = CMigrationTool(config).Do_Migration(true);
    const std::string text = ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(migrated);
    EXPECT_EQ(files, Files_In(folder.Path()));
    for (const char* piece :
         {"--- Dumping Contents of Config Files ---\n\nSource config:\nFOLDER: Production|F-PROD\nFOLDER: ERP|F-ERP\n",
          "\nENTRY: ERP Production (PRD)|C-PRD\n",
          "\n\nDestination config:\nUUID mappings:\n --- destination_uuid --- source_uuid ---\n"})
        EXPECT_THAT(text, HasSubstr(piece));
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
TEST_F(Migration, AnEntryUnderALeftOutFolderFailsTheUserStep)
{
    Write_File(ini, "[Folder A]\nName=A\n[Folder S]\nName=Server\nFromServer=1\n[Connection C1]\nName=c1\n"
                    "Folder=A\n[Connection C2]\nName=c2\nFolder=S\n[Shortcut X]\nName=x\nFolder=A\n");
    TraceTail tail;
    EXPECT_FALSE(CMigrationTool(config).Do_Migration(false));
    EXPECT_TRUE(tail.Has(": s_parent_key S is not found in the mappings. i=1, s_key=C2.\r\n"));
    EXPECT_TRUE(tail.Has_Line("***ERROR***: ", ": User settings could not be migrated.\r\n"));
    EXPECT_TRUE(tail.Has("Results after migration parts: Shared migration:1, User settings:0, TEDU options:1\r\n"));
    const std::string landscape = Read_File(user);
    EXPECT_THAT(landscape, HasSubstr("name=\"c1\""));
    EXPECT_THAT(landscape, ::testing::Not(HasSubstr("name=\"x\"")));
}

// An existing landscape is no destination unless forced, but gets the include;
// a read-only one is left as it was and fails the step.
TEST_F(Migration, AnExistingLandscapeIsMigratedIntoOnlyWhenForced)
{
    const std::string before =
        "<Landscape><Workspaces><Workspace uuid=\"W-LOCAL\" name=\"Local\"/></Workspaces></Landscape>";
    // forced, read-only, the error traced (none: nullptr)
    const std::tuple<bool, bool, const char*> runs[] = {
        {false, false, ": Destination INI file exists, remove it before migration: "},
        {true, false, nullptr},
        {true, true, ": The landscape file '"}};
    for (const auto& [force, readonly, error] : runs) {
        const std::string row = std::string(force ? "forced" : "not forced") + (readonly ? ", read-only" : "");
        Write_File(user, before);
        SetFileAttributesA(user.c_str(), readonly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        config.Set_Force(force);
        TraceTail tail;
        EXPECT_EQ(!readonly, CMigrationTool(config).Do_Migration(false)) << row;
        SetFileAttributesA(user.c_str(), FILE_ATTRIBUTE_NORMAL);
        const std::string landscape = Read_File(user);
        EXPECT_THAT(landscape, Holds_If(force && !readonly, "uuid=\"C-PRD\"")) << row;
        EXPECT_EQ(readonly, landscape == before) << row << ": " << landscape;
        EXPECT_THAT(landscape, Holds_If(!readonly, "<Include index=\"0\" url=\"" + shared + "\"/>")) << row;
        if (error)
            EXPECT_TRUE(tail.Has_Line("***ERROR***: ", error + user)) << row;
        else
            EXPECT_FALSE(tail.Has("***ERROR***: ")) << row;
    }
}
