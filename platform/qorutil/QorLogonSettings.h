#pragma once
// Where the client keeps its files and settings. One place for every name, so the
// look-up exports and docs/settings.md tell the same story.
#include <windows.h>

#include <string>

// Look-up sources the callers do not tell apart (QorUtil.h has those they do).
enum QORUTIL_LOOKUP_SOURCE_OWN
{
    QORUTIL_SOURCE_NONE = 0,        // no answer (no APPDATA, or the buffer is too small)
    QORUTIL_SOURCE_USER_DEFAULT = 1 // the per-user default location
};

// Registry modes of GetRegValString and getRegValStringEx (bit mask; 0 means both).
enum QORUTIL_REGISTRY_MODE
{
    QORUTIL_REG_CURRENT_USER = 1,
    QORUTIL_REG_LOCAL_MACHINE = 2,
    QORUTIL_REG_USER_THEN_MACHINE = 3
};

class QorLogonSettings
{
public:
    // The client's settings below HKEY_CURRENT_USER (and HKEY_LOCAL_MACHINE).
    static constexpr const char* Options_Key = "Software\\QOR\\QORLogon\\Options";
    static constexpr const char* User_Landscape_Name = "QORUILandscape.xml";
    static constexpr const char* Local_Shared_Landscape_Name = "QORUILandscapeGlobal.xml";
    static constexpr const char* User_Ini_Name = "qorlogon.ini";

    // Files named by the host process: "/LSXML=<file>" or "/INI=<file>" on its
    // command line (a leading '-' works as well), or these environment variables.
    static constexpr const char* Landscape_Switch = "LSXML";
    static constexpr const char* Ini_Switch = "INI";
    static constexpr const char* Landscape_Variable = "QORLOGON_LSXML";
    static constexpr const char* Ini_Variable = "QORLOGON_INI";
    static constexpr const char* Trace_Directory_Variable = "QOR_TRACE_DIR";

    // Option values below Options_Key (current user first, then the machine).
    static constexpr const char* Core_Landscape_Value = "CoreLandscapeFileOnServer";
    static constexpr const char* Server_Landscape_Value = "ServerLandscapeFileName";
    static constexpr const char* Trace_Directory_Value = "TraceDirectory";
    static constexpr const char* Landscape_Format_Value = "LandscapeFormatEnabled";

    // "%APPDATA%\QOR\Common\", empty without APPDATA.
    static std::string User_Folder();

    static std::string User_Landscape(int& source);
    static std::string User_Ini(int& source);
    static std::string Local_Shared_Landscape(int& source);

    static std::string Server_Landscape_File();
    static std::string Core_Landscape_File();
    static std::string Shared_Landscape_On_Server();
    static std::string Trace_Directory();

    // Registry string below `key`: mode bit 1 the current user, bit 2 the
    // machine, in that order; 0 means both.
    static bool Registry_String(const std::string& key, const std::string& value, int mode, std::string& text);

    static bool Environment_Value(const char* name, std::string& value);
    static bool Command_Line_Value(const char* switchName, std::string& value);

private:
    static std::string Named_Or_Default(const char* switchName, const char* variable, const char* fileName,
                                        int commandLineSource, int environmentSource, int& source);
};
