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
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Caller.h"
#include "LandscapeMigration.h"
#include "TestSupport.h"

using namespace TestSupport;
using ::testing::HasSubstr;

namespace {

const char* const Options_Key = "Software\\QOR\\QORLogon\\Options";
const char* const Server_Value = "ServerLandscapeFileName";

// The old connection files of the profiles: the sample's and generated ones.
std::vector<std::string> Old_Files()
{
    const std::string bin = Program_Folder();
    return {bin + "\\sample\\AppData\\QOR\\Common\\qorlogon.ini", bin + "\\generated\\qorlogon-30.ini",
            bin + "\\generated\\qorlogon-300.ini"};
}

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

void Make_Folder(const std::string& path) { SHCreateDirectoryExA(nullptr, path.c_str(), nullptr); }

void Copy(const std::string& from, const std::string& to)
{
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

// The landscape text with each UUID replaced by its number in order of first
// appearance, and the profile's own folder by a name for it.
std::string Comparable(std::string text, const std::string& folder)
{
    for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
        text.replace(at, folder.size(), "<profile folder>");
    static const std::regex uuid("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}");
    std::map<std::string, int> numbers;
    std::string result;
    auto last = text.cbegin();
    for (std::sregex_iterator found(text.begin(), text.end(), uuid), end; found != end; ++found) {
        result.append(last, text.cbegin() + found->position());
        const auto number = numbers.emplace(found->str(), static_cast<int>(numbers.size())).first->second;
        result += "<uuid " + std::to_string(number) + ">";
        last = text.cbegin() + found->position() + found->length();
    }
    return result.append(last, text.cend());
}

// The first line where the two differ, for the failure message.
std::string First_Difference(const std::string& expected, const std::string& actual)
{
    std::istringstream a(expected), b(actual);
    std::string lineA, lineB;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA)), moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB)
            return "no difference";
        if (!moreA || !moreB || lineA != lineB)
            return "line " + std::to_string(line) + ":\n  first start: " + (moreA ? lineA : "<end>") +
                   "\n  batch:       " + (moreB ? lineB : "<end>");
    }
}

} // namespace

// The parameter: the machine names a server landscape.
class BatchAndFirstStart : public ::testing::TestWithParam<bool>
{
protected:
    BatchAndFirstStart()
    {
        for (const char* sub : {"Windows\\System32\\drivers\\etc", "ProgramData", "server"})
            Make_Folder(work / sub);
        const std::string sample = Program_Folder() + "\\sample\\Windows\\";
        for (const char* file : {"qormsg.ini", "qorroute.ini", "System32\\drivers\\etc\\services"})
            Copy(sample + file, work / ("Windows\\" + std::string(file)));
        Write_File(server, Server_Landscape);
        const std::vector<std::string> old = Old_Files();
        for (size_t i = 0; i < old.size(); ++i) {
            const std::string name = "user" + std::to_string(i);
            batchFolders.push_back(work / ("batch\\" + name + "\\QOR\\Common"));
            startFolders.push_back(work / ("start\\" + name + "\\AppData"));
            for (const std::string& folder : {batchFolders.back(), startFolders.back() + "\\QOR\\Common"}) {
                Make_Folder(folder);
                Copy(old[i], folder + "\\qorlogon.ini");
            }
        }
    }

    // The user's first start in this process, with a registry of the user's own.
    bool First_Start(const std::string& appData)
    {
        RegistrySandbox registry;
        if (GetParam())
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, Options_Key, Server_Value, REG_SZ, server.c_str(),
                            static_cast<DWORD>(server.size() + 1));
        EnvironmentVariable user("APPDATA", appData.c_str());
        CDM_INITIALIZATION_STATE source, destination;
        return Execute_Landscape_Migration_Check_Internal(&source, &destination, 1);
    }

    void Expect_Same_File(const TestSupport::Caller& at, const std::string& name, size_t profile)
    {
        const std::string startFolder = startFolders[profile] + "\\QOR\\Common";
        const std::string fromStart = startFolder + "\\" + name, fromBatch = batchFolders[profile] + "\\" + name;
        const bool started = Path_Exists(fromStart), batched = Path_Exists(fromBatch);
        EXPECT_AT(at, started == batched) << fromStart << (started ? " exists, " : " is missing, ") << fromBatch
                                          << (batched ? " exists" : " is missing");
        if (!started || !batched)
            return;
        const std::string expected = Comparable(Read_File(fromStart), startFolder);
        const std::string actual = Comparable(Read_File(fromBatch), batchFolders[profile]);
        EXPECT_AT(at, expected == actual)
            << name << " of " << Old_Files()[profile] << " differs at " << First_Difference(expected, actual);
    }

    ScratchDirectory work;
    std::string server = work / "server\\QORUILandscapeServer.xml";
    std::vector<std::string> batchFolders, startFolders;
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
            ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, Options_Key, Server_Value, REG_SZ,
                                                     server.c_str(), static_cast<DWORD>(server.size() + 1)));
        }
        const ProcessResult batch =
            Run_Program("landscape_migrate.exe", "--profiles \"" + (work / "batch") + "\" --jobs 2");
        ASSERT_EQ(0u, batch.exitCode) << batch.output;
        EXPECT_THAT(batch.output, HasSubstr("3 profiles: 3 migrated,"));
    }
    for (size_t profile = 0; profile < startFolders.size(); ++profile) {
        SCOPED_TRACE(Old_Files()[profile]);
        ASSERT_TRUE(First_Start(startFolders[profile]));
        Expect_Same_File(HERE, "QORUILandscape.xml", profile);
        Expect_Same_File(HERE, "QORUILandscapeGlobal.xml", profile);
        const std::string user = Read_File(batchFolders[profile] + "\\QORUILandscape.xml");
        const std::string include = GetParam() ? server : batchFolders[profile] + "\\QORUILandscapeGlobal.xml";
        EXPECT_THAT(user, HasSubstr("url=\"" + include + "\"")) << user.substr(0, 400);
    }
}

INSTANTIATE_TEST_SUITE_P(Machine, BatchAndFirstStart, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "WithAServerLandscape" : "WithoutAServerLandscape";
                         });
