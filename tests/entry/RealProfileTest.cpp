// The start-up call on profiles as they are found on real machines: new, old,
// deep, broken and hostile. Whatever the input, the call returns, the old
// connection file stays as it was, no landscape file is lost and every file
// written starts with the XML declaration and loads again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <comdef.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "Caller.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using ::testing::HasSubstr;
using ::testing::Not;
using TestSupport::Count;
using TestSupport::Read_File;
using TestSupport::Write_File;

namespace {

// What a run must leave whatever the input: every landscape file of the
// client folder starts with the declaration, loads, and holds nothing of `secret`.
void Expect_Sound_Landscapes_(const TestSupport::Caller& at, const std::string& common, const char* secret)
{
    for (const std::string& file : TestSupport::Files_In(common)) {
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".xml") != 0)
            continue;
        const std::string text = Read_File(common + "\\" + file);
        EXPECT_AT(at, text.find("<?xml ") == 0) << file << " starts with: " << text.substr(0, 40);
        EXPECT_AT(at, TestSupport::Loads_As_Xml(common + "\\" + file)) << file << " does not load";
        EXPECT_AT(at, !TestSupport::Holds(text, secret)) << file << " holds the secret";
    }
}
#define Expect_Sound_Landscapes(...) Expect_Sound_Landscapes_(HERE, __VA_ARGS__)

const char* const Secret = "SECRET-7f3a-NOT-FOR-ANY-LANDSCAPE";

} // namespace

TEST_F(Startup, ANewProfileWithoutTheClientFolderIsMigrated)
{
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(RemoveDirectoryA(common.c_str()));
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    EXPECT_THAT(Read_File(user), HasSubstr("<Include index=\"0\" url=\"" + global + "\"/>"));
    EXPECT_THAT(Read_File(user), HasSubstr("name=\"My ERP Quality runtime\"")) << "the options file";
    EXPECT_THAT(Read_File(global), HasSubstr("<Messageserver "));
    Expect_Sound_Landscapes(common, Secret);
}

// Folders below level 200 move to the top (documented in connection-files.md), so
// a chain of 100,000 keeps every folder in a landscape that still loads.
TEST_F(Startup, AHundredThousandLevelChainIsMigratedInChainsOfTwoHundred)
{
    const int levels = 100000;
    std::string chain;
    for (int i = 0; i < levels; ++i)
        chain += "[Folder F" + std::to_string(i) + "]\r\nName=Level " + std::to_string(i) + "\r\n" +
                 (i ? "Parent=F" + std::to_string(i - 1) + "\r\n" : "");
    chain += "[Connection C]\r\nName=At the bottom\r\nFolder=F" + std::to_string(levels - 1) + "\r\n";
    Write_File(ini, chain);
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    const std::string landscape = Read_File(user);
    // Each chain's head is a top-level folder, which becomes the main folder itself.
    EXPECT_EQ(size_t(levels - levels / 200), Count(landscape, "<Node "));
    EXPECT_THAT(landscape, HasSubstr("name=\"At the bottom\""));
    EXPECT_TRUE(TestSupport::Loads_As_Xml(user));
    const std::string trace = TestSupport::ProcessTrace::File();
    EXPECT_EQ(size_t(levels / 200 - 1), Count(Read_File(trace.substr(0, trace.size() - 4) + "_lm01.trc"),
                                              "is nested deeper than 200 levels; it is placed at the top"));
}

