// qorcdm2.dll: the landscape connection storage. One landscape file per process
// is open between CdmDataManInit and CdmDataManExit.
#include <windows.h>

#include <memory>

#include "CLandscapeStore.h"
#include "CdmDataManExports.h"
#include "ComApartment.h"
#include "ComponentTracing.h"
#include "QorUtil.h"

namespace {

struct Session
{
    QOR::FrontEnd::Util::ComApartment com; // first in, last out: the store's documents need it
    std::unique_ptr<ComponentTracing> trace;
    std::unique_ptr<Qorcdm2::CLandscapeStore> store;
};

std::unique_ptr<Session> g_session;

Qorcdm2::CLandscapeStore* Store() { return g_session ? g_session->store.get() : nullptr; }

int Report(int state, const CString& message, int* iniState, CString* errorInFile)
{
    if (iniState)
        *iniState = state;
    if (errorInFile)
        *errorInFile = message;
    if (state != CDM_INIT_OK && g_session && g_session->trace)
        g_session->trace->Error("qorcdm2: %s\n", message);
    return state;
}

} // namespace

int CdmDataManInit(const char* iniFile, int* iniState, int* error, CString* errorInFile, int traceLevel,
                   const char* traceFile)
{
    g_session.reset();
    g_session = std::make_unique<Session>();
    g_session->com.Initialize();
    if (traceLevel > 0 && traceFile && *traceFile)
        g_session->trace = std::make_unique<ComponentTracing>(traceFile, traceLevel);
    if (error)
        *error = 0;
    std::string path = iniFile ? iniFile : "";
    if (path.empty()) {
        char buffer[MAX_PATH] = {};
        int source = 0;
        GetQorLogonUserLandscapeFileToLoad(buffer, MAX_PATH, source);
        path = buffer;
    }
    if (path.empty())
        return Report(CDM_INIT_NO_FILE_NAME, "No landscape file was named and no default is known (is APPDATA set?).",
                      iniState, errorInFile);
    if (g_session->trace)
        g_session->trace->Data("qorcdm2: opening '%s'\n", path);
    CString message;
    const int state = Qorcdm2::CLandscapeStore::Open(path, g_session->trace.get(), g_session->store, message);
    return Report(state, message, iniState, errorInFile);
}

int CdmDataManExit()
{
    const int result = Store() ? Store()->Close() : CDM_OK;
    g_session.reset();
    return result;
}

int CdmDataManGetSubFolderKeys(const CString& strKeyActFolder, CStringArray* pKeysSubfolder, BOOL bRecursive, int nType)
{
    if (!Store())
        return CDM_E_NOT_INITIALIZED;
    return pKeysSubfolder ? Store()->Sub_Folders(strKeyActFolder, *pKeysSubfolder, bRecursive != FALSE, nType)
                          : CDM_E_INVALID_ARGUMENT;
}

int CdmDataManGetEntryKeys(const CString& strKeyActFolder, CStringArray* pKeysEntry, BOOL bRecursive, int nEntryType)
{
    if (!Store())
        return CDM_E_NOT_INITIALIZED;
    return pKeysEntry ? Store()->Entries(strKeyActFolder, *pKeysEntry, bRecursive != FALSE, nEntryType)
                      : CDM_E_INVALID_ARGUMENT;
}

int CdmDataManGetFolderAttributes(const CString& strFolderKey, CString& strFolderName, int& nType, BOOL& bExpanded,
                                  CString& strFolderMemo, CString& strParentFolderKey)
{
    return Store() ? Store()->Folder_Attributes(strFolderKey, strFolderName, nType, bExpanded, strFolderMemo,
                                                strParentFolderKey)
                   : CDM_E_NOT_INITIALIZED;
}

int CdmDataManGetFolderAttribute(const CString& strKey, int nType, CString& strValue)
{
    return Store() ? Store()->Folder_Attribute(strKey, nType, strValue) : CDM_E_NOT_INITIALIZED;
}

int CdmDataManGetEntryAttribute(const CString& strKey, int nType, CString& strValue)
{
    return Store() ? Store()->Entry_Attribute(strKey, nType, strValue) : CDM_E_NOT_INITIALIZED;
}

int CdmDataManGetEntryData(const CString& strKey, CMapStringToString* pMapProperties)
{
    if (!Store())
        return CDM_E_NOT_INITIALIZED;
    return pMapProperties ? Store()->Entry_Data(strKey, *pMapProperties) : CDM_E_INVALID_ARGUMENT;
}

int CdmDataManGetLogonParamtersByKey(const CString& strKey, CMapStringToString* pMapProperties)
{
    return CdmDataManGetEntryData(strKey, pMapProperties);
}

int CdmDataManGetParentFolderKey(const CString& strKeyActFolder, CString& strParentKey)
{
    return Store() ? Store()->Parent_Key(strKeyActFolder, strParentKey) : CDM_E_NOT_INITIALIZED;
}

int CdmDataManAddFolder(const CString& strParentFolderKey, const CString& strFolderName, BOOL bExpanded,
                        const CString& strFolderMemo, CString& strFolderKey, const CString& strNextFolderKey)
{
    return Store() ? Store()->Add_Folder(strParentFolderKey, strFolderName, bExpanded != FALSE, strFolderMemo,
                                         strFolderKey, strNextFolderKey)
                   : CDM_E_NOT_INITIALIZED;
}

int CdmDataManAddEntryLinkToFolder(const CString& strLinkName, const CString& strKeyEntryToBeLinked,
                                   const CString& strParentFolderKey, CString& strEntryKey,
                                   const CString& strNextEntryKey)
{
    return Store()
               ? Store()->Add_Link(strLinkName, strKeyEntryToBeLinked, strParentFolderKey, strEntryKey, strNextEntryKey)
               : CDM_E_NOT_INITIALIZED;
}

int CdmDataManAddEntryToFolder(const CString& strEntryName, int nEntryType, const CString& strParentFolderKey,
                               CString& strEntryKey, const CString& strNextEntryKey, CMapStringToString* pMapProperties)
{
    return Store() ? Store()->Add_Entry(strEntryName, nEntryType, strParentFolderKey, strEntryKey, strNextEntryKey,
                                        pMapProperties)
                   : CDM_E_NOT_INITIALIZED;
}

int CdmDataManSetConfigurationParameter(const CString& key, const CString& value)
{
    return Store() ? Store()->Set_Parameter(key, value) : CDM_E_NOT_INITIALIZED;
}

int CdmDataManGetConfigurationParameter(const CString& key, CString& value)
{
    return Store() ? Store()->Get_Parameter(key, value) : CDM_E_NOT_INITIALIZED;
}

// Not used by the migration.
int CdmDataManSetFolderAttributes(const CString&, const CString&, int, BOOL, const CString&)
{
    return CDM_E_NOT_SUPPORTED;
}
int CdmDataManSetFolderAttribute(const CString&, int, const CString&) { return CDM_E_NOT_SUPPORTED; }
int CdmDataManSetEntryAttribute(const CString&, int, const CString&) { return CDM_E_NOT_SUPPORTED; }
int CdmDataManSetEntryData(const CString&, CMapStringToString*) { return CDM_E_NOT_SUPPORTED; }
int CdmDataManGetLogonParamtersByProperties(CMapStringToString*, CString&) { return CDM_E_NOT_SUPPORTED; }
