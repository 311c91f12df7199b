#include "MigrationState.h"

#include "ClientSettings.h"
#include "Registry.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {
const char* const State_Key = ClientSettings::Logon_Key;
const char* const State_Value = ClientSettings::Migration_State_Value;
} // namespace

DWORD Read_Migration_State()
{
    return QOR::FrontEnd::Util::Registry::Get_DWORD(HKEY_CURRENT_USER, State_Key, State_Value, nullptr);
}

bool Write_Migration_State(DWORD state)
{
    return QOR::FrontEnd::Util::Registry::Set_DWORD(HKEY_CURRENT_USER, State_Key, State_Value, state);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
