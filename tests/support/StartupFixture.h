#pragma once
// A Windows user of its own for a test of the start-up call: registry, APPDATA,
// ProgramData and windir in a scratch folder, with the sample profile installed
// there. The program traces at level 4: Start_Tracing_At_Level_4 starts its
// process trace.
#include <gtest/gtest.h>

#include <string>

#include "LandscapeMigration.h"
#include "ProcessTrace.h"
#include "TestSupport.h"

namespace StartupFixture {

inline const char* const Qor_Key = "Software\\QOR\\QORLogon";
inline const char* const Options_Key = "Software\\QOR\\QORLogon\\Options";

inline DWORD Registry_DWORD(const char* key, const char* value, DWORD missing = 0xFFFFFFFF)
{
    DWORD data = 0, size = sizeof(data);
    return RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_DWORD, nullptr, &data, &size) == ERROR_SUCCESS
               ? data
               : missing;
}

inline std::string Registry_String(const char* key, const char* value)
{
    char data[1024] = {};
    DWORD size = sizeof(data);
    return RegGetValueA(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS ? data
                                                                                                             : "";
}

inline void Set_DWORD(const char* key, const char* value, DWORD data)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, key, value, REG_DWORD, &data, sizeof(data));
}

inline void Set_String(const char* key, const char* value, const std::string& data)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, key, value, REG_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

// The first call of the process fixes its trace level: a check with the
// landscape format switched off, so that the call does nothing else.
inline void Start_Tracing_At_Level_4()
{
    TestSupport::RegistrySandbox registry;
    Set_DWORD(Options_Key, "LandscapeFormatEnabled", 0);
    CDM_INITIALIZATION_STATE source, destination;
    Execute_Landscape_Migration_Check_Internal(&source, &destination, 4);
}

// One user: a registry of its own and a profile folder with the sample installed.
class Profile
{
public:
    Profile() { TestSupport::Install_Sample(folder.Path()); }

    bool Start()
    {
        CDM_INITIALIZATION_STATE source, destination;
        return Execute_Landscape_Migration_Check_Internal(&source, &destination, 4);
    }
    DWORD State() { return Registry_DWORD(Qor_Key, "LandscapeMigrationState"); }

    TestSupport::RegistrySandbox registry;
    TestSupport::ScratchDirectory folder;
    std::string appData = folder / "AppData";
    std::string windows = folder / "Windows";
    std::string common = appData + "\\QOR\\Common";
    std::string ini = common + "\\qorlogon.ini";
    std::string user = common + "\\QORUILandscape.xml";
    std::string global = common + "\\QORUILandscapeGlobal.xml";

private:
    TestSupport::EnvironmentVariable appDataVariable{"APPDATA", appData.c_str()};
    TestSupport::EnvironmentVariable programData{"ProgramData", (folder / "ProgramData").c_str()};
    TestSupport::EnvironmentVariable windir{"windir", windows.c_str()};
    TestSupport::EnvironmentVariable noNamedLandscape{"QORLOGON_LSXML", nullptr};
    TestSupport::EnvironmentVariable noNamedIni{"QORLOGON_INI", nullptr};
};

class Startup : public ::testing::Test, protected Profile
{};

} // namespace StartupFixture
