#pragma once
// The names under which the client keeps what this library reads and writes:
// its registry keys and values below HKEY_CURRENT_USER and its file names; and
// the environment variables through which the client's utility library learns
// from a host which files to work on and where trace files go. Which of them
// the client fixes, and which only its utility library reads, is in
// docs/client-interface.md.

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration { namespace ClientSettings {

constexpr const char* Vendor_Key = "Software\\QOR";
constexpr const char* Logon_Key = "Software\\QOR\\QORLogon";
constexpr const char* Options_Key = "Software\\QOR\\QORLogon\\Options";
// Below Logon_Key: how far the user's migration has come.
constexpr const char* Migration_State_Value = "LandscapeMigrationState";
// Below Options_Key: the shared landscape that the user landscape includes.
constexpr const char* Core_Landscape_Value = "CoreLandscapeFileOnServer";
// "<key>_<process ID>": the files a running host has registered as in use.
constexpr const char* Files_In_Use_Key = "Software\\QOR\\QORLogon\\ConfigFilesInUse";
constexpr const char* File_In_Use_Value = "ConnectionConfigFile";

constexpr const char* User_Landscape_Name = "QORUILandscape.xml";
constexpr const char* Local_Shared_Landscape_Name = "QORUILandscapeGlobal.xml";
constexpr const char* User_Ini_Name = "qorlogon.ini";

// A host names its landscape file and its old connection file with these
// (look-up sources 202 and 2), and the folder of its trace files with the last.
constexpr const char* Landscape_Variable = "QORLOGON_LSXML";
constexpr const char* Ini_Variable = "QORLOGON_INI";
constexpr const char* Trace_Directory_Variable = "QOR_TRACE_DIR";

}}}}} // namespace QOR::FrontEnd::Landscape::Migration::ClientSettings
