#pragma once
// Declarations of the twenty functions a connection-data library exports; a
// library's sources define them. Signatures match the typedefs of CdmDataMan.h.
#include "CdmResults.h"

#define CDM_EXPORT extern "C" __declspec(dllexport)

CDM_EXPORT int CdmDataManInit(const char* iniFile, int* iniState, int* error, CString* errorInFile, int traceLevel,
                              const char* traceFile);
CDM_EXPORT int CdmDataManExit();
CDM_EXPORT int CdmDataManGetSubFolderKeys(const CString& strKeyActFolder, CStringArray* pKeysSubfolder, BOOL bRecursive,
                                          int nType);
CDM_EXPORT int CdmDataManGetEntryKeys(const CString& strKeyActFolder, CStringArray* pKeysEntry, BOOL bRecursive,
                                      int nEntryType);
CDM_EXPORT int CdmDataManSetFolderAttributes(const CString& strFolderKey, const CString& strFolderName, int nType,
                                             BOOL bExpanded, const CString& strFolderMemo);
CDM_EXPORT int CdmDataManGetFolderAttributes(const CString& strFolderKey, CString& strFolderName, int& nType,
                                             BOOL& bExpanded, CString& strFolderMemo, CString& strParentFolderKey);
CDM_EXPORT int CdmDataManGetFolderAttribute(const CString& strKey, int nType, CString& strValue);
CDM_EXPORT int CdmDataManSetFolderAttribute(const CString& strKey, int nType, const CString& strValue);
CDM_EXPORT int CdmDataManGetEntryAttribute(const CString& strKey, int nType, CString& strValue);
CDM_EXPORT int CdmDataManSetEntryAttribute(const CString& strKey, int nType, const CString& strValue);
CDM_EXPORT int CdmDataManGetEntryData(const CString& strKey, CMapStringToString* pMapProperties);
CDM_EXPORT int CdmDataManSetEntryData(const CString& strKey, CMapStringToString* pMapProperties);
CDM_EXPORT int CdmDataManAddFolder(const CString& strParentFolderKey, const CString& strFolderName, BOOL bExpanded,
                                   const CString& strFolderMemo, CString& strFolderKey,
                                   const CString& strNextFolderKey);
CDM_EXPORT int CdmDataManAddEntryLinkToFolder(const CString& strLinkName, const CString& strKeyEntryToBeLinked,
                                              const CString& strParentFolderKey, CString& strEntryKey,
                                              const CString& strNextEntryKey);
CDM_EXPORT int CdmDataManAddEntryToFolder(const CString& strEntryName, int nEntryType,
                                          const CString& strParentFolderKey, CString& strEntryKey,
                                          const CString& strNextEntryKey, CMapStringToString* pMapProperties);
CDM_EXPORT int CdmDataManGetLogonParamtersByKey(const CString& strKey, CMapStringToString* pMapProperties);
CDM_EXPORT int CdmDataManGetLogonParamtersByProperties(CMapStringToString* pMapProperties, CString& strKey);
CDM_EXPORT int CdmDataManGetParentFolderKey(const CString& strKeyActFolder, CString& strParentKey);
CDM_EXPORT int CdmDataManSetConfigurationParameter(const CString& key, const CString& value);
CDM_EXPORT int CdmDataManGetConfigurationParameter(const CString& key, CString& value);
