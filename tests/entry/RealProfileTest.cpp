// The start-up call on profiles as they are found on real machines: new, old,
// deep, broken and hostile, with landscapes that other programs wrote and files
// that other programs hold. Whatever the input, the call returns, the old
// connection file stays as it was, no landscape file is lost and every file
// written starts with the XML declaration and loads again.

#include <comdef.h>

#include <cstdlib>
#include <map>
#include <regex>
#include <utility>

#include "CMsXmlDocument.h"
#include "Caller.h"
#include "StartupFixture.h"

using namespace StartupFixture;
using namespace TestSupport;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::PrintToStringParamName;

namespace {

const char* const Secret = "SECRET-7f3a-NOT-FOR-ANY-LANDSCAPE";

// What a run must leave whatever the input: every landscape file of the
// client folder starts with the declaration, loads, and holds nothing of the secret.
void Expect_Sound_Landscapes_(const Caller& at, const std::string& common)
{
    for (const std::string& file : Files_In(common)) {
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".xml") != 0)
            continue;
        const std::string text = Read_File(common + "\\" + file);
        EXPECT_AT(at, text.find("<?xml ") == 0) << file << " starts with: " << text.substr(0, 40);
        EXPECT_AT(at, Loads_As_Xml(common + "\\" + file)) << file << " does not load";
        EXPECT_AT(at, !Holds(text, Secret)) << file << " holds the secret";
    }
}
#define Expect_Sound_Landscapes(common) Expect_Sound_Landscapes_(HERE, common)

// A file of the profile as no one would write it on purpose, and what the user
// landscape must then hold (`present`) or not hold (`absent`).
struct ProfileCase
{
    const char* name;
    const char* file; // relative to the profile folder
    std::string (*content)(const Profile&);
    const char* present = nullptr;
    const char* absent = nullptr;
};

std::string Noise(const Profile&)
{
    std::string bytes(8192, '\0');
    unsigned state = 12345;
    for (char& byte : bytes)
        byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

const char* const Ini = "AppData\\QOR\\Common\\qorlogon.ini";
const char* const Shared = "AppData\\QOR\\Common\\QORUILandscapeGlobal.xml";

const ProfileCase Profile_Cases[] = {
    {"NoParameters", Ini,
     [](const Profile& profile) {
         return std::regex_replace(Read_File(profile.ini), std::regex(R"(\[Parameters\][^[]*)"), "");
     },
     "<Include index=\"0\"", "<Parameter"},
    {"LoneCarriageReturns", Ini,
     [](const Profile& profile) { return std::regex_replace(Read_File(profile.ini), std::regex("\r\n"), "\r"); },
     "name=\"SystemStatusURL\""},
    {"BinaryConnectionFile", Ini, Noise},
    {"TenMegabyteLine", Ini, [](const Profile&) { return "[Folder F]\r\nName=" + std::string(10 << 20, 'n'); }},
    {"ParentCycle", Ini,
     [](const Profile&) {
         return std::string("[Folder A]\r\nName=Cycle A\r\nParent=C\r\n[Folder B]\r\nName=Cycle B\r\nParent=A\r\n"
                            "[Folder C]\r\nName=Cycle C\r\nParent=B\r\n[Connection X]\r\nName=In C\r\nFolder=C\r\n");
     },
     "name=\"Cycle C\""},
    {"MetacharactersAndControlCharacters", Ini,
     [](const Profile&) {
         return std::string("[Folder F1]\r\nName=A <b> & \"c\" \x01\x02 ]]> \x1f\r\n[Folder F2]\r\nParent=F1\r\n"
                            "Name=Sub\x7f\r\nMemo=m\x0bm\r\n[Connection C1]\r\nName=Conn \x03 &amp; <x/>\r\n"
                            "Folder=F2\r\nSystemID=A\x04"
                            "B\r\n[Parameters]\r\nSystemStatusURL=http://x/?a=1&b=<2>\x05\r\n");
     },
     "name=\"Conn  &amp;amp; &lt;x/&gt;\""},
    // 20,000 references to an entity of 20,000 characters.
    {"EntityBombSharedLandscape", Shared,
     [](const Profile&) {
         return "<?xml version=\"1.0\"?>\n<!DOCTYPE Landscape [<!ENTITY a \"" + std::string(20000, 'x') +
                "\"><!ENTITY b \"" + std::regex_replace(std::string(20000, 'a'), std::regex("a"), "&a;") +
                "\">]>\n<Landscape><Routers>&b;</Routers></Landscape>";
     }},
    {"ExternalEntitySharedLandscape", Shared,
     [](const Profile& profile) {
         return "<?xml version=\"1.0\"?>\n<!DOCTYPE Landscape [<!ENTITY s SYSTEM \"" + (profile.folder / "secret.txt") +
                "\">]>\n<Landscape><Services><Service type=\"QORGUI\" uuid=\"S\" name=\"&s;\">&s;</Service>"
                "</Services></Landscape>";
     }},
    {"TruncatedSharedLandscape", Shared,
     [](const Profile&) { return std::string("<?xml version=\"1.0\"?>\n<Landscape><Routers><Router uuid=\"R"); }},
    {"BinaryRouterFile", "Windows\\qorroute.ini", Noise},
    {"BinaryMessageServerFile", "Windows\\qormsg.ini", Noise},
    {"BinaryServicesFile", "Windows\\System32\\drivers\\etc\\services", Noise},
    {"BinaryUserOptions", "AppData\\QOR\\TEDU\\TEDUOptions.xml", Noise},
    {"BinaryMachineOptions", "ProgramData\\QOR\\TEDU\\TEDUOptions.xml", Noise},
};

class MessyProfile : public Startup, public ::testing::WithParamInterface<ProfileCase>
{};

// A landscape file that was there before is there still, or kept as its backup.
bool Kept(const std::string& folder, const std::string& name, const std::string& before)
{
    for (const std::string& file : Files_In(folder))
        if ((file == name || file.rfind(name + ".bak", 0) == 0) && Read_File(folder + "\\" + file) == before)
            return true;
    return false;
}

// Landscapes as other programs write them: in UTF-8 with and without a
// byte-order mark, in UTF-16 of either byte order, in ISO-8859-1 and in
// windows-1252, with comments, CDATA, processing instructions and elements and
// attributes the migration does not know. Whatever a landscape was read as, its
// text reads the same after the first, second and third start (that it is
// written in UTF-8 under a declaration that says so, qorutil_xml_tests checks).

struct Encoding
{
    const char* name;
    const wchar_t* declared; // the encoding the file's declaration names
    const wchar_t* text;     // non-ASCII text that the encoding can hold
    std::string (*encode)(const std::wstring&);
};

std::string Utf16(const std::wstring& text, bool big_endian)
{
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t ch : text)
        bytes += big_endian ? std::string{char(ch >> 8), char(ch)} : std::string{char(ch), char(ch >> 8)};
    return bytes;
}

