// The start-up call on profiles as they are found on real machines: new, old,
// deep, broken and hostile. Whatever the input, the call returns, the old
// connection file stays as it was and no landscape file is lost.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "CMsXmlDocument.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using TestSupport::Read_File;
using TestSupport::Write_File;

namespace {

size_t Count(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

bool Starts_With_Declaration(const std::string& path)
{
    return Read_File(path).compare(0, 6, "<?xml ") == 0;
}

bool Loads(const std::string& path)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    CString message;
    return document.Load_From_File(CString(path.c_str()), message, true);
}

std::string Without_Parameters(std::string ini)
{
    const size_t start = ini.find("[Parameters]");
    return ini.erase(start, ini.find("\n[", start) + 1 - start);
}

} // namespace

TEST_F(Startup, ANewProfileWithoutTheClientFolderIsMigrated)
{
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(RemoveDirectoryA(common.c_str()));
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    for (const std::string& file : {user, global}) {
        EXPECT_TRUE(Starts_With_Declaration(file)) << file;
        EXPECT_TRUE(Loads(file)) << file;
    }
    EXPECT_NE(std::string::npos, Read_File(user).find("<Include index=\"0\" url=\"" + global + "\"/>"));
    EXPECT_NE(std::string::npos, Read_File(user).find("name=\"My ERP Quality runtime\"")) << "the options file";
}

TEST_F(Startup, AnOldFileWithoutParametersGetsTheIncludeAndNoParameters)
{
    Write_File(ini, Without_Parameters(Read_File(ini)));
    ASSERT_EQ(std::string::npos, Read_File(ini).find("StatusURL"));
    EXPECT_TRUE(Start());
    EXPECT_EQ(1u, State());
    const std::string landscape = Read_File(user);
    EXPECT_NE(std::string::npos, landscape.find("<Include index=\"0\" url=\"" + global + "\"/>"));
    EXPECT_NE(std::string::npos, landscape.find("name=\"Europe\""));
    EXPECT_EQ(std::string::npos, landscape.find("<Parameter"));
}

// Every file is written while the process traces at level 4, which once cost a
// new shared landscape its declaration.
TEST_F(Startup, EveryLandscapeFileStartsWithTheDeclaration)
{
    ASSERT_TRUE(Start());
    for (const std::string& file : TestSupport::Files_In(common))
        if (file.find(".xml") != std::string::npos)
            EXPECT_TRUE(Starts_With_Declaration(common + "\\" + file)) << file;
}

TEST_F(Startup, CarriageReturnsAloneEndLinesToo)
{
    std::string ini_text = Read_File(ini);
    for (size_t at = ini_text.find("\r\n"); at != std::string::npos; at = ini_text.find("\r\n", at))
        ini_text.erase(at + 1, 1);
    Write_File(ini, ini_text);
    ASSERT_TRUE(Start());
    const std::string landscape = Read_File(user);
    for (const char* name : {"name=\"Europe\"", "name=\"ERP Production (PRD)\"", "name=\"SystemStatusURL\""})
        EXPECT_NE(std::string::npos, landscape.find(name)) << name;
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
    EXPECT_NE(std::string::npos, landscape.find("name=\"At the bottom\""));
    EXPECT_TRUE(Loads(user));
    const std::string library_trace = TestSupport::ProcessTrace::File();
    EXPECT_EQ(size_t(levels / 200 - 1),
              Count(Read_File(library_trace.substr(0, library_trace.size() - 4) + "_lm01.trc"),
                    "is nested deeper than 200 levels; it is placed at the top"));
}

