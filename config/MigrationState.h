#pragma once
#include <windows.h>

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// The recorded migration state of the current user ("LandscapeMigrationState"
// below HKEY_CURRENT_USER\Software\QOR\QORLogon).
enum MIGRATION_STATE
{
    S0_NOT_STARTED_YET = 0,
    S1_SHARED_LANDSCAPE_MIGRATED_LOCALLY = 1,
    S2_SHARED_LANDSCAPE_MIGRATED_CENTRALLY = 2,
    S3_MIGRATED_INTO_COMMAND_LINE_FILE = 3,
    S4_MIGRATED_INTO_ENVIRONMENT_FILE = 4
};

// The stored value; 0 when there is none.
DWORD Read_Migration_State();
bool Write_Migration_State(DWORD state);

}}}} // namespace QOR::FrontEnd::Landscape::Migration
