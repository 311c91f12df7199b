// The client's start-up call for tests that make the machine misbehave from
// outside: a full volume, a process killed halfway. Its registry lives in a key
// of its own that outlasts the process, so that a killed start and the next one
// see the same recorded state; its user's folders lie in one profile folder.
//
//   fault_host.exe start <registry key> <profile folder> <trace folder>
//       APPDATA, ProgramData and windir point into the profile folder; prints
//       "result=<0|1> state=<n> core=<CoreLandscapeFileOnServer, UTF-8>".
//   fault_host.exe record <registry key> <state>
//       records the migration state that the next start under that key reads.
//   fault_host.exe forget <registry key>
//       deletes what starts under that key recorded.

#include <cstdio>
#include <cstdlib>

#include "LandscapeMigration.h"
#include "MsXml.h"
#include "TestSupport.h"

namespace {

const std::string Test_Keys = "Software\\QORTest\\FaultHost\\";

int Start(const std::string& registry, const std::string& profile, const char* traces)
{
    const auto machine = TestSupport::Redirect_Hive(HKEY_LOCAL_MACHINE, Test_Keys + registry + "\\machine");
    const auto user = TestSupport::Redirect_Hive(HKEY_CURRENT_USER, Test_Keys + registry + "\\user");
    SetEnvironmentVariableA("APPDATA", (profile + "\\AppData").c_str());
    SetEnvironmentVariableA("ProgramData", (profile + "\\ProgramData").c_str());
    SetEnvironmentVariableA("windir", (profile + "\\Windows").c_str());
    SetEnvironmentVariableA("QOR_TRACE_DIR", traces);
    bool result = false;
    try {
        result = Execute_Landscape_Migration_Check();
    } catch (const _com_error& error) {
        std::printf("XML error 0x%08lX\n", static_cast<unsigned long>(error.Error()));
        return 3;
    }
    wchar_t core[4096] = {};
    DWORD size = sizeof(core);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\QOR\\QORLogon\\Options", L"CoreLandscapeFileOnServer",
                     RRF_RT_REG_SZ, nullptr, core, &size) != ERROR_SUCCESS)
        core[0] = L'\0';
    std::printf("result=%d state=%d core=%s\n", result ? 1 : 0, Get_Migration_State(), TestSupport::Utf8(core).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "start" && argc == 5)
        return Start(argv[2], argv[3], argv[4]);
    if (command == "record" && argc == 4) {
        const DWORD state = static_cast<DWORD>(std::atoi(argv[3]));
        const std::string key = Test_Keys + argv[2] + "\\user\\Software\\QOR\\QORLogon";
        // Exit code 1 when it cannot.
        return RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), "LandscapeMigrationState", REG_DWORD, &state,
                               sizeof(state)) != ERROR_SUCCESS;
    }
    if (command == "forget" && argc == 3)
        return RegDeleteTreeA(HKEY_CURRENT_USER, (Test_Keys + argv[2]).c_str()) == ERROR_SUCCESS ? 0 : 1;
    std::fprintf(stderr, "usage: fault_host.exe start <registry key> <profile folder> <trace folder>\n"
                         "       fault_host.exe record <registry key> <state>\n"
                         "       fault_host.exe forget <registry key>\n");
    return 2;
}
