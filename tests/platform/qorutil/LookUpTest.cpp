#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "CString.h"
#include "QorUtil.h"
#include "TestSupport.h"

using TestSupport::EnvironmentVariable;
using TestSupport::ScratchDirectory;

namespace {

const char* const Options_Key = "Software\\QOR\\QORLogon\\Options";

typedef BOOL (*FileLookUp)(char*, int, int&);
typedef BOOL (*SettingLookUp)(int, char*, int);

// What a look-up answered: its result, the source code and the buffer.
struct Answer
{
    int result;
    int source;
    std::string path;

    bool operator==(const Answer& other) const
    {
        return result == other.result && source == other.source && path == other.path;
    }
};

std::ostream& operator<<(std::ostream& out, const Answer& answer)
{
    return out << "{" << answer.result << ", " << answer.source << ", \"" << answer.path << "\"}";
}

// Calls a look-up with a buffer of `size` bytes that holds garbage, so that an
// answer of "nothing" has to empty it.
Answer Ask(FileLookUp lookUp, int size = MAX_PATH)
{
    std::vector<char> buffer(size, 'x');
    int source = -1;
    const BOOL result = lookUp(buffer.data(), size, source);
    return {result ? 1 : 0, source, std::string(buffer.data(), strnlen(buffer.data(), buffer.size()))};
}

// The same for the setting look-ups, which have no source; it is reported as 0.
Answer Ask(SettingLookUp lookUp, int size)
{
    std::vector<char> buffer(size, 'x');
    const BOOL result = lookUp(0, buffer.data(), size);
    return {result ? 1 : 0, 0, std::string(buffer.data(), strnlen(buffer.data(), buffer.size()))};
}

// Runs lookup_host.exe with the arguments and returns its answers by look-up name.
std::map<std::string, Answer> Ask_Host(const std::string& arguments)
{
    const TestSupport::ProcessResult run = TestSupport::Run_Program("lookup_host.exe", arguments);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    std::map<std::string, Answer> answers;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream parts(line);
        std::string field;
        while (std::getline(parts, field, '|'))
            fields.push_back(field);
        if (fields.size() == 3) // an empty path
            fields.emplace_back();
        EXPECT_EQ(4u, fields.size()) << line;
        if (fields.size() == 4)
            answers[fields[0]] = {std::stoi(fields[1]), std::stoi(fields[2]), fields[3]};
    }
    EXPECT_EQ(3u, answers.size()) << run.output;
    return answers;
}

void Put_String(HKEY root, const char* key, const char* value, const std::string& text)
{
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(root, key, value, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1)));
}

// Every test starts from a clean registry and an environment that names no file.
class LookUpTest : public ::testing::Test
{
protected:
    TestSupport::RegistrySandbox sandbox;
    ScratchDirectory appData;
    EnvironmentVariable appDataVariable{"APPDATA", appData.Path().c_str()};
    EnvironmentVariable landscapeVariable{"QORLOGON_LSXML", nullptr};
    EnvironmentVariable iniVariable{"QORLOGON_INI", nullptr};
    EnvironmentVariable traceVariable{"QOR_TRACE_DIR", nullptr};

    std::string User_Folder() const { return appData / "QOR\\Common\\"; }
};

} // namespace

// ---- file look-ups --------------------------------------------------------------

TEST_F(LookUpTest, PerUserDefaultsLieBelowAppData)
{
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscape.xml"}), Ask(GetQorLogonUserLandscapeFileToLoad));
    EXPECT_EQ((Answer{1, 1, User_Folder() + "qorlogon.ini"}), Ask(GetQorLogonUserIniFileToLoad));
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscapeGlobal.xml"}),
              Ask(GetQorLogonLocalSharedLandscapeFileToLoad));
}

TEST_F(LookUpTest, AppDataEndingInASeparatorGivesNoDoubleSeparator)
{
    EnvironmentVariable withSeparator("APPDATA", (appData.Path() + "\\").c_str());
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscape.xml"}), Ask(GetQorLogonUserLandscapeFileToLoad));
}

TEST_F(LookUpTest, WithoutAppDataThereIsNoDefault)
{
    EnvironmentVariable noAppData("APPDATA", nullptr);
    const Answer nothing{0, 0, ""};
    EXPECT_EQ(nothing, Ask(GetQorLogonUserLandscapeFileToLoad));
    EXPECT_EQ(nothing, Ask(GetQorLogonUserIniFileToLoad));
    EXPECT_EQ(nothing, Ask(GetQorLogonLocalSharedLandscapeFileToLoad));
}

