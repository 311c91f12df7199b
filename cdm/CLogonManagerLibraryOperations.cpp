// CLogonManagerLibrary, data operations: each call of the library traced with
// its arguments before and after, additions simulated in read-only mode, and the
// search for the main workspace "Local".
#include "CLogonManagerLibrary.h"

#include "LibraryCall.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

using namespace LibraryCall;

namespace {

int g_next_uuid = 0; // read-only keys, shared by every instance of the process

// In read-only mode an addition is simulated: the new item gets a counted key
// and the library is not called.
template <typename Add>
int Add_Or_Simulate(bool readonly, TraceScope& scope, const char* item, CString& key, Add add,
                    int line = __builtin_LINE())
{
    if (!readonly)
        return add();
    key = CLogonManagerLibrary::Next_UUID();
    const std::string format = std::string("Generating new UUID instead of adding ") + item + "=%s\n";
    scope.Data(TraceMessage(format.c_str(), line), key);
    return CDM_OK;
}

} // namespace

int CLogonManagerLibrary::GetSubFolderKeys(const CString& strKeyActFolder, CStringArray* pKeysSubfolder,
                                           BOOL bRecursive, int nType)
{
    const char* const format = "strKeyActFolder=%s, pKeysSubfolder=%p, bRecursive=%d, nType=%d";
    QOR_TRACE_SCOPE(this, format, strKeyActFolder, static_cast<void*>(pKeysSubfolder), bRecursive, nType);
    const int result = Call(m_functions.GetSubFolderKeys, strKeyActFolder, pKeysSubfolder, bRecursive, nType);
    Trace_After_Call(trace_scope, __LINE__, format, strKeyActFolder, static_cast<void*>(pKeysSubfolder), bRecursive,
                     nType);
    return trace_scope.Return(result);
}

