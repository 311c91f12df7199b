#include "DefaultPaths.h"

#include <windows.h>

#include <vector>

#include "ClientSettings.h"
#include "FileSystem.h"
#include "QorUtil.h"
#include "SystemText.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace DefaultPaths {

namespace SystemText = QOR::FrontEnd::SystemText;

namespace {

const char* const Windows_Variable = "windir";
const char* const User_Data_Variable = "APPDATA";
const char* const Machine_Data_Variable = "ProgramData";

// Longer values are refused, as the client's own buffer of this size would.
const size_t Variable_Room = 16640;

// The variable + suffix as a full path; empty when the variable cannot be read
// whole. An unset variable reads as empty text, leaving the suffix alone.
std::string Under_Variable(const char* variable, const char* suffix)
{
    std::string value;
    if (SystemText::Environment_Variable(variable, value) == SystemText::Status::Not_In_Code_Page ||
        value.size() >= Variable_Room)
        return std::string();
    return QOR::FrontEnd::Util::FileSystem::Full_Path(value + suffix);
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
    return Named_By_Host(source) ? std::string() : Server_Core_Landscape_Of_Default_Location();
}

std::string Server_Core_Landscape_Of_Default_Location()
{
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

std::string Qormsg_Ini() { return Under_Variable(Windows_Variable, "\\qormsg.ini"); }
std::string Qorroute_Ini() { return Under_Variable(Windows_Variable, "\\qorroute.ini"); }
std::string Services_File() { return Under_Variable(Windows_Variable, "\\System32\\drivers\\etc\\services"); }
std::string User_TEDUOptions() { return Under_Variable(User_Data_Variable, "\\QOR\\TEDU\\TEDUOptions.xml"); }
std::string Shared_TEDUOptions() { return Under_Variable(Machine_Data_Variable, "\\QOR\\TEDU\\TEDUOptions.xml"); }

std::vector<std::string> Variables_Out_Of_Code_Page()
{
    std::vector<std::string> names;
    std::string ignored;
    for (const char* name : {User_Data_Variable, Machine_Data_Variable, Windows_Variable,
                             ClientSettings::Landscape_Variable, ClientSettings::Ini_Variable})
        if (SystemText::Environment_Variable(name, ignored) == SystemText::Status::Not_In_Code_Page)
            names.emplace_back(name);
    return names;
}

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::DefaultPaths
