// qorcdm.dll: the old connection storage, read-only. One connection file per
// process is open between CdmDataManInit and CdmDataManExit.
#include <windows.h>

#include <fstream>
#include <memory>

#include "CQorLogonIni.h"
#include "CdmDataManExports.h"
#include "ComponentTracing.h"
#include "QorUtil.h"

namespace {

struct Session
{
    CQorLogonIni ini;
    std::unique_ptr<ComponentTracing> trace;
};

std::unique_ptr<Session> g_session;

bool Read_Whole_File(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    text.resize(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    return text.empty() || static_cast<bool>(in.read(&text[0], static_cast<std::streamsize>(text.size())));
}

int Fail_Init(int state, const CString& message, int* iniState, CString* errorInFile, ComponentTracing* trace)
{
    if (iniState)
        *iniState = state;
    if (errorInFile)
        *errorInFile = message;
    if (trace)
        trace->Error("qorcdm: %s\n", message);
    g_session.reset(); // no file is open: the data functions say so
    return state;
}

// Appends `folder` and, when asked, its whole subtree (pre-order) to `keys`.
void List_Folders(const CQorLogonIni& ini, const std::vector<size_t>& folders, bool recursive, CStringArray& keys)
{
    for (size_t index : folders) {
        keys.Add(ini.Folder_At(index).key);
        if (recursive)
            List_Folders(ini, ini.Folder_At(index).folders, true, keys);
    }
}

// The entries directly in a folder, then those of its subfolders when asked.
void List_Entries(const CQorLogonIni& ini, const std::vector<size_t>& entries, const std::vector<size_t>& folders,
                  bool recursive, int type, CStringArray& keys)
{
    for (size_t index : entries)
        if (type == TREE_ITEM_TYPE_ANY_ENTRY || ini.Entry_At(index).type == type)
            keys.Add(ini.Entry_At(index).key);
    if (!recursive)
        return;
    for (size_t index : folders)
        List_Entries(ini, ini.Folder_At(index).entries, ini.Folder_At(index).folders, true, type, keys);
}

bool Is_Entry_Type(int type)
{
    return type == TREE_ITEM_TYPE_LINK || type == TREE_ITEM_TYPE_QORSHORTCUT || type == TREE_ITEM_TYPE_CONNECTION ||
           type == TREE_ITEM_TYPE_ANY_ENTRY;
}

} // namespace

int CdmDataManInit(const char* iniFile, int* iniState, int* error, CString* errorInFile, int traceLevel,
                   const char* traceFile)
{
    g_session = std::make_unique<Session>();
    if (traceLevel > 0 && traceFile && *traceFile)
        g_session->trace = std::make_unique<ComponentTracing>(traceFile, traceLevel);
    ComponentTracing* trace = g_session->trace.get();
    if (error)
        *error = 0;

    std::string path = iniFile ? iniFile : "";
    if (path.empty()) {
        char buffer[MAX_PATH] = {};
        int source = 0;
        GetQorLogonUserIniFileToLoad(buffer, MAX_PATH, source);
        path = buffer;
    }
    CString message;
    if (path.empty()) {
        message = "No connection file was named and no default is known (is APPDATA set?).";
        return Fail_Init(CDM_INIT_NO_FILE_NAME, message, iniState, errorInFile, trace);
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        message.Format("The connection file '%s' does not exist.", path);
        return Fail_Init(CDM_INIT_FILE_MISSING, message, iniState, errorInFile, trace);
    }
    std::string text;
    if (!Read_Whole_File(path, text)) {
        if (error)
            *error = static_cast<int>(GetLastError());
        message.Format("The connection file '%s' cannot be read.", path);
        return Fail_Init(CDM_INIT_FILE_UNREADABLE, message, iniState, errorInFile, trace);
    }
    if (trace)
        trace->Data("qorcdm: reading '%s' (%d bytes)\n", path, static_cast<int>(text.size()));
    g_session->ini.Parse(text, [trace, &path](int line, const std::string& warning) {
        if (!trace)
            return;
        if (line > 0)
            trace->Warning("qorcdm: %s line %d: %s\n", path, line, warning);
        else
            trace->Warning("qorcdm: %s: %s\n", path, warning);
    });
    if (trace)
        trace->Data("qorcdm: %d folders, %d entries\n", static_cast<int>(g_session->ini.Folder_Count()),
                    static_cast<int>(g_session->ini.Entry_Count()));
    if (iniState)
        *iniState = CDM_INIT_OK;
    return CDM_INIT_OK;
}

int CdmDataManExit()
{
    g_session.reset();
    return CDM_OK;
}

int CdmDataManGetSubFolderKeys(const CString& strKeyActFolder, CStringArray* pKeysSubfolder, BOOL bRecursive, int nType)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    if (!pKeysSubfolder || (nType != TREE_ITEM_TYPE_FOLDER && nType != TREE_ITEM_TYPE_WORKSPACE))
        return CDM_E_INVALID_ARGUMENT;
    pKeysSubfolder->RemoveAll();
    const CQorLogonIni& ini = g_session->ini;
    const CQorLogonIni::Folder* folder = nullptr;
    if (!strKeyActFolder.IsEmpty() && !(folder = ini.Find_Folder(strKeyActFolder)))
        return CDM_E_NOT_FOUND;
    if (nType == TREE_ITEM_TYPE_WORKSPACE)
        return CDM_OK; // the old storage has no workspaces
    List_Folders(ini, folder ? folder->folders : ini.Top_Folders(), bRecursive != FALSE, *pKeysSubfolder);
    return CDM_OK;
}