// Entries are always listed with their whole subtree.
int CLogonManagerLibrary::GetEntryKeys(const CString& strKeyActFolder, CStringArray* pKeysEntry, int nEntryType)
{
    const char* const format = "strKeyActFolder=%s, pKeysEntry=%p, bRecursive=%d, nEntryType=%d";
    const BOOL bRecursive = TRUE;
    QOR_TRACE_SCOPE(this, format, strKeyActFolder, static_cast<void*>(pKeysEntry), bRecursive, nEntryType);
    const int result = Call(m_functions.GetEntryKeys, strKeyActFolder, pKeysEntry, bRecursive, nEntryType);
    Trace_After_Call(trace_scope, __LINE__, format, strKeyActFolder, static_cast<void*>(pKeysEntry), bRecursive,
                     nEntryType);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::GetFolderAttributes(const CString& strFolderKey, CString& strFolderName, int& nType,
                                              BOOL& bExpanded, CString& strFolderMemo, CString& strParentFolderKey)
{
    const char* const format = "strFolderKey=%s, strFolderName=%s, nType=%d, bExpanded=%d, strFolderMemo=%s, "
                               "strParentFolderKey=%s";
    QOR_TRACE_SCOPE(this, format, strFolderKey, strFolderName, nType, bExpanded, strFolderMemo, strParentFolderKey);
    const int result = Call(m_functions.GetFolderAttributes, strFolderKey, strFolderName, nType, bExpanded,
                            strFolderMemo, strParentFolderKey);
    Trace_After_Call(trace_scope, __LINE__, format, strFolderKey, strFolderName, nType, bExpanded, strFolderMemo,
                     strParentFolderKey);
    return trace_scope.Return(result);
}

// Only the from-server flag is ever asked of a folder.
int CLogonManagerLibrary::GetFolderAttribute(const CString& strKey, CString& strValue)
{
    const char* const format = "strKey=%s, nType=%d, strValue=%s";
    const int nType = ITEM_ATTR_FOLDER_FROM_SERVER;
    QOR_TRACE_SCOPE(this, format, strKey, nType, strValue);
    const int result = Call(m_functions.GetFolderAttribute, strKey, nType, strValue);
    Trace_After_Call(trace_scope, __LINE__, format, strKey, nType, strValue);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::GetEntryAttribute(const CString& strKey, int nType, CString& strValue)
{
    const char* const format = "strKey=%s, nType=%d, strValue=%s";
    QOR_TRACE_SCOPE(this, format, strKey, nType, strValue);
    const int result = Call(m_functions.GetEntryAttribute, strKey, nType, strValue);
    Trace_After_Call(trace_scope, __LINE__, format, strKey, nType, strValue);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::GetEntryData(const CString& strKey, CMapStringToString* pMapProperties)
{
    const char* const format = "strKey=%s, pMapProperties=%p";
    QOR_TRACE_SCOPE(this, format, strKey, static_cast<void*>(pMapProperties));
    const int result = Call(m_functions.GetEntryData, strKey, pMapProperties);
    Trace_After_Call(trace_scope, __LINE__, format, strKey, static_cast<void*>(pMapProperties));
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::AddFolder(const CString& strParentFolderKey, const CString& strFolderName, BOOL bExpanded,
                                    const CString& strFolderMemo, CString& strFolderKey,
                                    const CString& strNextFolderKey)
{
    const char* const format = "strParentFolderKey=%s, strFolderName=%s, bExpanded=%d, strFolderMemo=%s, "
                               "strFolderKey=%s, strNextFolderKey=%s";
    QOR_TRACE_SCOPE(this, format, strParentFolderKey, strFolderName, bExpanded, strFolderMemo, strFolderKey,
                    strNextFolderKey);
    const int result = Add_Or_Simulate(m_readonly, trace_scope, "folder", strFolderKey, [&] {
        return Call(m_functions.AddFolder, strParentFolderKey, strFolderName, bExpanded, strFolderMemo, strFolderKey,
                    strNextFolderKey);
    });
    Trace_After_Call(trace_scope, __LINE__, format, strParentFolderKey, strFolderName, bExpanded, strFolderMemo,
                     strFolderKey, strNextFolderKey);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::AddEntryLinkToFolder(const CString& strLinkName, const CString& strKeyEntryToBeLinked,
                                               const CString& strParentFolderKey, CString& strEntryKey,
                                               const CString& strNextEntryKey)
{
    const char* const format = "strLinkName=%s, strKeyEntryToBeLinked=%s, strParentFolderKey=%s, strEntryKey=%s, "
                               "strNextEntryKey=%s";
    QOR_TRACE_SCOPE(this, format, strLinkName, strKeyEntryToBeLinked, strParentFolderKey, strEntryKey, strNextEntryKey);
    const int result = Add_Or_Simulate(m_readonly, trace_scope, "entry", strEntryKey, [&] {
        return Call(m_functions.AddEntryLinkToFolder, strLinkName, strKeyEntryToBeLinked, strParentFolderKey,
                    strEntryKey, strNextEntryKey);
    });
    Trace_After_Call(trace_scope, __LINE__, format, strLinkName, strKeyEntryToBeLinked, strParentFolderKey, strEntryKey,
                     strNextEntryKey);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::AddEntryToFolder(const CString& strEntryName, int nEntryType,
                                           const CString& strParentFolderKey, CString& strEntryKey,
                                           const CString& strNextEntryKey, CMapStringToString* pMapProperties)
{
    const char* const format = "strEntryName=%s, nEntryType=%d, strParentFolderKey=%s, strEntryKey=%s, "
                               "strNextEntryKey=%s, pMapProperties=%p";
    QOR_TRACE_SCOPE(this, format, strEntryName, nEntryType, strParentFolderKey, strEntryKey, strNextEntryKey,
                    static_cast<void*>(pMapProperties));
    const int result = Add_Or_Simulate(m_readonly, trace_scope, "entry", strEntryKey, [&] {
        return Call(m_functions.AddEntryToFolder, strEntryName, nEntryType, strParentFolderKey, strEntryKey,
                    strNextEntryKey, pMapProperties);
    });
    Trace_After_Call(trace_scope, __LINE__, format, strEntryName, nEntryType, strParentFolderKey, strEntryKey,
                     strNextEntryKey, static_cast<void*>(pMapProperties));
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::GetParentFolderKey(const CString& strKeyActFolder, CString& strParentKey)
{
    const char* const format = "strKeyActFolder=%s, strParentKey=%s";
    QOR_TRACE_SCOPE(this, format, strKeyActFolder, strParentKey);
    const int result = Call(m_functions.GetParentFolderKey, strKeyActFolder, strParentKey);
    Trace_After_Call(trace_scope, __LINE__, format, strKeyActFolder, strParentKey);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::SetConfigurationParameter(const CString& key, const CString& value)
{
    const char* const format = "key=%s, value=%s";
    QOR_TRACE_SCOPE(this, format, key, value);
    int result = CDM_OK;
    if (m_readonly)
        trace_scope.Data("SetConfigurationParameter call will be ignored\n");
    else
        result = Call(m_functions.SetConfigurationParameter, key, value);
    Trace_After_Call(trace_scope, __LINE__, format, key, value);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::GetConfigurationParameter(const CString& key, CString& value)
{
    const char* const format = "key=%s, value=%s";
    QOR_TRACE_SCOPE(this, format, key, value);
    const int result = Call(m_functions.GetConfigurationParameter, key, value);
    Trace_After_Call(trace_scope, __LINE__, format, key, value);
    return trace_scope.Return(result);
}

CString CLogonManagerLibrary::Next_UUID()
{
    QOR_TRACE_SCOPE(nullptr);
    CString key;
    key.Format("NEW-UUID-%d", g_next_uuid++);
    return trace_scope.Return(key);
}

bool CLogonManagerLibrary::Get_Main_Folder(CString& root_uuid)
{
    QOR_TRACE_SCOPE(this, "root_uuid=%s", root_uuid);
    CStringArray workspace_uuids;
    const int listed = GetSubFolderKeys(CString(), &workspace_uuids, FALSE, TREE_ITEM_TYPE_WORKSPACE);
    trace_scope.Data("GetSubFolderKeys returned %d, workspace_uuids=%d\n", listed,
                     static_cast<int>(workspace_uuids.GetSize()));
    if (listed != CDM_OK)
        return trace_scope.Return(trace_scope.Failed("GetSubFolderKeys failed.\n"));
    if (workspace_uuids.GetSize() == 0)
        return trace_scope.Return(trace_scope.Failed("GetSubFolderKeys returned no workspaces.\n"));
    if (!Search_Local_Workspace(workspace_uuids, root_uuid))
        return trace_scope.Return(false);

    if (root_uuid.IsEmpty()) {
        trace_scope.Data("Local workspace was not found. Creating a new one.\n");
        const CString parent, name("Local"), memo, next;
        const BOOL expanded = TRUE;
        const int added = AddFolder(parent, name, expanded, memo, root_uuid, next);
        trace_scope.Data("AddFolder returned %d, parent=%s, name=%s, expanded=%d, memo=%s, root_uuid=%s\n", added,
                         parent, name, expanded, memo, root_uuid);
        if (added != CDM_OK)
            return trace_scope.Return(trace_scope.Failed("AddFolder failed.\n"));
    }
    if (root_uuid.IsEmpty())
        return trace_scope.Return(trace_scope.Failed("root_uuid is empty. Could not get Local workspace.\n"));
    trace_scope.Data("Local workspace was found with uuid=%s.\n", root_uuid);
    return trace_scope.Return(true);
}

// Leaves root_uuid at the first workspace named Local, or empty when there is
// none; false when that workspace comes from the server landscape.
bool CLogonManagerLibrary::Search_Local_Workspace(const CStringArray& workspaces, CString& root_uuid)
{
    QOR_TRACE_SCOPE(this);
    for (long long i = 0; i < workspaces.GetSize(); ++i) {
        root_uuid = workspaces[i];
        trace_scope.Data("Processing workspace #%d, %s.\n", static_cast<int>(i), root_uuid);
        CString name, memo, parent;
        int type = TREE_ITEM_TYPE_FOLDER;
        BOOL expanded = FALSE;
        const int result = GetFolderAttributes(root_uuid, name, type, expanded, memo, parent);
        trace_scope.Data("GetFolderAttributes returned %d, root_uuid=%s, name=%s, type=%d, expanded=%d, memo=%s, "
                         "parent=%s\n",
                         result, root_uuid, name, type, expanded, memo, parent);
        if (result != CDM_OK) {
            trace_scope.Warning("GetFolderAttributes failed.\n");
            root_uuid.Empty();
            continue;
        }
        if (name.CompareNoCase("Local") != 0) {
            trace_scope.Data("Not Local workspace. Search continues.\n");
            root_uuid.Empty();
            continue;
        }
        CString fromServer;
        GetFolderAttribute(root_uuid, fromServer);
        if (fromServer == "1")
            return trace_scope.Return(trace_scope.Failed(
                "Conflict: A workspace named 'LOCAL' was found in the server-Landscape-xml (see note "
                "1000234). Abort migration.\n"));
        trace_scope.Data("Local workspace found.\n");
        break;
    }
    return trace_scope.Return(true);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
