#pragma once
// The contract of the client's connection-data libraries (qorcdm.dll for the old
// INI storage, qorcdm2.dll for the landscape storage): the twenty functions every
// such library exports by name and the item types and attribute codes they share.
// See docs/client-interface.md.
#include <windows.h>

#include "CMapStringToString.h"
#include "CString.h"
#include "CStringArray.h"

// One library's initialization result as the host shows it: state 0 is
// nothing to report.
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

// Every data function returns 0 on success and another value on failure.
constexpr int CDM_OK = 0;

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