int CdmDataManGetEntryKeys(const CString& strKeyActFolder, CStringArray* pKeysEntry, BOOL bRecursive, int nEntryType)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    if (!pKeysEntry || !Is_Entry_Type(nEntryType))
        return CDM_E_INVALID_ARGUMENT;
    pKeysEntry->RemoveAll();
    const CQorLogonIni& ini = g_session->ini;
    if (strKeyActFolder.IsEmpty()) {
        List_Entries(ini, ini.Top_Entries(), ini.Top_Folders(), bRecursive != FALSE, nEntryType, *pKeysEntry);
        return CDM_OK;
    }
    const CQorLogonIni::Folder* folder = ini.Find_Folder(strKeyActFolder);
    if (!folder)
        return CDM_E_NOT_FOUND;
    List_Entries(ini, folder->entries, folder->folders, bRecursive != FALSE, nEntryType, *pKeysEntry);
    return CDM_OK;
}

int CdmDataManGetFolderAttributes(const CString& strFolderKey, CString& strFolderName, int& nType, BOOL& bExpanded,
                                  CString& strFolderMemo, CString& strParentFolderKey)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    const CQorLogonIni::Folder* folder = g_session->ini.Find_Folder(strFolderKey);
    if (!folder)
        return CDM_E_NOT_FOUND;
    strFolderName = folder->name;
    nType = TREE_ITEM_TYPE_FOLDER;
    bExpanded = folder->expanded ? TRUE : FALSE;
    strFolderMemo = folder->memo;
    strParentFolderKey = folder->parent;
    return CDM_OK;
}

int CdmDataManGetFolderAttribute(const CString& strKey, int nType, CString& strValue)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    const CQorLogonIni::Folder* folder = g_session->ini.Find_Folder(strKey);
    if (!folder)
        return CDM_E_NOT_FOUND;
    if (nType != ITEM_ATTR_FOLDER_FROM_SERVER)
        return CDM_E_INVALID_ARGUMENT;
    strValue = folder->fromServer ? "1" : "0";
    return CDM_OK;
}

int CdmDataManGetEntryAttribute(const CString& strKey, int nType, CString& strValue)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    const CQorLogonIni::Entry* entry = g_session->ini.Find_Entry(strKey);
    if (!entry)
        return CDM_E_NOT_FOUND;
    switch (nType) {
    case ITEM_ATTR_ENTRY_NAME:
        strValue = entry->name;
        return CDM_OK;
    case ITEM_ATTR_ENTRY_TYPE:
        strValue.Format("%d", entry->type);
        return CDM_OK;
    case ITEM_ATTR_LINK_TARGET:
        strValue = entry->target;
        return CDM_OK;
    case ITEM_ATTR_ENTRY_SKIP_FLAG:
        strValue = entry->skip ? "1" : "0";
        return CDM_OK;
    default:
        return CDM_E_INVALID_ARGUMENT;
    }
}

int CdmDataManGetEntryData(const CString& strKey, CMapStringToString* pMapProperties)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    if (!pMapProperties)
        return CDM_E_INVALID_ARGUMENT;
    const CQorLogonIni::Entry* entry = g_session->ini.Find_Entry(strKey);
    if (!entry)
        return CDM_E_NOT_FOUND;
    for (const auto& property : entry->properties)
        pMapProperties->SetAt(property.first, property.second);
    return CDM_OK;
}

int CdmDataManGetLogonParamtersByKey(const CString& strKey, CMapStringToString* pMapProperties)
{
    return CdmDataManGetEntryData(strKey, pMapProperties);
}

int CdmDataManGetLogonParamtersByProperties(CMapStringToString*, CString&) { return CDM_E_NOT_SUPPORTED; }

int CdmDataManGetParentFolderKey(const CString& strKeyActFolder, CString& strParentKey)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    if (const CQorLogonIni::Entry* entry = g_session->ini.Find_Entry(strKeyActFolder)) {
        strParentKey = entry->folder;
        return CDM_OK;
    }
    if (const CQorLogonIni::Folder* folder = g_session->ini.Find_Folder(strKeyActFolder)) {
        strParentKey = folder->parent;
        return CDM_OK;
    }
    return CDM_E_NOT_FOUND;
}

int CdmDataManGetConfigurationParameter(const CString& key, CString& value)
{
    if (!g_session)
        return CDM_E_NOT_INITIALIZED;
    return g_session->ini.Find_Parameter(key, value) ? CDM_OK : CDM_E_NOT_FOUND;
}

// The old file is never written.
int CdmDataManSetFolderAttributes(const CString&, const CString&, int, BOOL, const CString&) { return CDM_E_READ_ONLY; }
int CdmDataManSetFolderAttribute(const CString&, int, const CString&) { return CDM_E_READ_ONLY; }
int CdmDataManSetEntryAttribute(const CString&, int, const CString&) { return CDM_E_READ_ONLY; }
int CdmDataManSetEntryData(const CString&, CMapStringToString*) { return CDM_E_READ_ONLY; }
int CdmDataManAddFolder(const CString&, const CString&, BOOL, const CString&, CString&, const CString&)
{
    return CDM_E_READ_ONLY;
}
int CdmDataManAddEntryLinkToFolder(const CString&, const CString&, const CString&, CString&, const CString&)
{
    return CDM_E_READ_ONLY;
}
int CdmDataManAddEntryToFolder(const CString&, int, const CString&, CString&, const CString&, CMapStringToString*)
{
    return CDM_E_READ_ONLY;
}
int CdmDataManSetConfigurationParameter(const CString&, const CString&) { return CDM_E_READ_ONLY; }
