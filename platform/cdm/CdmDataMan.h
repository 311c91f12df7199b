#pragma once
// The contract of the client's connection-data libraries (qorcdm.dll for the old
// INI storage, qorcdm2.dll for the landscape storage): the twenty functions every
// such library exports by name, the item types and attribute codes they share,
// and their result codes. See docs/connection-data.md.
#include <windows.h>

#include "CMapStringToString.h"
#include "CString.h"
#include "CStringArray.h"

// One library's initialization result as the host shows it.
struct CDM_INITIALIZATION_STATE
{
    int state = 0;
    CString description;
};

enum TREE_ITEMS_TYPE
{
    TREE_ITEM_TYPE_WORKSPACE = 5,
    TREE_ITEM_TYPE_FOLDER = 11,
    TREE_ITEM_TYPE_LINK = 400,
    TREE_ITEM_TYPE_QORSHORTCUT = 401,
    TREE_ITEM_TYPE_CONNECTION = 402,
    TREE_ITEM_TYPE_ANY_ENTRY = 404 // asks for entries of every type
};

enum ITEM_ATTRIBUTE
{
    ITEM_ATTR_FOLDER_FROM_SERVER = 213,
    ITEM_ATTR_ENTRY_NAME = 500,
    ITEM_ATTR_ENTRY_TYPE = 501,
    ITEM_ATTR_LINK_TARGET = 502,
    ITEM_ATTR_ENTRY_SKIP_FLAG = 504
};

// Results of the data functions (0 is success) and initialization states.
enum CDM_RESULT
{
    CDM_OK = 0,
    CDM_E_NOT_INITIALIZED = 1,  // Init has not run or failed
    CDM_E_NOT_FOUND = 2,        // no folder, entry or parameter under that key
    CDM_E_INVALID_ARGUMENT = 3, // a null pointer, an unknown type or attribute code
    CDM_E_READ_ONLY = 4,        // this library never writes (qorcdm.dll)
    CDM_E_NOT_SUPPORTED = 5,    // a function the migration does not use
    CDM_E_WRITE_FAILED = 6      // the file could not be written
};

enum CDM_INIT_STATE
{
    CDM_INIT_OK = 0,
    CDM_INIT_FILE_MISSING = 101,      // the connection file does not exist
    CDM_INIT_FILE_UNREADABLE = 102,   // it exists but cannot be opened or parsed
    CDM_INIT_FILE_NOT_WRITABLE = 103, // the landscape file or its folder cannot be written
    CDM_INIT_NO_FILE_NAME = 104       // no file was given and no default is known
};

// The exported functions, as the migration resolves them with GetProcAddress.
extern "C" {
typedef int (*CdmDataManInit_t)(const char* iniFile, int* iniState, int* error, CString* errorInFile, int traceLevel,
                                const char* traceFile);
typedef int (*CdmDataManExit_t)();
typedef int (*CdmDataManGetSubFolderKeys_t)(const CString& strKeyActFolder, CStringArray* pKeysSubfolder,
                                            BOOL bRecursive, int nType);
typedef int (*CdmDataManGetEntryKeys_t)(const CString& strKeyActFolder, CStringArray* pKeysEntry, BOOL bRecursive,
                                        int nEntryType);
typedef int (*CdmDataManSetFolderAttributes_t)(const CString& strFolderKey, const CString& strFolderName, int nType,
                                               BOOL bExpanded, const CString& strFolderMemo);
typedef int (*CdmDataManGetFolderAttributes_t)(const CString& strFolderKey, CString& strFolderName, int& nType,
                                               BOOL& bExpanded, CString& strFolderMemo, CString& strParentFolderKey);
typedef int (*CdmDataManGetFolderAttribute_t)(const CString& strKey, int nType, CString& strValue);
typedef int (*CdmDataManSetFolderAttribute_t)(const CString& strKey, int nType, const CString& strValue);
typedef int (*CdmDataManGetEntryAttribute_t)(const CString& strKey, int nType, CString& strValue);
typedef int (*CdmDataManSetEntryAttribute_t)(const CString& strKey, int nType, const CString& strValue);
typedef int (*CdmDataManGetEntryData_t)(const CString& strKey, CMapStringToString* pMapProperties);
typedef int (*CdmDataManSetEntryData_t)(const CString& strKey, CMapStringToString* pMapProperties);
typedef int (*CdmDataManAddFolder_t)(const CString& strParentFolderKey, const CString& strFolderName, BOOL bExpanded,
                                     const CString& strFolderMemo, CString& strFolderKey,
                                     const CString& strNextFolderKey);
typedef int (*CdmDataManAddEntryLinkToFolder_t)(const CString& strLinkName, const CString& strKeyEntryToBeLinked,
                                                const CString& strParentFolderKey, CString& strEntryKey,
                                                const CString& strNextEntryKey);
typedef int (*CdmDataManAddEntryToFolder_t)(const CString& strEntryName, int nEntryType,
                                            const CString& strParentFolderKey, CString& strEntryKey,
                                            const CString& strNextEntryKey, CMapStringToString* pMapProperties);
typedef int (*CdmDataManGetLogonParamtersByKey_t)(const CString& strKey, CMapStringToString* pMapProperties);
typedef int (*CdmDataManGetLogonParamtersByProperties_t)(CMapStringToString* pMapProperties, CString& strKey);
typedef int (*CdmDataManGetParentFolderKey_t)(const CString& strKeyActFolder, CString& strParentKey);
typedef int (*CdmDataManSetConfigurationParameter_t)(const CString& key, const CString& value);
typedef int (*CdmDataManGetConfigurationParameter_t)(const CString& key, CString& value);
}
