#pragma once
// Test fixtures for running real Windows code under Wine: each test gets its own
// folder, its own registry hives and its own environment, all put back after.
#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Handles.h"

namespace TestSupport {

// A fresh folder under %TEMP%, deleted with everything in it at the end.
class ScratchDirectory
{
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Redirects a predefined hive (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE) of this
// process to the key `name` below the real current user, made when missing;
// the key stays when the process ends. Throws when it cannot.
QOR::FrontEnd::Util::unique_hkey Redirect_Hive(HKEY predefined, const std::string& name);

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process to empty
// keys of their own for the lifetime of the object; the keys are deleted after.
// Code under test sees a clean registry and leaves nothing behind.
class RegistrySandbox
{
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::string m_userKey;
    std::string m_machineKey;
    QOR::FrontEnd::Util::unique_hkey m_user;
    QOR::FrontEnd::Util::unique_hkey m_machine;
};

// A key of the real user's or machine's hive (as programs that a test starts
// see them) set aside for the lifetime of the object: absent meanwhile, and put
// back at the end as it was before, whatever the test left there. The copy is
// kept below the real current user.
class RealKeySetAside
{
public:
    explicit RealKeySetAside(const std::string& name, HKEY root = HKEY_CURRENT_USER);
    ~RealKeySetAside();
    RealKeySetAside(const RealKeySetAside&) = delete;
    RealKeySetAside& operator=(const RealKeySetAside&) = delete;

private:
    HKEY m_root;
    std::string m_name;
    std::string m_aside; // empty when there was no key
};

// Sets (or, with a null value, removes) an environment variable; puts back
// what was there at the end. A narrow name or value is in the ANSI code page.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const std::string& name, const char* value);
    EnvironmentVariable(const std::wstring& name, const std::wstring& value);
    ~EnvironmentVariable();
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    void Set(const wchar_t* value);

    std::wstring m_name;
    std::wstring m_old;
    bool m_hadOld = false;
};

// The files of the sample profile, relative to a profile folder; the old
// connection file first.
inline constexpr const char* Sample_Files[] = {"AppData\\QOR\\Common\\qorlogon.ini",
                                               "AppData\\QOR\\TEDU\\TEDUOptions.xml",
                                               "ProgramData\\QOR\\TEDU\\TEDUOptions.xml",
                                               "Windows\\qormsg.ini",
                                               "Windows\\qorroute.ini",
                                               "Windows\\System32\\drivers\\etc\\services"};
// Copies the sample profile (of the test folder) into `profile`, making its
// folders; throws when a file cannot be copied.
void Install_Sample(const std::string& profile);

struct ProcessResult
{
    DWORD exitCode = 0;
    std::string output; // standard output and standard error together
};

// Runs a program of the test folder (beside this test) with the given command
// line tail and waits for it.
ProcessResult Run_Program(const std::string& program, const std::string& arguments);
// The same for a program given by its full path.
ProcessResult Run_Process(const std::string& path, const std::string& arguments);

// Files by narrow paths (in the ANSI code page) or by wide ones, which name
// what the ANSI code page cannot.
std::string Program_Folder();
// What follows the first `offset` bytes of the file.
std::string Read_File(const std::string& path, size_t offset = 0);
std::string Read_File(const std::wstring& path, size_t offset = 0);
size_t File_Size(const std::string& path);
void Write_File(const std::string& path, const std::string& content);
void Write_File(const std::wstring& path, const std::string& content);
::testing::AssertionResult Path_Exists(const std::string& path);
// The names in a folder, without "." and "..".
std::vector<std::string> Files_In(const std::string& folder);
std::vector<std::wstring> Files_In(const std::wstring& folder);
// Whether the parsed XML file loads (MSXML, as the libraries load landscapes);
// a failure names the parser's reason.
::testing::AssertionResult Loads_As_Xml(const std::string& path);

// How often `piece` stands in `text`, counted without overlaps.
size_t Count(const std::string& text, const std::string& piece);
// Wide text in a code page (CP_UTF8, CP_ACP, 1252, ...); a character the code
// page cannot hold throws, so a test never runs on text it did not mean.
std::string Encoded(const std::wstring& text, UINT codePage);
std::wstring Decoded(const std::string& bytes, UINT codePage);
// Wide text as UTF-8, as a landscape file holds it.
inline std::string Utf8(const std::wstring& wide) { return Encoded(wide, CP_UTF8); }
// The lines of `text`, each with its line feed (the last may have none).
std::vector<std::string> Lines(const std::string& text);
// A line of `text` that starts with `level` (a trace's "***ERROR***: ",
// "***WARNING*: ") and holds `piece` (which may end in the line's CR LF).
// Either way the result shows what was searched: the line found, or the text.
::testing::AssertionResult Has_Line(const std::string& text, const std::string& level, const std::string& piece);
// Whether `piece` stands in `text`, for text too long to print whole (a trace):
// the message shows its last 2,000 bytes.
::testing::AssertionResult Holds(const std::string& text, const std::string& piece);
// The end of a long text, as a failure shows it.
std::string Tail(const std::string& text);
// HasSubstr(piece) where the text must hold it, its negation where it must not:
// for tables whose rows say which.
inline ::testing::Matcher<const std::string&> Holds_If(bool held, const std::string& piece)
{
    const ::testing::Matcher<const std::string&> holds = ::testing::HasSubstr(piece);
    return held ? holds : ::testing::Matcher<const std::string&>(::testing::Not(holds));
}

} // namespace TestSupport
