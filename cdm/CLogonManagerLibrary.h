#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "CdmDataMan.h"
#include "CdmLibraryFile.h"
#include "ComApartment.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// One connection-data library, loaded from this library's own folder: its
// function table, its initialization result, and traced wrappers of the data
// operations. In read-only mode every write is simulated.
class CLogonManagerLibrary
{
public:
    // Callers pass `which` as an int: 0 for the old library, 1 for the landscape's.
    using Which = CdmLibraryFile::Which;
    static constexpr Which V01_OLD_LOGON_MANAGER = CdmLibraryFile::V01_OLD_LOGON_MANAGER;
    static constexpr Which V02_SERVICE_LANDSCAPE = CdmLibraryFile::V02_SERVICE_LANDSCAPE;

    CLogonManagerLibrary(int which, const std::string& ini_or_xml_file, const std::string& trace_file, bool readonly);
    ~CLogonManagerLibrary();
    CLogonManagerLibrary(const CLogonManagerLibrary&) = delete;
    CLogonManagerLibrary& operator=(const CLogonManagerLibrary&) = delete;

    int Init(const char* ini_file, int* ini_state, int* error, CString* error_in_file, int trace_level,
             const char* trace_file);
    int Exit();
    bool Load_Library_File(const std::string& dllfile);
    void Cleanup_Library();
    std::string Get_DLL_Path(const std::string& dllfilename);
    std::string Get_INI_File() const { return m_ini_file; }
    const CDM_INITIALIZATION_STATE& Get_Initialization_State() const { return m_InitializationState; }

    int GetSubFolderKeys(const CString& strKeyActFolder, CStringArray* pKeysSubfolder, BOOL bRecursive, int nType);
    int GetEntryKeys(const CString& strKeyActFolder, CStringArray* pKeysEntry, int nEntryType);
    int GetFolderAttributes(const CString& strFolderKey, CString& strFolderName, int& nType, BOOL& bExpanded,
                            CString& strFolderMemo, CString& strParentFolderKey);
    int GetFolderAttribute(const CString& strKey, CString& strValue);
    int GetEntryAttribute(const CString& strKey, int nType, CString& strValue);
    int GetEntryData(const CString& strKey, CMapStringToString* pMapProperties);
    int AddFolder(const CString& strParentFolderKey, const CString& strFolderName, BOOL bExpanded,
                  const CString& strFolderMemo, CString& strFolderKey, const CString& strNextFolderKey);
    int AddEntryLinkToFolder(const CString& strLinkName, const CString& strKeyEntryToBeLinked,
                             const CString& strParentFolderKey, CString& strEntryKey, const CString& strNextEntryKey);
    int AddEntryToFolder(const CString& strEntryName, int nEntryType, const CString& strParentFolderKey,
                         CString& strEntryKey, const CString& strNextEntryKey, CMapStringToString* pMapProperties);
    int GetParentFolderKey(const CString& strKeyActFolder, CString& strParentKey);
    int SetConfigurationParameter(const CString& key, const CString& value);
    int GetConfigurationParameter(const CString& key, CString& value);

    // "NEW-UUID-<n>", counting from 0 for the whole process.
    static CString Next_UUID();

    // Finds the workspace named "Local" (any letter case) or creates it.
    bool Get_Main_Folder(CString& root_uuid);

private:
    CString Named_User_File() const;
    bool Search_Local_Workspace(const CStringArray& workspaces, CString& root_uuid);

    std::unique_ptr<CdmLibraryFile> m_library;
    std::string m_ini_file;
    int m_which;
    bool m_readonly;
    CdmFunctionTable m_functions; // all null while no library is loaded
    CDM_INITIALIZATION_STATE m_InitializationState;
    QOR::FrontEnd::Util::ComApartment m_com; // only the old library needs COM
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
