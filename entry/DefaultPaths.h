#pragma once
// Where a run's files are when nobody says otherwise: the utility library's
// look-ups and the Windows, APPDATA and ProgramData folders.
#include <string>
#include <vector>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace DefaultPaths {

std::string User_Landscape(int* source = nullptr);
// Empty when the user landscape was named by the host (sources 201 and 202).
std::string Server_Core_Landscape();
std::string Local_Shared_Landscape();
std::string Qorlogon_Ini();
std::string Qormsg_Ini();
std::string Qorroute_Ini();
std::string Services_File();
std::string User_TEDUOptions();
std::string Shared_TEDUOptions();

// The environment variables behind these defaults (and behind the utility
// library's look-ups) that are set to a value the ANSI code page cannot hold:
// every path made from one of them would name another place.
std::vector<std::string> Variables_Out_Of_Code_Page();

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::DefaultPaths