const wchar_t* const Unicode = L"S\u00fcd \u0416 \u80fd\u767b";

const Encoding Encodings[] = {
    {"Utf8", L"UTF-8", Unicode, Utf8},
    {"Utf8WithByteOrderMark", L"UTF-8", Unicode, [](const std::wstring& text) { return "\xEF\xBB\xBF" + Utf8(text); }},
    {"Utf16LittleEndian", L"UTF-16", Unicode, [](const std::wstring& text) { return Utf16(text, false); }},
    {"Utf16BigEndian", L"UTF-16", Unicode, [](const std::wstring& text) { return Utf16(text, true); }},
    {"Latin1", L"ISO-8859-1", L"S\u00fcd \u00df\u00e9", [](const std::wstring& text) { return Encoded(text, 28591); }},
    {"Windows1252", L"windows-1252", L"S\u00fcd \u20ac \u00df",
     [](const std::wstring& text) { return Encoded(text, 1252); }},
};

// The landscapes as another program wrote them, $E standing for the name of
// their encoding and $T for its text.
const wchar_t* const Shared_Landscape = LR"(<?xml version="1.0" encoding="$E"?>
<!--$T-->
<Landscape owner="$T"><Messageservers>
  <Messageserver uuid="m-1" name="OLD" description="$T" host="old.example.com" port="3600"/>
</Messageservers></Landscape>)";
const wchar_t* const User_Landscape = LR"(<?xml version="1.0" encoding="$E"?>
<Landscape owner="$T"><!--$T-->
  <Workspaces><Workspace uuid="w-1" name="$T" expanded="1"><Item uuid="s-1" serviceid="s-1"/></Workspace></Workspaces>
  <Services><Service type="QORGUI" uuid="s-1" name="$T"><Property name="Note" value="$T"/></Service></Services>
  <Extra note="$T"><![CDATA[$T]]></Extra><?tool $T?>
</Landscape>)";

std::string Written(std::wstring landscape, const Encoding& encoding)
{
    for (size_t at; (at = landscape.find(L'$')) != std::wstring::npos;)
        landscape.replace(at, 2, landscape[at + 1] == L'E' ? encoding.declared : encoding.text);
    return encoding.encode(landscape);
}

