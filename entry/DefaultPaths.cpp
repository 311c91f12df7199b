#include "DefaultPaths.h"

#include <windows.h>

#include <vector>

#include "FileSystem.h"
#include "QorUtil.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace DefaultPaths {

namespace {

// The variable + suffix as a full path; empty when the variable does not fit
// the buffer. An unset variable reads as empty text, leaving the suffix alone.
// The process environment is read, not the C runtime's copy of it, so that a
// host that sets a variable before the call is heard.
std::string Under_Variable(const char* variable, const char* suffix)
{
    std::vector<char> buffer(16640, '\0');
    const DWORD length = GetEnvironmentVariableA(variable, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size())
        return std::string();
    return QOR::FrontEnd::Util::FileSystem::Full_Path(std::string(buffer.data()) + suffix);
}

bool Named_By_Host(int source) { return source == QORUTIL_SOURCE_COMMAND_LINE || source == QORUTIL_SOURCE_ENVIRONMENT; }

} // namespace

std::string User_Landscape(int* source)
{
    char buffer[MAX_PATH] = {};
    int found = 0;
    GetQorLogonUserLandscapeFileToLoad(buffer, MAX_PATH, found);
    if (source)
        *source = found;
    return buffer;
}

std::string Server_Core_Landscape()
{
    int source = 0;
    User_Landscape(&source);
    if (Named_By_Host(source))
        return std::string();
    std::vector<char> buffer(16640, '\0');
    return GetSharedLandscapeFileOnServer(0, buffer.data(), static_cast<int>(buffer.size())) ? buffer.data()
                                                                                             : std::string();
}

std::string Local_Shared_Landscape()
{
    char buffer[MAX_PATH] = {};
    int source = 0;
    GetQorLogonLocalSharedLandscapeFileToLoad(buffer, MAX_PATH, source);
    return buffer;
}

std::string Qorlogon_Ini()
{
    char buffer[MAX_PATH] = {};
    int source = 0;
    GetQorLogonUserIniFileToLoad(buffer, MAX_PATH, source);
    return buffer;
}

std::string Qormsg_Ini() { return Under_Variable("windir", "\\qormsg.ini"); }
std::string Qorroute_Ini() { return Under_Variable("windir", "\\qorroute.ini"); }
std::string Services_File() { return Under_Variable("windir", "\\System32\\drivers\\etc\\services"); }
std::string User_TEDUOptions() { return Under_Variable("APPDATA", "\\QOR\\TEDU\\TEDUOptions.xml"); }
std::string Shared_TEDUOptions() { return Under_Variable("ProgramData", "\\QOR\\TEDU\\TEDUOptions.xml"); }

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::DefaultPaths
