// The batch prepares a profile as the user's own first start would migrate it:
// the same profiles, once through landscape_migrate --profiles and once through
// the start-up export with the user's APPDATA on a copy, end in the same user
// and shared landscapes - trees, services, properties and include - apart from
// the UUIDs that each run gives new folders, servers and routers. Once on a
// machine without a server landscape (the local step) and once on one whose
// machine settings name a server landscape (the central step).
//
// The batch's workers read the machine settings of the real registry, so the
// central case sets ServerLandscapeFileName there for its length and puts back
// what was there; the test runs alone (RUN_SERIAL).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <regex>
#include <string>

#include "LandscapeMigration.h"
#include "TestSupport.h"

using namespace TestSupport;
using ::testing::HasSubstr;

namespace {

const char* const Options_Key = "Software\\QOR\\QORLogon\\Options";

// The old connection files of the profiles, in the program folder: the sample's and generated ones.
const char* const Old_Files[] = {"sample\\AppData\\QOR\\Common\\qorlogon.ini", "generated\\qorlogon-30.ini",
                                 "generated\\qorlogon-300.ini"};

// The landscape an administrator distributes, with this machine's message
// servers in it already: every migration merges the machine's servers into the
// landscape it includes, and one that finds them there fills no ports from
// them, so the runs find it alike whatever ran before.
const char* const Server_Landscape =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Landscape><Services/><Messageservers>"
    "<Messageserver uuid=\"9B0D0C8E-0000-4000-8000-000000000001\" name=\"PRD\" host=\"prd-ms.example.com\" "
    "port=\"3600\"/>"
    "<Messageserver uuid=\"9B0D0C8E-0000-4000-8000-000000000002\" name=\"QAS\" host=\"qas-ms.example.com\" "
    "port=\"3601\"/>"
    "<Messageserver uuid=\"9B0D0C8E-0000-4000-8000-000000000003\" name=\"TRN\" host=\"trn-ms.example.com\"/>"
    "</Messageservers></Landscape>\r\n";

// The landscape text with each UUID replaced by its number in order of first
// appearance, and the profile's own folder by a name for it.
std::string Comparable(std::string text, const std::string& folder)
{
    for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
        text.replace(at, folder.size(), "<profile folder>");
    static const std::regex uuid("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}");
    std::map<std::string, size_t> numbers;
    std::string result;
    for (std::smatch found; std::regex_search(text, found, uuid); text = found.suffix()) {
        const size_t number = numbers.emplace(found.str(), numbers.size()).first->second;
        result += found.prefix().str() + "<uuid " + std::to_string(number) + ">";
    }
    return result + text;
}

} // namespace

// The parameter: the machine names a server landscape.
class BatchAndFirstStart : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        for (const char* sub : {"Windows\\System32\\drivers\\etc", "ProgramData", "server"})
            SHCreateDirectoryExA(nullptr, (work / sub).c_str(), nullptr);
        const std::string bin = Program_Folder() + "\\";
        const auto copy = [](const std::string& from, const std::string& to) {
            return CopyFileA(from.c_str(), to.c_str(), FALSE);
        };
        for (const char* file : {"qormsg.ini", "qorroute.ini", "System32\\drivers\\etc\\services"})
            ASSERT_TRUE(copy(bin + "sample\\Windows\\" + file, work / "Windows\\" + file)) << file;
        Write_File(server, Server_Landscape);
        for (size_t i = 0; i < std::size(Old_Files); ++i)
            for (const char* run : {"batch", "start"}) {
                SHCreateDirectoryExA(nullptr, Common(run, i).c_str(), nullptr);
                ASSERT_TRUE(copy(bin + Old_Files[i], Common(run, i) + "\\qorlogon.ini")) << Old_Files[i];
            }
    }

    // A profile's QOR\Common folder: of those the batch migrates, or of the first starts'.
    std::string Common(const char* run, size_t profile)
    {
        return work / (run + ("\\user" + std::to_string(profile)) + "\\QOR\\Common");
    }

    // The user's first start in this process, with a registry of the user's own.
    bool First_Start(const std::string& appData)
    {
        RegistrySandbox registry;
        if (GetParam())
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, Options_Key, "ServerLandscapeFileName", REG_SZ, server.c_str(),
                            static_cast<DWORD>(server.size() + 1));
        EnvironmentVariable user("APPDATA", appData.c_str());
        CDM_INITIALIZATION_STATE source, destination;
        return Execute_Landscape_Migration_Check_Internal(&source, &destination, 1);
    }

    ScratchDirectory work;
    std::string server = work / "server\\QORUILandscapeServer.xml";
    EnvironmentVariable windir{"windir", (work / "Windows").c_str()};
    EnvironmentVariable machineData{"ProgramData", (work / "ProgramData").c_str()};
    EnvironmentVariable noNamedLandscape{"QORLOGON_LSXML", nullptr};
    EnvironmentVariable noNamedIni{"QORLOGON_INI", nullptr};
};

TEST_P(BatchAndFirstStart, PrepareTheSameLandscapes)
{
    {
        // The machine's options as the batch's workers see them: the real hive's.
        const RealKeySetAside machineOptions(Options_Key, HKEY_LOCAL_MACHINE);
        if (GetParam()) {
            ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, Options_Key, "ServerLandscapeFileName", REG_SZ,
                                                     server.c_str(), static_cast<DWORD>(server.size() + 1)));
        }
        const ProcessResult batch =
            Run_Program("landscape_migrate.exe", "--profiles \"" + (work / "batch") + "\" --jobs 2");
        ASSERT_EQ(0u, batch.exitCode) << batch.output;
        EXPECT_THAT(batch.output, HasSubstr("3 profiles: 3 migrated,"));
    }
    for (size_t i = 0; i < std::size(Old_Files); ++i) {
        SCOPED_TRACE(Old_Files[i]);
        ASSERT_TRUE(First_Start(work / ("start\\user" + std::to_string(i))));
        for (const std::string name : {"QORUILandscape.xml", "QORUILandscapeGlobal.xml"}) {
            // A file that only one run made differs from the other's "".
            const std::string expected = Comparable(Read_File(Common("start", i) + "\\" + name), Common("start", i));
            const std::string actual = Comparable(Read_File(Common("batch", i) + "\\" + name), Common("batch", i));
            EXPECT_EQ(expected, actual) << name; // the failure shows the lines that differ
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Machine, BatchAndFirstStart, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "WithAServerLandscape" : "WithoutAServerLandscape";
                         });