// The text of the node that `xpath` selects in the file, or "<none>".
std::wstring Text_At(const std::string& file, const wchar_t* xpath)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    CString message;
    IXMLDOMNodePtr node;
    if (!document.Load_From_File(CString(file.c_str()), message, true))
        return L"<does not load: " + std::wstring(_bstr_t(message.GetString())) + L">";
    if (FAILED(document.m_pXmlDocument->selectSingleNode(_bstr_t(xpath), &node)) || !node)
        return L"<none>";
    _bstr_t text;
    node->get_text(text.GetAddress());
    return text.length() ? static_cast<const wchar_t*>(text) : L"";
}

class ForeignEncoding : public Startup, public ::testing::WithParamInterface<Encoding>
{};

// Files that cannot be written, or not even read, during the start-up call: a
// landscape or the old connection file that is read-only or held open by
// another program without sharing. The step that needs the file fails, the call
// reports it, the file is as it was, byte for byte, the other files keep what
// they held, and no temporary file or backup is left behind.

struct LockedCase
{
    const char* name;
    std::string file; // below the client folder
    bool locked;      // open in another handle that shares nothing; else read-only
    bool migrated;    // what the call reports
};

const LockedCase Locked_Cases[] = {
    {"ReadOnlySharedLandscape", "QORUILandscapeGlobal.xml", false, false},
    {"LockedSharedLandscape", "QORUILandscapeGlobal.xml", true, false},
    {"ReadOnlyUserLandscape", "QORUILandscape.xml", false, false},
    {"LockedUserLandscape", "QORUILandscape.xml", true, false},
    {"LockedConnectionFile", "qorlogon.ini", true, false},
    {"ReadOnlyConnectionFile", "qorlogon.ini", false, true}, // it is only ever read
};

class LockedFile : public Startup, public ::testing::WithParamInterface<LockedCase>
{};

// A row of the tables above shows by its name, which names its test too.
void PrintTo(const ProfileCase& row, std::ostream* out) { *out << row.name; }
void PrintTo(const Encoding& row, std::ostream* out) { *out << row.name; }
void PrintTo(const LockedCase& row, std::ostream* out) { *out << row.name; }

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
    Expect_Sound_Landscapes(common);
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
    const std::string landscape = Read_File(user);
    // Each chain's head is a top-level folder, which becomes the main folder itself.
    EXPECT_EQ(size_t(levels - levels / 200), Count(landscape, "<Node "));
    EXPECT_THAT(landscape, HasSubstr("name=\"At the bottom\""));
    EXPECT_TRUE(Loads_As_Xml(user));
    const std::string trace = ProcessTrace::file;
    EXPECT_EQ(size_t(levels / 200 - 1), Count(Read_File(trace.substr(0, trace.size() - 4) + "_lm01.trc"),
                                              "is nested deeper than 200 levels; it is placed at the top"));
}

// The large path: a profile of 20,000 entries made by benchmarks/genprofile.py
// (a test step before this program) arrives whole: 14,000 connections of six
// properties, 4,000 shortcuts of three, 2,000 links and 2,000 folders, ten of
// them at the top (which become the main folder).
TEST_F(Startup, AGeneratedTwentyThousandEntryProfileArrivesWhole)
{
    const char* const generated = std::getenv("LARGE_PROFILE");
    ASSERT_TRUE(generated && *generated) << "LARGE_PROFILE names the generated qorlogon.ini";
    const std::string old_file = Read_File(generated);
    Write_File(ini, old_file);
    DeleteFileA((folder / "AppData\\QOR\\TEDU\\TEDUOptions.xml").c_str()); // its services would count too
    EXPECT_TRUE(Start());
    const std::string landscape = Read_File(user);
    EXPECT_EQ(18000u, Count(landscape, "<Service "));
    EXPECT_EQ(20000u, Count(landscape, "<Item "));
    EXPECT_EQ(1990u, Count(landscape, "<Node "));
    EXPECT_EQ(96000u, Count(landscape, "<Property "));
    EXPECT_EQ(old_file, Read_File(ini));
    EXPECT_TRUE(Loads_As_Xml(user));
}

