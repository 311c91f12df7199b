#pragma once
// Where a run's files are when nobody says otherwise: the utility library's
// look-ups and the Windows, APPDATA and ProgramData folders. The front end
// finds the current user's files by the same functions.
#include <string>
#include <vector>

#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace DefaultPaths {

LANDSCAPE_MIGRATION_API std::string User_Landscape(int* source = nullptr);
// The landscape on the server that a user landscape of the default location
// includes; empty when there is none, or when the user landscape was named by
// the host (sources 201 and 202).
std::string Server_Core_Landscape();
std::string Server_Core_Landscape_Of_Default_Location();
LANDSCAPE_MIGRATION_API std::string Local_Shared_Landscape();
LANDSCAPE_MIGRATION_API std::string Qorlogon_Ini();
LANDSCAPE_MIGRATION_API std::string Qormsg_Ini();
LANDSCAPE_MIGRATION_API std::string Qorroute_Ini();
LANDSCAPE_MIGRATION_API std::string Services_File();
LANDSCAPE_MIGRATION_API std::string User_TEDUOptions();
LANDSCAPE_MIGRATION_API std::string Shared_TEDUOptions();

// The environment variables behind these defaults (and behind the utility
// library's look-ups) that are set to a value the ANSI code page cannot hold:
// every path made from one of them would name another place.
std::vector<std::string> Variables_Out_Of_Code_Page();

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::DefaultPaths