TEST_F(LookUpTest, ABufferTooSmallStaysEmpty)
{
    const std::string path = User_Folder() + "QORUILandscape.xml";
    const int needed = static_cast<int>(path.size()) + 1; // with the terminator

    EXPECT_EQ((Answer{0, 0, ""}), Ask(GetQorLogonUserLandscapeFileToLoad, needed - 1));
    EXPECT_EQ((Answer{1, 1, path}), Ask(GetQorLogonUserLandscapeFileToLoad, needed));
    EXPECT_EQ((Answer{0, 0, ""}), Ask(GetQorLogonUserIniFileToLoad, 10));
    EXPECT_EQ((Answer{0, 0, ""}), Ask(GetQorLogonLocalSharedLandscapeFileToLoad, 10));
}

TEST_F(LookUpTest, EnvironmentVariableNamesTheLandscape)
{
    ScratchDirectory named;
    EnvironmentVariable variable("QORLOGON_LSXML", (named / "mine.xml").c_str());

    EXPECT_EQ((Answer{1, 202, named / "mine.xml"}), Ask(GetQorLogonUserLandscapeFileToLoad));
    EXPECT_EQ((Answer{1, 1, named / "QORUILandscapeGlobal.xml"}), Ask(GetQorLogonLocalSharedLandscapeFileToLoad));
    EXPECT_EQ((Answer{1, 1, User_Folder() + "qorlogon.ini"}), Ask(GetQorLogonUserIniFileToLoad));
}

TEST_F(LookUpTest, EnvironmentVariableNamesTheConnectionFile)
{
    EnvironmentVariable variable("QORLOGON_INI", "D:\\profiles\\mine.ini");

    EXPECT_EQ((Answer{1, 2, "D:\\profiles\\mine.ini"}), Ask(GetQorLogonUserIniFileToLoad));
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscape.xml"}), Ask(GetQorLogonUserLandscapeFileToLoad));
}

TEST_F(LookUpTest, QuotesAroundAVariableAreNotPartOfTheName)
{
    // What "set QORLOGON_LSXML="E:\with blank\user.xml"" leaves in the environment.
    EnvironmentVariable landscape("QORLOGON_LSXML", "\"E:\\with blank\\user.xml\"");
    EnvironmentVariable ini("QORLOGON_INI", "\"E:\\with blank\\my.ini\"");

    EXPECT_EQ((Answer{1, 202, "E:\\with blank\\user.xml"}), Ask(GetQorLogonUserLandscapeFileToLoad));
    EXPECT_EQ((Answer{1, 1, "E:\\with blank\\QORUILandscapeGlobal.xml"}),
              Ask(GetQorLogonLocalSharedLandscapeFileToLoad));
    EXPECT_EQ((Answer{1, 2, "E:\\with blank\\my.ini"}), Ask(GetQorLogonUserIniFileToLoad));
}

TEST_F(LookUpTest, AVariableOfOnlyQuotesNamesNothing)
{
    EnvironmentVariable landscape("QORLOGON_LSXML", "\"\"");
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscape.xml"}), Ask(GetQorLogonUserLandscapeFileToLoad));
}

TEST_F(LookUpTest, HostWithoutSwitchesUsesTheDefaults)
{
    std::map<std::string, Answer> host = Ask_Host("");
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscape.xml"}), host["landscape"]);
    EXPECT_EQ((Answer{1, 1, User_Folder() + "qorlogon.ini"}), host["ini"]);
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscapeGlobal.xml"}), host["shared"]);
}

TEST_F(LookUpTest, HostCommandLineNamesTheLandscape)
{
    std::map<std::string, Answer> host = Ask_Host("/LSXML=E:\\named\\user.xml");
    EXPECT_EQ((Answer{1, 201, "E:\\named\\user.xml"}), host["landscape"]);
    EXPECT_EQ((Answer{1, 1, "E:\\named\\QORUILandscapeGlobal.xml"}), host["shared"]);
    EXPECT_EQ((Answer{1, 1, User_Folder() + "qorlogon.ini"}), host["ini"]);
}

