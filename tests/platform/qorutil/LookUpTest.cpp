#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CString.h"
#include "Caller.h"
#include "QorUtil.h"
#include "TestSupport.h"

using TestSupport::EnvironmentVariable;

namespace {

const char* const Options_Key = "Software\\QOR\\QORLogon\\Options";
const char* const Test_Key = "Software\\QOR\\QORLogon\\ConfigFilesInUse_1234";

typedef BOOL (*FileLookUp)(char*, int, int&);

// An answer as "result|buffer"; file look-ups add "|source", as lookup_host.exe
// prints them. The buffer starts out as garbage, so "no answer" has to empty it.
template <typename Call>
std::string Answer(int size, Call call)
{
    std::vector<char> buffer(size, 'x');
    const BOOL result = call(buffer.data());
    return std::string(result ? "1|" : "0|") + std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::string Ask(FileLookUp lookUp, int size = MAX_PATH)
{
    int source = -1;
    const std::string answer = Answer(size, [&](char* buffer) { return lookUp(buffer, size, source); });
    return answer + "|" + std::to_string(source);
}

std::string Ask(decltype(&GetServerLandscapeFileName) lookUp, int size = MAX_PATH)
{
    return Answer(size, [&](char* buffer) { return lookUp(0, buffer, size); });
}

std::string Reg_Val_String(int mode, int size = MAX_PATH)
{
    return Answer(size, [&](char* buffer) { return GetRegValString(buffer, size, Test_Key, "Value", mode); });
}

// Gives the string value below `key` to the current user and to the machine;
// a null text removes it.
void Put_(const TestSupport::Caller& at, const char* key, const char* value, const char* user, const char* machine)
{
    for (const auto& [root, text] :
         {std::make_pair(HKEY_CURRENT_USER, user), std::make_pair(HKEY_LOCAL_MACHINE, machine)}) {
        RegDeleteKeyValueA(root, key, value);
        const LSTATUS status =
            text ? RegSetKeyValueA(root, key, value, REG_SZ, text, DWORD(strlen(text) + 1)) : ERROR_SUCCESS;
        EXPECT_AT(at, status == ERROR_SUCCESS) << "setting " << key << "\\" << value << " returned " << status;
    }
}
#define Put(...) Put_(HERE, __VA_ARGS__)

// Every test starts from a clean registry and an environment that names no file.
struct LookUpTest : public ::testing::Test
{
    TestSupport::RegistrySandbox sandbox;
    TestSupport::ScratchDirectory appData;
    EnvironmentVariable appDataVariable{"APPDATA", appData.Path().c_str()};
    EnvironmentVariable landscapeVariable{"QORLOGON_LSXML", nullptr};
    EnvironmentVariable iniVariable{"QORLOGON_INI", nullptr};
};

} // namespace

// lookup_host.exe prints what the file look-ups answer for its command line and
// this environment; a null APPDATA tail removes APPDATA. An answer that does not
// fit the buffer is no answer.
TEST_F(LookUpTest, FileLookUpsAnswerFromTheCommandLineTheVariableOrTheUsersDefault)
{
    const std::string home = appData / "QOR\\Common\\", none = "0||0";
    const std::string landscape = "1|" + home + "QORUILandscape.xml|1", ini = "1|" + home + "qorlogon.ini|1";
    const std::string shared = "1|" + home + "QORUILandscapeGlobal.xml|1";
    const struct
    {
        const char *appDataTail, *landscapeVariable, *iniVariable, *commandLine;
        std::string landscape, ini, shared;
    } cases[] = {
        {"", nullptr, nullptr, "", landscape, ini, shared},
        {"\\", nullptr, nullptr, "", landscape, ini, shared},
        {nullptr, nullptr, nullptr, "", none, none, none},
        {"", "D:\\n\\u.xml", nullptr, "", "1|D:\\n\\u.xml|202", ini, "1|D:\\n\\QORUILandscapeGlobal.xml|1"},
        {"", nullptr, "D:\\n\\i.ini", "", landscape, "1|D:\\n\\i.ini|2", shared},
        // What set NAME="E:\a b\u.xml" leaves in the environment.
        {"", "\"E:\\a b\\u.xml\"", "\"E:\\a b\\i.ini\"", "", "1|E:\\a b\\u.xml|202", "1|E:\\a b\\i.ini|2",
         "1|E:\\a b\\QORUILandscapeGlobal.xml|1"},
        {"", "\"\"", "\"\"", "", landscape, ini, shared},
        {"", "sub\\u.xml", "i.ini", "", "1|sub\\u.xml|202", "1|i.ini|2", "1|sub\\QORUILandscapeGlobal.xml|1"},
        {"", "F:\\env\\u.xml", "F:\\env\\i.ini", "/INI=E:\\cmd\\i.ini /LSXML=E:\\cmd\\u.xml", "1|E:\\cmd\\u.xml|201",
         "1|E:\\cmd\\i.ini|2", "1|E:\\cmd\\QORUILandscapeGlobal.xml|1"},
        // Another switch, a longer name, no slash, no '=' and an empty value are all passed over.
        {"", "F:\\env\\u.xml", "F:\\env\\i.ini",
         "/other=1 /LSXMLFILE=E:\\x.xml LSXML=E:\\y.xml /INI /INIT=E:\\z.ini /LSXML=", "1|F:\\env\\u.xml|202",
         "1|F:\\env\\i.ini|2", "1|F:\\env\\QORUILandscapeGlobal.xml|1"},
        {"", nullptr, nullptr, "-lsxml=\"E:\\a b\\u.xml\" \"/Ini=E:\\a b\\i.ini\"", "1|E:\\a b\\u.xml|201",
         "1|E:\\a b\\i.ini|2", "1|E:\\a b\\QORUILandscapeGlobal.xml|1"},
    };
    for (const auto& c : cases) {
        EnvironmentVariable appDataNow("APPDATA", c.appDataTail ? (appData.Path() + c.appDataTail).c_str() : nullptr);
        EnvironmentVariable landscapeNow("QORLOGON_LSXML", c.landscapeVariable);
        EnvironmentVariable iniNow("QORLOGON_INI", c.iniVariable);
        const TestSupport::ProcessResult host = TestSupport::Run_Program("lookup_host.exe", c.commandLine);
        EXPECT_EQ(0u, host.exitCode) << "row " << &c - cases;
        EXPECT_EQ("landscape|" + c.landscape + "\r\nini|" + c.ini + "\r\nshared|" + c.shared + "\r\n", host.output)
            << "row " << &c - cases;
    }
    // The same look-ups asked in this process, which has a command line of its own.
    const std::pair<FileLookUp, std::string> defaults[] = {{GetQorLogonUserLandscapeFileToLoad, landscape},
                                                           {GetQorLogonUserIniFileToLoad, ini},
                                                           {GetQorLogonLocalSharedLandscapeFileToLoad, shared}};
    for (const auto& [lookUp, answer] : defaults) {
        const int needed = static_cast<int>(answer.size()) - 3; // "1|<path>|1": the path and its terminator
        EXPECT_EQ("0||0", Ask(lookUp, needed - 1)) << "an answer that does not fit: " << answer;
        EXPECT_EQ(answer, Ask(lookUp, needed));
    }
}

TEST_F(LookUpTest, ServerLandscapeSettingsReadTheUserBeforeTheMachine)
{
    const struct
    {
        const char *userServer, *machineServer, *userCore, *machineCore, *server, *core, *shared;
    } cases[] = {
        // the last three: what the three look-ups answer
        {nullptr, nullptr, nullptr, nullptr, "0|", "0|", "0|"},
        {nullptr, nullptr, nullptr, "\\\\m\\c.xml", "0|", "1|\\\\m\\c.xml", "1|\\\\m\\c.xml"},
        {nullptr, "\\\\m\\s.xml", "C:\\u\\c.xml", nullptr, "1|\\\\m\\s.xml", "1|C:\\u\\c.xml", "1|\\\\m\\s.xml"},
        {"\\\\u\\s.xml", "\\\\m\\s.xml", "\\\\u\\c.xml", "\\\\m\\c.xml", "1|\\\\u\\s.xml", "1|\\\\u\\c.xml",
         "1|\\\\u\\s.xml"},
        {"", "\\\\m\\s.xml", "", "\\\\m\\c.xml", "0|", "0|", "0|"}, // the user's empty values answer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Put(Options_Key, "ServerLandscapeFileName", c.userServer, c.machineServer);
        Put(Options_Key, "CoreLandscapeFileOnServer", c.userCore, c.machineCore);
        EXPECT_EQ(c.server, Ask(GetServerLandscapeFileName));
        EXPECT_EQ(c.core, Ask(GetCoreLandscapeFileName));
        EXPECT_EQ(c.shared, Ask(GetSharedLandscapeFileOnServer, 16640));
    }
}

// The modes the migration asks in, 0 and 3, read the user's value before the
// machine's; a null default answers an empty string.
TEST_F(LookUpTest, RegistryStringsReadTheUserBeforeTheMachine)
{
    const struct
    {
        const char *user, *machine, *mode0, *mode3; // "found|text" of GetRegValString and getRegValStringEx
    } cases[] = {
        {"user.ini", "machine.ini", "1|user.ini", "1|user.ini"},
        {nullptr, "machine.ini", "1|machine.ini", "1|machine.ini"},
        {"user.ini", nullptr, "1|user.ini", "1|user.ini"},
        {"", "machine.ini", "0|", "1|"}, // found, but empty: no answer in a buffer
        {nullptr, nullptr, "0|", "0|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Put(Test_Key, "Value", c.user, c.machine);
        EXPECT_EQ(c.mode0, Reg_Val_String(0));
        CString text("stale");
        const char* found = getRegValStringEx(text, Test_Key, "Value", nullptr, 3) ? "1|" : "0|";
        EXPECT_EQ(c.mode3, found + std::string(text.GetString()));
    }
    Put(Test_Key, "Value", "user.ini", nullptr); // nine bytes with the terminator
    EXPECT_EQ("0|", Reg_Val_String(0, 8));
    EXPECT_EQ("1|user.ini", Reg_Val_String(0, 9));
}

TEST_F(LookUpTest, TraceDirectoryIsAnExistingFolderFromTheVariableOrElseTheOption)
{
    const std::string a = appData / "a", b = appData / "b", quotedB = "\"" + b + "\"", missing = appData / "missing";
    const std::string file = appData / "file.trc";
    ASSERT_TRUE(CreateDirectoryA(a.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(b.c_str(), nullptr));
    TestSupport::Write_File(file, "x");
    const struct
    {
        const char *variable, *userOption, *machineOption;
        std::string expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, "0|"},
        {nullptr, a.c_str(), b.c_str(), "1|" + a},
        {nullptr, nullptr, b.c_str(), "1|" + b},
        {quotedB.c_str(), a.c_str(), nullptr, "1|" + b},
        {"", a.c_str(), nullptr, "1|" + a},
        {nullptr, missing.c_str(), b.c_str(), "0|"},
        {nullptr, file.c_str(), nullptr, "0|"},
        {missing.c_str(), a.c_str(), nullptr, "0|"}, // no falling back from a variable that names no folder
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EnvironmentVariable variableNow("QOR_TRACE_DIR", c.variable);
        Put(Options_Key, "TraceDirectory", c.userOption, c.machineOption);
        EXPECT_EQ(c.expected, Answer(MAX_PATH, InitTraceDir));
    }
}
