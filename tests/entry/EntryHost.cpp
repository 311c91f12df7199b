// Calls the entry points in a fresh process, with a registry of its own in which
// the landscape format is switched off, so that each call only traces; with
// "-on", the format stays on (the caller names a landscape the check refuses).
//   entry_host.exe check | custom-then-check | check-on | custom-then-check-on
#include "LandscapeMigration.h"
#include "TestSupport.h"

int main(int argc, char** argv)
{
    TestSupport::RegistrySandbox registry;
    const std::string mode = argc > 1 ? argv[1] : "check";
    const DWORD off = 0;
    if (mode.size() < 3 || mode.compare(mode.size() - 3, 3, "-on") != 0)
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\QOR\\QORLogon\\Options", "LandscapeFormatEnabled", REG_DWORD,
                        &off, sizeof(off));
    if (mode.rfind("custom-then-check", 0) == 0)
        Execute_Landscape_Migration_Check_Custom(QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig());
    Execute_Landscape_Migration_Check();
    return 0;
}