TEST_F(LookUpTest, HostCommandLineWinsOverTheEnvironment)
{
    EnvironmentVariable landscape("QORLOGON_LSXML", "F:\\from\\variable.xml");
    EnvironmentVariable ini("QORLOGON_INI", "F:\\from\\variable.ini");

    std::map<std::string, Answer> withSwitches = Ask_Host("/INI=E:\\from\\switch.ini /LSXML=E:\\from\\switch.xml");
    EXPECT_EQ((Answer{1, 201, "E:\\from\\switch.xml"}), withSwitches["landscape"]);
    EXPECT_EQ((Answer{1, 2, "E:\\from\\switch.ini"}), withSwitches["ini"]);
    EXPECT_EQ((Answer{1, 1, "E:\\from\\QORUILandscapeGlobal.xml"}), withSwitches["shared"]);

    // The host sees the variables when its command line names nothing.
    std::map<std::string, Answer> without = Ask_Host("/other=1");
    EXPECT_EQ((Answer{1, 202, "F:\\from\\variable.xml"}), without["landscape"]);
    EXPECT_EQ((Answer{1, 2, "F:\\from\\variable.ini"}), without["ini"]);
    EXPECT_EQ((Answer{1, 1, "F:\\from\\QORUILandscapeGlobal.xml"}), without["shared"]);
}

TEST_F(LookUpTest, HostSwitchesIgnoreCaseTakeADashAndMayBeQuoted)
{
    std::map<std::string, Answer> host = Ask_Host("-lsxml=\"E:\\with blank\\user.xml\" \"/Ini=E:\\with blank\\my.ini\"");
    EXPECT_EQ((Answer{1, 201, "E:\\with blank\\user.xml"}), host["landscape"]);
    EXPECT_EQ((Answer{1, 2, "E:\\with blank\\my.ini"}), host["ini"]);
    EXPECT_EQ((Answer{1, 1, "E:\\with blank\\QORUILandscapeGlobal.xml"}), host["shared"]);
}

TEST_F(LookUpTest, HostIgnoresSwitchesWithoutAValueOrWithALongerName)
{
    std::map<std::string, Answer> host = Ask_Host("/LSXML= /LSXMLFILE=E:\\x.xml LSXML=E:\\y.xml /INI");
    EXPECT_EQ((Answer{1, 1, User_Folder() + "QORUILandscape.xml"}), host["landscape"]);
    EXPECT_EQ((Answer{1, 1, User_Folder() + "qorlogon.ini"}), host["ini"]);
}

// ---- server landscape settings ---------------------------------------------------

TEST_F(LookUpTest, NoServerLandscapeConfigured)
{
    const Answer nothing{0, 0, ""};
    EXPECT_EQ(nothing, Ask(GetSharedLandscapeFileOnServer, 16640));
    EXPECT_EQ(nothing, Ask(GetServerLandscapeFileName, MAX_PATH));
    EXPECT_EQ(nothing, Ask(GetCoreLandscapeFileName, MAX_PATH));
}

TEST_F(LookUpTest, RecordedCoreFileIsTheSharedLandscapeWhenNoServerFileIsSet)
{
    const std::string core = User_Folder() + "QORUILandscapeGlobal.xml";
    Put_String(HKEY_CURRENT_USER, Options_Key, "CoreLandscapeFileOnServer", core);

    EXPECT_EQ((Answer{1, 0, core}), Ask(GetSharedLandscapeFileOnServer, 16640));
    EXPECT_EQ((Answer{1, 0, core}), Ask(GetCoreLandscapeFileName, MAX_PATH));
    EXPECT_EQ((Answer{0, 0, ""}), Ask(GetServerLandscapeFileName, MAX_PATH));
}

TEST_F(LookUpTest, ServerLandscapeFileNameTakesPrecedenceOverTheCoreFile)
{
    Put_String(HKEY_CURRENT_USER, Options_Key, "CoreLandscapeFileOnServer", "C:\\local\\QORUILandscapeGlobal.xml");
    Put_String(HKEY_LOCAL_MACHINE, Options_Key, "ServerLandscapeFileName", "\\\\server\\share\\landscape.xml");

    EXPECT_EQ((Answer{1, 0, "\\\\server\\share\\landscape.xml"}), Ask(GetSharedLandscapeFileOnServer, 16640));
    EXPECT_EQ((Answer{1, 0, "\\\\server\\share\\landscape.xml"}), Ask(GetServerLandscapeFileName, MAX_PATH));
    EXPECT_EQ((Answer{1, 0, "C:\\local\\QORUILandscapeGlobal.xml"}), Ask(GetCoreLandscapeFileName, MAX_PATH));
}

TEST_F(LookUpTest, CurrentUserSettingsWinOverTheMachine)
{
    Put_String(HKEY_CURRENT_USER, Options_Key, "ServerLandscapeFileName", "\\\\user\\landscape.xml");
    Put_String(HKEY_LOCAL_MACHINE, Options_Key, "ServerLandscapeFileName", "\\\\machine\\landscape.xml");
    Put_String(HKEY_CURRENT_USER, Options_Key, "CoreLandscapeFileOnServer", "\\\\user\\core.xml");
    Put_String(HKEY_LOCAL_MACHINE, Options_Key, "CoreLandscapeFileOnServer", "\\\\machine\\core.xml");

    EXPECT_EQ("\\\\user\\landscape.xml", Ask(GetServerLandscapeFileName, MAX_PATH).path);
    EXPECT_EQ("\\\\user\\core.xml", Ask(GetCoreLandscapeFileName, MAX_PATH).path);
    EXPECT_EQ("\\\\user\\landscape.xml", Ask(GetSharedLandscapeFileOnServer, 16640).path);
}

