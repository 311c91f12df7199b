#include "QorLogonSettings.h"

#include <algorithm>
#include <cstring> // for the CRT's _wcsnicmp
#include <vector>

#include "QorUtil.h"
#include "RegistryString.h"
#include "SystemText.h"

namespace {

// Splits a command line the way the C runtime does for argv: blanks separate,
// double quotes group, backslashes before a quote escape it. Wide, as Windows
// keeps it: an argument is converted to the ANSI code page only when it is used.
std::vector<std::wstring> Split_Command_Line(const wchar_t* line)
{
    std::vector<std::wstring> arguments;
    const wchar_t* p = line ? line : L"";
    for (;;) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        if (!*p)
            return arguments;
        std::wstring argument;
        bool quoted = false;
        for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p) {
            size_t backslashes = 0;
            while (*p == L'\\') {
                ++backslashes;
                ++p;
            }
            if (*p == L'"') {
                argument.append(backslashes / 2, L'\\');
                if (backslashes % 2)
                    argument += L'"';
                else
                    quoted = !quoted;
            } else {
                argument.append(backslashes, L'\\');
                if (!*p)
                    break;
                if (!quoted && (*p == L' ' || *p == L'\t'))
                    break;
                argument += *p;
            }
        }
        arguments.push_back(argument);
    }
}

// A file or folder named by an environment variable. Windows names cannot
// contain double quotes, but set NAME="C:\My Files\x.xml" keeps them in the
// value; the command line loses its quotes when it is split, a variable here.
bool File_Variable(const char* name, std::string& path)
{
    if (!QorLogonSettings::Environment_Value(name, path))
        return false;
    path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
    return !path.empty();
}

} // namespace

bool QorLogonSettings::Environment_Value(const char* name, std::string& value)
{
    using QOR::FrontEnd::SystemText::Status;
    return QOR::FrontEnd::SystemText::Environment_Variable(name, value) == Status::Found && !value.empty();
}

// A value that the ANSI code page cannot hold is not taken: it would name another file.
bool QorLogonSettings::Command_Line_Value(const char* switchName, std::string& value)
{
    value.clear();
    const std::wstring name = QOR::FrontEnd::SystemText::From_Ansi(switchName);
    const std::vector<std::wstring> arguments = Split_Command_Line(GetCommandLineW());
    for (size_t i = 1; i < arguments.size(); ++i) { // argument 0 is the program
        const std::wstring& argument = arguments[i];
        if (argument.size() > name.size() + 1 && (argument[0] == L'/' || argument[0] == L'-') &&
            _wcsnicmp(argument.c_str() + 1, name.c_str(), name.size()) == 0 && argument[name.size() + 1] == L'=')
            return QOR::FrontEnd::SystemText::To_Ansi(argument.substr(name.size() + 2), value) && !value.empty();
    }
    return false;
}

bool QorLogonSettings::Registry_String(const std::string& key, const std::string& value, int mode, std::string& text)
{
    using QOR::FrontEnd::Util::Registry::Get_String;
    if (mode == 0)
        mode = QORUTIL_REG_USER_THEN_MACHINE;
    return ((mode & QORUTIL_REG_CURRENT_USER) && Get_String(HKEY_CURRENT_USER, key, value, text)) ||
           ((mode & QORUTIL_REG_LOCAL_MACHINE) && Get_String(HKEY_LOCAL_MACHINE, key, value, text));
}

std::string QorLogonSettings::User_Folder()
{
    std::string appData;
    if (!Environment_Value("APPDATA", appData))
        return std::string();
    if (appData.back() != '\\' && appData.back() != '/')
        appData += '\\';
    return appData + "QOR\\Common\\";
}

std::string QorLogonSettings::Named_Or_Default(const char* switchName, const char* variable, const char* fileName,
                                               int commandLineSource, int environmentSource, int& source)
{
    std::string path;
    if (Command_Line_Value(switchName, path)) {
        source = commandLineSource;
        return path;
    }
    if (File_Variable(variable, path)) {
        source = environmentSource;
        return path;
    }
    const std::string folder = User_Folder();
    source = folder.empty() ? QORUTIL_SOURCE_NONE : QORUTIL_SOURCE_USER_DEFAULT;
    return folder.empty() ? std::string() : folder + fileName;
}

std::string QorLogonSettings::User_Landscape(int& source)
{
    return Named_Or_Default(Landscape_Switch, Landscape_Variable, User_Landscape_Name, QORUTIL_SOURCE_COMMAND_LINE,
                            QORUTIL_SOURCE_ENVIRONMENT, source);
}

std::string QorLogonSettings::User_Ini(int& source)
{
    return Named_Or_Default(Ini_Switch, Ini_Variable, User_Ini_Name, QORUTIL_SOURCE_NAMED, QORUTIL_SOURCE_NAMED,
                            source);
}

// The local shared landscape always lies beside the user landscape, wherever
// that was named: a recorded core file in that folder is recognised as the
// result of an earlier local migration.
std::string QorLogonSettings::Local_Shared_Landscape(int& source)
{
    int landscapeSource = QORUTIL_SOURCE_NONE;
    const std::string landscape = User_Landscape(landscapeSource);
    const size_t separator = landscape.find_last_of("\\/");
    source = landscape.empty() ? QORUTIL_SOURCE_NONE : QORUTIL_SOURCE_USER_DEFAULT;
    if (landscape.empty())
        return std::string();
    const std::string folder = separator == std::string::npos ? std::string() : landscape.substr(0, separator + 1);
    return folder + Local_Shared_Landscape_Name;
}

std::string QorLogonSettings::Server_Landscape_File()
{
    std::string path;
    Registry_String(Options_Key, Server_Landscape_Value, 0, path);
    return path;
}

std::string QorLogonSettings::Core_Landscape_File()
{
    std::string path;
    Registry_String(Options_Key, Core_Landscape_Value, 0, path);
    return path;
}

// The landscape on the server that a user landscape includes: the one the
// administrator distributes if there is one, else the core file recorded by
// the last migration.
std::string QorLogonSettings::Shared_Landscape_On_Server()
{
    const std::string server = Server_Landscape_File();
    return server.empty() ? Core_Landscape_File() : server;
}

std::string QorLogonSettings::Trace_Directory()
{
    std::string folder;
    if (!File_Variable(Trace_Directory_Variable, folder))
        Registry_String(Options_Key, Trace_Directory_Value, 0, folder);
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
    const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return isFolder ? folder : std::string();
}
