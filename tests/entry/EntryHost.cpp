// Calls the entry points in a fresh process, with a registry of its own in which
// the landscape format is switched off, so that each call only traces.
//   entry_host.exe check | custom-then-check
#include <string>

#include "LandscapeMigration.h"
#include "TestSupport.h"

int main(int argc, char** argv)
{
    TestSupport::RegistrySandbox registry;
    const DWORD off = 0;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\QOR\\QORLogon\\Options", "LandscapeFormatEnabled", REG_DWORD, &off,
                    sizeof(off));
    const std::string mode = argc > 1 ? argv[1] : "check";
    if (mode == "custom-then-check")
        Execute_Landscape_Migration_Check_Custom(QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig());
    Execute_Landscape_Migration_Check();
    return 0;
}