TEST_F(LookUpTest, MachineSettingsApplyWhenTheUserHasNone)
{
    Put_String(HKEY_LOCAL_MACHINE, Options_Key, "CoreLandscapeFileOnServer", "\\\\machine\\core.xml");

    EXPECT_EQ((Answer{1, 0, "\\\\machine\\core.xml"}), Ask(GetCoreLandscapeFileName, MAX_PATH));
    EXPECT_EQ((Answer{1, 0, "\\\\machine\\core.xml"}), Ask(GetSharedLandscapeFileOnServer, 16640));
}

TEST_F(LookUpTest, ASettingThatDoesNotFitStaysEmpty)
{
    Put_String(HKEY_CURRENT_USER, Options_Key, "ServerLandscapeFileName", "\\\\server\\landscape.xml");
    EXPECT_EQ((Answer{0, 0, ""}), Ask(GetServerLandscapeFileName, 10));
    EXPECT_EQ((Answer{0, 0, ""}), Ask(GetSharedLandscapeFileOnServer, 10));
}

// ---- registry strings -------------------------------------------------------------

namespace {

const char* const Test_Key = "Software\\QOR\\QORLogon\\ConfigFilesInUse_1234";
const char* const Test_Value = "ConnectionConfigFile";

// What the two registry look-ups answer in one mode.
struct Reading
{
    int mode;
    int result;
    std::string text;

    bool operator==(const Reading& other) const
    {
        return mode == other.mode && result == other.result && text == other.text;
    }
};

std::ostream& operator<<(std::ostream& out, const Reading& reading)
{
    return out << "{mode " << reading.mode << ": " << reading.result << ", \"" << reading.text << "\"}";
}

Reading Reg_Val_String(int mode, int size = MAX_PATH)
{
    std::vector<char> buffer(size, 'x');
    const BOOL result = GetRegValString(buffer.data(), size, Test_Key, Test_Value, mode);
    return {mode, result ? 1 : 0, std::string(buffer.data(), strnlen(buffer.data(), buffer.size()))};
}

Reading Reg_Val_String_Ex(int mode, const char* defaultValue = nullptr)
{
    CString result("stale");
    const BOOL found = getRegValStringEx(result, Test_Key, Test_Value, defaultValue, mode);
    return {mode, found ? 1 : 0, result.GetString()};
}

} // namespace

TEST_F(LookUpTest, RegistryStringModesChooseTheRoot)
{
    Put_String(HKEY_CURRENT_USER, Test_Key, Test_Value, "user.ini");
    Put_String(HKEY_LOCAL_MACHINE, Test_Key, Test_Value, "machine.ini");

    // 1 the user, 2 the machine, 0 and 3 the user before the machine.
    const Reading expected[] = {{0, 1, "user.ini"}, {1, 1, "user.ini"}, {2, 1, "machine.ini"}, {3, 1, "user.ini"}};
    for (const Reading& reading : expected) {
        EXPECT_EQ(reading, Reg_Val_String(reading.mode));
        EXPECT_EQ(reading, Reg_Val_String_Ex(reading.mode));
    }
}

TEST_F(LookUpTest, RegistryStringModesFallBackOnlyWhereAllowed)
{
    Put_String(HKEY_LOCAL_MACHINE, Test_Key, Test_Value, "machine.ini");

    const Reading expected[] = {{0, 1, "machine.ini"}, {1, 0, ""}, {2, 1, "machine.ini"}, {3, 1, "machine.ini"}};
    for (const Reading& reading : expected) {
        EXPECT_EQ(reading, Reg_Val_String(reading.mode));
        EXPECT_EQ(reading, Reg_Val_String_Ex(reading.mode));
    }

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, Test_Key, Test_Value));
    Put_String(HKEY_CURRENT_USER, Test_Key, Test_Value, "user.ini");
    EXPECT_EQ((Reading{2, 0, ""}), Reg_Val_String(2));
    EXPECT_EQ((Reading{2, 0, ""}), Reg_Val_String_Ex(2));
}