namespace {

// What the old file holds, counted from its text: sections by kind, folders with
// a parent, and entry properties (every setting but the entry's own four).
std::map<std::string, size_t> Old_File_Counts(const std::string& text)
{
    std::map<std::string, size_t> counts;
    std::string section;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = std::min(text.find("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        if (line.size() > 1 && line[0] == '[')
            ++counts[section = line.substr(1, std::min(line.find(' '), line.size() - 1) - 1)];
        else if (section == "Folder" && line.compare(0, 7, "Parent=") == 0)
            ++counts["Subfolder"];
        else if (section != "Folder" && section != "Parameters" && line.find('=') != std::string::npos) {
            const std::string name = line.substr(0, line.find('='));
            counts["Property"] += name != "Name" && name != "Folder" && name != "Target" && name != "Skip";
        }
    }
    return counts;
}

} // namespace

// The large path: a profile of 20,000 entries made by benchmarks/genprofile.py
// (a test step before this program) arrives whole.
TEST_F(Startup, AGeneratedTwentyThousandEntryProfileArrivesWhole)
{
    const char* const generated = std::getenv("LARGE_PROFILE");
    ASSERT_TRUE(generated && *generated) << "LARGE_PROFILE names the generated qorlogon.ini";
    const std::string old_file = Read_File(generated);
    std::map<std::string, size_t> old_counts = Old_File_Counts(old_file);
    ASSERT_EQ(20000u, old_counts["Connection"] + old_counts["Shortcut"] + old_counts["Link"]);
    Write_File(ini, old_file);
    DeleteFileA((folder / "AppData\\QOR\\TEDU\\TEDUOptions.xml").c_str()); // its services would count too
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    const std::string landscape = Read_File(user);
    EXPECT_EQ(old_counts["Connection"] + old_counts["Shortcut"], Count(landscape, "<Service "));
    EXPECT_EQ(20000u, Count(landscape, "<Item "));
    EXPECT_EQ(old_counts["Subfolder"], Count(landscape, "<Node ")); // top-level folders are the main folder
    EXPECT_EQ(old_counts["Property"], Count(landscape, "<Property "));
    EXPECT_EQ(old_file, Read_File(ini));
    EXPECT_TRUE(TestSupport::Loads_As_Xml(user));
}

namespace {

// A file of the profile as no one would write it on purpose, and what the user
// landscape must then hold (`present`) or not hold (`absent`).
struct ProfileCase
{
    const char* name;
    const char* file; // relative to the profile folder
    std::string (*content)(const Profile&);
    const char* present;
    const char* absent;
};

std::string Noise(const Profile&)
{
    std::string bytes(8192, '\0');
    unsigned state = 12345;
    for (char& byte : bytes)
        byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

std::string Sample_Ini(const Profile& profile) { return Read_File(profile.ini); }

std::string Lone_Carriage_Returns(const Profile& profile)
{
    std::string text = Sample_Ini(profile);
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at + 1, 1);
    return text;
}

std::string Without_Parameters(const Profile& profile)
{
    std::string text = Sample_Ini(profile);
    const size_t start = text.find("[Parameters]");
    return text.erase(start, text.find("\n[", start) + 1 - start);
}

std::string Flat_Entity_Bomb(const Profile&)
{
    std::string references;
    for (int i = 0; i < 20000; ++i)
        references += "&a;";
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE Landscape [<!ENTITY a \"" + std::string(20000, 'x') +
           "\"><!ENTITY b \"" + references + "\">]>\n<Landscape><Routers>&b;</Routers></Landscape>";
}

std::string External_Entity(const Profile& profile)
{
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"" + (profile.folder / "secret.txt") +
           "\">]>\n<Landscape><Services><Service type=\"QORGUI\" uuid=\"S\" name=\"&s;\">&s;</Service></Services>"
           "</Landscape>";
}

const char* const Ini = "AppData\\QOR\\Common\\qorlogon.ini";
const char* const Shared = "AppData\\QOR\\Common\\QORUILandscapeGlobal.xml";

const ProfileCase Profile_Cases[] = {
    {"NoParameters", Ini, Without_Parameters, "<Include index=\"0\"", "<Parameter"},
    {"LoneCarriageReturns", Ini, Lone_Carriage_Returns, "name=\"SystemStatusURL\"", nullptr},
    {"BinaryConnectionFile", Ini, Noise, nullptr, nullptr},
    {"TenMegabyteLine", Ini, [](const Profile&) { return "[Folder F]\r\nName=" + std::string(10 << 20, 'n'); }, nullptr,
     nullptr},
    {"ParentCycle", Ini,
     [](const Profile&) {
         return std::string("[Folder A]\r\nName=Cycle A\r\nParent=C\r\n[Folder B]\r\nName=Cycle B\r\nParent=A\r\n"
                            "[Folder C]\r\nName=Cycle C\r\nParent=B\r\n[Connection X]\r\nName=In C\r\nFolder=C\r\n");
     },
     "name=\"Cycle C\"", nullptr},
    {"MetacharactersAndControlCharacters", Ini,
     [](const Profile&) {
         return std::string("[Folder F1]\r\nName=A <b> & \"c\" \x01\x02 ]]> \x1f\r\n[Folder F2]\r\nParent=F1\r\n"
                            "Name=Sub\x7f\r\nMemo=m\x0bm\r\n[Connection C1]\r\nName=Conn \x03 &amp; <x/>\r\n"
                            "Folder=F2\r\nSystemID=A\x04"
                            "B\r\n[Parameters]\r\nSystemStatusURL=http://x/?a=1&b=<2>\x05\r\n");
     },
     "name=\"Conn  &amp;amp; &lt;x/&gt;\"", nullptr},
    {"EntityBombSharedLandscape", Shared, Flat_Entity_Bomb, nullptr, nullptr},
    {"ExternalEntitySharedLandscape", Shared, External_Entity, nullptr, nullptr},
    {"TruncatedSharedLandscape", Shared,
     [](const Profile&) { return std::string("<?xml version=\"1.0\"?>\n<Landscape><Routers><Router uuid=\"R"); },
     nullptr, nullptr},
    {"BinaryRouterFile", "Windows\\qorroute.ini", Noise, nullptr, nullptr},
    {"BinaryMessageServerFile", "Windows\\qormsg.ini", Noise, nullptr, nullptr},
    {"BinaryServicesFile", "Windows\\System32\\drivers\\etc\\services", Noise, nullptr, nullptr},
    {"BinaryUserOptions", "AppData\\QOR\\TEDU\\TEDUOptions.xml", Noise, nullptr, nullptr},
    {"BinaryMachineOptions", "ProgramData\\QOR\\TEDU\\TEDUOptions.xml", Noise, nullptr, nullptr},
};

class MessyProfile : public Startup, public ::testing::WithParamInterface<ProfileCase>
{};

// A landscape file that was there before is there still, or kept as its backup.
bool Kept(const std::string& folder, const std::string& name, const std::string& before)
{
    for (const std::string& file : TestSupport::Files_In(folder))
        if (file.compare(0, name.size(), name) == 0 && Read_File(folder + "\\" + file) == before &&
            (file == name || file.compare(name.size(), 4, ".bak") == 0))
            return true;
    return false;
}

} // namespace

TEST_P(MessyProfile, TheCallReturnsAndNothingIsLost)
{
    const ProfileCase& messy = GetParam();
    Write_File(folder / "secret.txt", Secret);
    Write_File(folder / messy.file, messy.content(*this));
    const std::string old_file = Read_File(ini);
    std::map<std::string, std::string> before;
    for (const std::string& name : TestSupport::Files_In(common))
        before[name] = Read_File(common + "\\" + name);

    bool migrated = false;
    try {
        migrated = Start();
    } catch (const _com_error& error) {
        ADD_FAILURE() << "_com_error " << std::hex << error.Error() << " for a file of the profile";
    }

    EXPECT_EQ(1u, State());
    EXPECT_EQ(old_file, Read_File(ini)) << "the old connection file is never changed";
    for (const auto& [name, text] : before)
        EXPECT_TRUE(Kept(common, name, text)) << name;
    Expect_Sound_Landscapes(common, Secret);
    if (messy.present) {
        EXPECT_TRUE(migrated);
        EXPECT_THAT(Read_File(user), HasSubstr(messy.present)) << messy.present;
    }
    if (messy.absent) {
        EXPECT_THAT(Read_File(user), Not(HasSubstr(messy.absent))) << messy.absent;
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, MessyProfile, ::testing::ValuesIn(Profile_Cases),
                         [](const ::testing::TestParamInfo<ProfileCase>& info) { return info.param.name; });