// A file of the profile as no one would write it on purpose (the table above).
TEST_P(MessyProfile, NothingIsLost)
{
    const ProfileCase& messy = GetParam();
    Write_File(folder / "secret.txt", Secret);
    Write_File(folder / messy.file, messy.content(*this));
    const std::string old_file = Read_File(ini);
    std::map<std::string, std::string> before;
    for (const std::string& name : Files_In(common))
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
    Expect_Sound_Landscapes(common);
    if (messy.present) {
        EXPECT_TRUE(migrated);
        EXPECT_THAT(Read_File(user), HasSubstr(messy.present));
    }
    if (messy.absent) {
        EXPECT_THAT(Read_File(user), Not(HasSubstr(messy.absent)));
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, MessyProfile, ::testing::ValuesIn(Profile_Cases), PrintToStringParamName());

// Landscapes in the encodings above, as other programs write them.
TEST_P(ForeignEncoding, ALandscapeReadsTheSameAfterEveryStart)
{
    const Encoding& encoding = GetParam();
    Write_File(global, Written(Shared_Landscape, encoding));
    Write_File(user, Written(User_Landscape, encoding));
    std::string qormsg = Read_File(windows + "\\qormsg.ini");
    qormsg.replace(qormsg.find("[Descriptions]"), 14, "[Descriptions]\r\nTRN=Schulung Z\xFCrich");
    Write_File(windows + "\\qormsg.ini", qormsg);
    // The nodes that hold the encoding's text, in the shared landscape and in the user's.
    const std::vector<const wchar_t*> shared_nodes = {L"/Landscape/@owner", L"/comment()",
                                                      L"//Messageserver[@name='OLD']/@description"};
    const std::vector<const wchar_t*> user_nodes = {L"/Landscape/@owner",
                                                    L"/Landscape/comment()",
                                                    L"//Workspace[@uuid='w-1']/@name",
                                                    L"//Service[@uuid='s-1']/@name",
                                                    L"//Service[@uuid='s-1']/Property/@value",
                                                    L"/Landscape/Extra/@note",
                                                    L"/Landscape/Extra",
                                                    L"/Landscape/processing-instruction('tool')"};

    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        Set_DWORD(Qor_Key, "LandscapeMigrationState", 0); // forced: the converters run every time
        EXPECT_TRUE(Start());
        for (const auto& [file, xpaths] : {std::pair(global, shared_nodes), std::pair(user, user_nodes)})
            for (const wchar_t* xpath : xpaths)
                EXPECT_EQ(encoding.text, Text_At(file, xpath)) << file << " " << xpath;
        // A description merged from qormsg.ini.
        EXPECT_EQ(L"Schulung Z\u00fcrich", Text_At(global, L"//Messageserver[@name='TRN']/@description"));
        EXPECT_EQ(4u, Count(Read_File(global), "<Messageserver ")) << "OLD and the three of qormsg.ini";
        EXPECT_THAT(Files_In(common), ::testing::SizeIs(3u)) << "no backup beside qorlogon.ini and the two landscapes";
    }
}

INSTANTIATE_TEST_SUITE_P(Landscapes, ForeignEncoding, ::testing::ValuesIn(Encodings), PrintToStringParamName());

// A file read-only or held open by another program (the table above).
TEST_P(LockedFile, TheFileStaysAsItWas)
{
    const LockedCase& locked = GetParam();
    const bool user_held = locked.file == "QORUILandscape.xml";
    Write_File(global, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Messageservers>"
                       "<Messageserver uuid=\"m-1\" name=\"OLD\" host=\"old.example.com\"/>"
                       "</Messageservers></Landscape>\n");
    if (user_held)
        Write_File(user, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Landscape><Workspaces>"
                         "<Workspace uuid=\"w\" name=\"Mine\" expanded=\"1\"/></Workspaces></Landscape>\n");
    const std::string held = common + "\\" + locked.file, before = Read_File(held);
    QOR::FrontEnd::Util::unique_hfile lock;
    if (locked.locked)
        lock.reset(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    else
        ASSERT_TRUE(SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(!locked.locked || lock) << "cannot lock " << held;

    EXPECT_EQ(locked.migrated, Start());

    lock.reset();
    SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(before, Read_File(held)) << "byte for byte";
    EXPECT_THAT(Read_File(global), HasSubstr("name=\"OLD\"")) << "the shared landscape's own server";
    if (user_held && Path_Exists(user)) {
        EXPECT_THAT(Read_File(user), HasSubstr("name=\"Mine\"")) << "the user landscape's own workspace";
    }
    for (const std::string& name : Files_In(common)) {
        EXPECT_THAT(name, Not(HasSubstr(".tmp"))) << "a temporary file is left";
        EXPECT_THAT(name, Not(HasSubstr(".bak"))) << "a file was taken for unreadable";
    }
}

INSTANTIATE_TEST_SUITE_P(Files, LockedFile, ::testing::ValuesIn(Locked_Cases), PrintToStringParamName());