TEST_F(LookUpTest, AnEmptyUserValueHidesTheMachineValue)
{
    Put_String(HKEY_CURRENT_USER, Test_Key, Test_Value, "");
    Put_String(HKEY_LOCAL_MACHINE, Test_Key, Test_Value, "machine.ini");

    // The value is there, so the user's answer stands; it is just empty.
    EXPECT_EQ((Reading{3, 0, ""}), Reg_Val_String(3));
    EXPECT_EQ((Reading{3, 1, ""}), Reg_Val_String_Ex(3, "fallback.ini"));
}

TEST_F(LookUpTest, MissingRegistryStringGivesTheDefaultOrNothing)
{
    EXPECT_EQ((Reading{3, 0, ""}), Reg_Val_String(3));
    EXPECT_EQ((Reading{3, 0, ""}), Reg_Val_String_Ex(3));
    EXPECT_EQ((Reading{3, 0, "fallback.ini"}), Reg_Val_String_Ex(3, "fallback.ini"));

    Put_String(HKEY_CURRENT_USER, Test_Key, Test_Value, "user.ini");
    EXPECT_EQ((Reading{3, 1, "user.ini"}), Reg_Val_String_Ex(3, "fallback.ini"));
}

TEST_F(LookUpTest, RegistryStringThatDoesNotFitStaysEmpty)
{
    Put_String(HKEY_CURRENT_USER, Test_Key, Test_Value, "user.ini"); // nine bytes with the terminator
    EXPECT_EQ((Reading{0, 0, ""}), Reg_Val_String(0, 8));
    EXPECT_EQ((Reading{0, 1, "user.ini"}), Reg_Val_String(0, 9));
}

// ---- trace directory --------------------------------------------------------------

TEST_F(LookUpTest, InitBufferZeroFillsExactlyMaxPathBytes)
{
    std::vector<char> buffer(MAX_PATH + 4, 'x');
    InitBuffer(buffer.data());
    EXPECT_EQ(std::string(MAX_PATH, '\0'), std::string(buffer.data(), MAX_PATH));
    EXPECT_EQ("xxxx", std::string(buffer.data() + MAX_PATH, 4));
}

namespace {

Answer Trace_Directory()
{
    std::vector<char> buffer(MAX_PATH, 'x');
    buffer.back() = '\0';
    const BOOL result = InitTraceDir(buffer.data());
    return {result ? 1 : 0, 0, buffer.data()};
}

} // namespace

TEST_F(LookUpTest, TraceDirectoryComesFromTheVariableFirst)
{
    ScratchDirectory fromVariable, fromOption;
    Put_String(HKEY_CURRENT_USER, Options_Key, "TraceDirectory", fromOption.Path());

    EXPECT_EQ((Answer{1, 0, fromOption.Path()}), Trace_Directory());
    EnvironmentVariable variable("QOR_TRACE_DIR", fromVariable.Path().c_str());
    EXPECT_EQ((Answer{1, 0, fromVariable.Path()}), Trace_Directory());
}

TEST_F(LookUpTest, TraceDirectoryVariableMayBeQuoted)
{
    ScratchDirectory traces;
    EnvironmentVariable variable("QOR_TRACE_DIR", ("\"" + traces.Path() + "\"").c_str());
    EXPECT_EQ((Answer{1, 0, traces.Path()}), Trace_Directory());
}

TEST_F(LookUpTest, TraceDirectoryOptionOfTheMachineApplies)
{
    ScratchDirectory fromOption;
    EXPECT_EQ((Answer{0, 0, ""}), Trace_Directory());
    Put_String(HKEY_LOCAL_MACHINE, Options_Key, "TraceDirectory", fromOption.Path());
    EXPECT_EQ((Answer{1, 0, fromOption.Path()}), Trace_Directory());
}

TEST_F(LookUpTest, TraceDirectoryThatIsNoFolderIsRejected)
{
    ScratchDirectory existing;
    TestSupport::Write_File(existing / "file.trc", "x");

    Put_String(HKEY_CURRENT_USER, Options_Key, "TraceDirectory", existing / "missing");
    EXPECT_EQ((Answer{0, 0, ""}), Trace_Directory());
    Put_String(HKEY_CURRENT_USER, Options_Key, "TraceDirectory", existing / "file.trc");
    EXPECT_EQ((Answer{0, 0, ""}), Trace_Directory());

    // A variable that names a missing folder does not fall back to the option.
    Put_String(HKEY_CURRENT_USER, Options_Key, "TraceDirectory", existing.Path());
    EnvironmentVariable variable("QOR_TRACE_DIR", (existing / "missing").c_str());
    EXPECT_EQ((Answer{0, 0, ""}), Trace_Directory());
}