namespace {

// A file of the profile replaced by something no one would write on purpose.
struct HostileCase
{
    const char* name;
    const char* file; // relative to the profile folder
    std::string (*content)(const Profile&);
};

std::string Noise(size_t size)
{
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

const char* const Secret = "SECRET-7f3a-NOT-FOR-ANY-LANDSCAPE";
const char* const Shared_Landscape = "AppData\\QOR\\Common\\QORUILandscapeGlobal.xml";

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

const HostileCase Hostile_Cases[] = {
    {"BinaryConnectionFile", "AppData\\QOR\\Common\\qorlogon.ini", [](const Profile&) { return Noise(65536); }},
    {"TenMegabyteLine", "AppData\\QOR\\Common\\qorlogon.ini",
     [](const Profile&) { return "[Folder F]\r\nName=" + std::string(10 << 20, 'n'); }},
    {"ParentCycle", "AppData\\QOR\\Common\\qorlogon.ini",
     [](const Profile&) {
         return std::string("[Folder A]\r\nName=Cycle A\r\nParent=C\r\n[Folder B]\r\nName=Cycle B\r\nParent=A\r\n"
                            "[Folder C]\r\nName=Cycle C\r\nParent=B\r\n[Connection X]\r\nName=In C\r\nFolder=C\r\n");
     }},
    {"MetacharactersAndControlCharacters", "AppData\\QOR\\Common\\qorlogon.ini",
     [](const Profile&) {
         return std::string("[Folder F1]\r\nName=A <b> & \"c\" \x01\x02 ]]> \x1f\r\n[Folder F2]\r\nParent=F1\r\n"
                            "Name=Sub\x7f\xe9\r\nMemo=m\x0bm\r\n[Connection C1]\r\nName=Conn \x03 &amp; <x/>\r\n"
                            "Folder=F2\r\nSystemID=A\x04"
                            "B\r\n[Parameters]\r\nSystemStatusURL=http://x/?a=1&b=<2>\x05\r\n");
     }},
    {"EntityBombSharedLandscape", Shared_Landscape, Flat_Entity_Bomb},
    {"ExternalEntitySharedLandscape", Shared_Landscape, External_Entity},
    {"TruncatedSharedLandscape", Shared_Landscape,
     [](const Profile&) {
         return std::string("<?xml version=\"1.0\"?>\n<Landscape><Routers><Router uuid=\"R1\" name=\"Old\" rou");
     }},
    {"BinaryRouterFile", "Windows\\qorroute.ini", [](const Profile&) { return Noise(4096); }},
    {"BinaryMessageServerFile", "Windows\\qormsg.ini", [](const Profile&) { return Noise(4096); }},
    {"BinaryServicesFile", "Windows\\System32\\drivers\\etc\\services", [](const Profile&) { return Noise(4096); }},
    {"BinaryUserOptions", "AppData\\QOR\\TEDU\\TEDUOptions.xml", [](const Profile&) { return Noise(4096); }},
    {"BinaryMachineOptions", "ProgramData\\QOR\\TEDU\\TEDUOptions.xml", [](const Profile&) { return Noise(4096); }},
};

class HostileInput : public Startup, public ::testing::WithParamInterface<HostileCase>
{
};

// A landscape file that was there before is there still, or kept as its backup.
bool Kept(const std::string& path, const std::string& before)
{
    if (Read_File(path) == before)
        return true;
    const size_t separator = path.find_last_of('\\');
    const std::string name = path.substr(separator + 1);
    for (const std::string& file : TestSupport::Files_In(path.substr(0, separator)))
        if (file.compare(0, name.size() + 4, name + ".bak") == 0 &&
            Read_File(path.substr(0, separator + 1) + file) == before)
            return true;
    return false;
}

} // namespace

TEST_P(HostileInput, TheCallReturnsAndNothingIsLost)
{
    const HostileCase& hostile = GetParam();
    Write_File(folder / "secret.txt", Secret);
    Write_File(folder / hostile.file, hostile.content(*this));
    const std::string old_file = Read_File(ini);
    std::map<std::string, std::string> landscapes_before;
    for (const std::string& path : {user, global})
        if (TestSupport::Path_Exists(path))
            landscapes_before[path] = Read_File(path);

    try {
        Start();
    } catch (const _com_error& error) {
        // An XML error is the host's to handle; it is a result all the same.
        ADD_FAILURE() << "_com_error " << std::hex << error.Error() << " for a file of the profile";
    }

    EXPECT_EQ(old_file, Read_File(ini)) << "the old connection file is never changed";
    for (const auto& [path, before] : landscapes_before)
        EXPECT_TRUE(Kept(path, before)) << path;
    for (const std::string& file : TestSupport::Files_In(common)) {
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".xml") != 0)
            continue;
        const std::string path = common + "\\" + file;
        EXPECT_TRUE(Loads(path)) << file << " is written so that it loads again";
        EXPECT_EQ(std::string::npos, Read_File(path).find(Secret)) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, HostileInput, ::testing::ValuesIn(Hostile_Cases),
                         [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });
