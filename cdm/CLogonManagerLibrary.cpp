#include "CLogonManagerLibrary.h"

#include <cstring>
#include <iostream>

#include "FileSystem.h"
#include "ModuleHandle.h"
#include "QorUtil.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

const std::string Old_Library_File = "qorcdm.dll";
const std::string Landscape_Library_File = "qorcdm2.dll";
const char* const Export_Prefix = "CdmDataMan";

int g_next_uuid = 0; // read-only keys, shared by every instance of the process

const char* Which_Name(int which) { return which == 0 ? "V01_OLD_LOGON_MANAGER" : "V02_SERVICE_LANDSCAPE"; }

// Calls a resolved library function; one that is missing is never called.
template <typename Function, typename... Args>
int Call(Function function, Args&&... args)
{
    return function ? function(std::forward<Args>(args)...) : CDM_E_NOT_INITIALIZED;
}

// "after call: " and the argument list again, with the values the call left.
template <typename... Args>
void Trace_After_Call(TraceScope& scope, int line, const char* format, const Args&... args)
{
    if (!scope.Enabled(QORPCTRC_LEVEL_DATA))
        return;
    const std::string text = std::string("after call: ") + format + "\n";
    scope.Data(TraceMessage(text.c_str(), line), args...);
}

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

CLogonManagerLibrary::CLogonManagerLibrary(int which, const std::string& ini_or_xml_file,
                                           const std::string& trace_file, bool readonly)
    : m_ini_file(ini_or_xml_file), m_which(which), m_readonly(readonly)
{
    QOR_TRACE_SCOPE(this, "which = %s, ini_or_xml_file = %s, trace_file = %s, readonly = %s", Which_Name(which),
                    ini_or_xml_file, trace_file, readonly ? "true" : "false");
    const std::string path = Get_DLL_Path(which == 0 ? Old_Library_File : Landscape_Library_File);
    if (path.empty())
        trace_scope.Error("Error: Cannot determine full path for the current dll when loading dependency qorcdm.dll.\n");
    if (!Load_Library_File(path)) {
        trace_scope.Error("Error: Cannot load library %s.\n", path);
        return;
    }
    trace_scope.Data("load succeeded.\n");

    std::string savedDirectory;
    if (which == 0) {
        trace_scope.Data("which library to load: V01_OLD_LOGON_MANAGER.\n");
        trace_scope.Data("CoInitialize will be called.\n");
        const HRESULT res = m_com.Initialize();
        if (FAILED(res))
            trace_scope.Error("CoInitialize returned an error: res = %d, GetLastError = %d.\n", static_cast<int>(res),
                              static_cast<int>(GetLastError()));
        char directory[4160] = {};
        const DWORD res2 = GetCurrentDirectoryA(sizeof(directory), directory);
        if (res2 == 0 || res2 >= sizeof(directory))
            trace_scope.Warning("GetCurrentDirectory returned an error: res2 = %d, GetLastError = %d.\n",
                                static_cast<int>(res2), static_cast<int>(GetLastError()));
        else {
            savedDirectory = directory;
            trace_scope.Data("current_dir = %s\n", savedDirectory);
        }
    }
    // The old library may change the directory while it reads; it is put back
    // however the initialisation ends.
    const auto restore = QOR::FrontEnd::Util::scope_exit([&] {
        if (savedDirectory.empty())
            return;
        trace_scope.Data("Restoring current directory to %s\n", savedDirectory);
        if (!SetCurrentDirectoryA(savedDirectory.c_str()))
            trace_scope.Warning("GetCurrentDirectory returned an error: res = %d, GetLastError = %d.\n", 0,
                                static_cast<int>(GetLastError()));
    });
    const CString strIniFile = Named_User_File();
    int ini_state = 0;
    int error = 0;
    CString strErrorInFileInfo;
    m_InitializationState.state = Init(strIniFile, &ini_state, &error, &strErrorInFileInfo,
                                       Get_Trace(QORPCTRC_LEVEL_ERROR)->trace().Get_Level(), trace_file.c_str());
    m_InitializationState.description = !strIniFile.IsEmpty()           ? strIniFile
                                        : !strErrorInFileInfo.IsEmpty() ? strErrorInFileInfo
                                                                        : CString(m_ini_file.c_str());
    trace_scope.Data("Files\nstrIniFile: '%s' \nstrErrorInFileInfo: '%s' \nm_ini_file: '%s'\n", strIniFile,
                     strErrorInFileInfo, m_ini_file);
    trace_scope.Data("CLogonManagerLibrary ctr. Initalization done. \nm_InitializationState: %d, '%s'\n",
                     m_InitializationState.state, m_InitializationState.description);
}

CLogonManagerLibrary::~CLogonManagerLibrary()
{
    Exit();
    Cleanup_Library();
}

// The user's file goes to the library only when the host named it; otherwise
// the library opens the default that the utility library reports to it.
CString CLogonManagerLibrary::Named_User_File() const
{
    char buffer[MAX_PATH] = {};
    int source = 0;
    if (m_which == 0) {
        GetQorLogonUserIniFileToLoad(buffer, MAX_PATH, source);
        return source == QORUTIL_SOURCE_NAMED ? CString(buffer) : CString();
    }
    GetQorLogonUserLandscapeFileToLoad(buffer, MAX_PATH, source);
    return source == QORUTIL_SOURCE_COMMAND_LINE ? CString(buffer) : CString();
}

int CLogonManagerLibrary::Init(const char* ini_file, int* ini_state, int* error, CString* error_in_file,
                               int trace_level, const char* trace_file)
{
    const char* const format = "ini_file=%s ini_state=%d error=%d error_in_file=%s trace_level=%d trace_file=%s";
    QOR_TRACE_SCOPE(this, format, ini_file, ini_state ? *ini_state : 0, error ? *error : 0,
                    error_in_file ? error_in_file->GetString() : "", trace_level, trace_file);
    const int result = Call(m_functions.Init, ini_file, ini_state, error, error_in_file, trace_level, trace_file);
    Trace_After_Call(trace_scope, __LINE__, format, ini_file, ini_state ? *ini_state : 0, error ? *error : 0,
                     error_in_file ? error_in_file->GetString() : "", trace_level, trace_file);
    return trace_scope.Return(result);
}

int CLogonManagerLibrary::Exit()
{
    QOR_TRACE_SCOPE(this);
    return trace_scope.Return(Call(m_functions.Exit));
}

bool CLogonManagerLibrary::Load_Library_File(const std::string& dllfile)
{
    QOR_TRACE_SCOPE(this, "dllfile=%s", dllfile);
    if (m_hLibrary) {
        trace_scope.Error(" ---- BUG ---- ");
        trace_scope.Data("Library already loaded. %s.\n", dllfile);
        return trace_scope.Return(false);
    }
    m_hLibrary.reset(LoadLibraryA(dllfile.c_str()));
    const DWORD loadError = GetLastError();
    trace_scope.Data("LoadLibrary returned %p, GetLastError was %d.\n", static_cast<void*>(m_hLibrary.get()),
                     static_cast<int>(loadError));
    if (!m_hLibrary) {
        char directory[4096] = {};
        GetCurrentDirectoryA(sizeof(directory), directory);
        std::cerr << "Error: Library could not be loaded " << dllfile << std::endl
                  << "       Error code:  " << loadError << std::endl
                  << "       Current dir: " << directory << std::endl;
        trace_scope.Error("Library could not be loaded %s\n   Error code:  %d\n   Current dir: %s\n", dllfile,
                          static_cast<int>(loadError), directory);
        return trace_scope.Return(false);
    }
    if (const char* missing = Resolve_Function_Table()) {
        trace_scope.Error("Invalid DLL. Cannot find function %s.\n", missing + std::strlen(Export_Prefix));
        return trace_scope.Return(false);
    }
    return trace_scope.Return(true);
}

template <typename Function>
bool CLogonManagerLibrary::Resolve(Function& slot, const char* exportName, const char*& missing)
{
    slot = reinterpret_cast<Function>(GetProcAddress(m_hLibrary.get(), exportName));
    if (!slot)
        missing = exportName;
    return slot != nullptr;
}

// In table order; returns the first export that is missing, or null.
const char* CLogonManagerLibrary::Resolve_Function_Table()
{
    const char* missing = nullptr;
    const bool complete =
        Resolve(m_functions.Init, "CdmDataManInit", missing) && Resolve(m_functions.Exit, "CdmDataManExit", missing) &&
           Resolve(m_functions.GetSubFolderKeys, "CdmDataManGetSubFolderKeys", missing) &&
           Resolve(m_functions.GetEntryKeys, "CdmDataManGetEntryKeys", missing) &&
           Resolve(m_functions.SetFolderAttributes, "CdmDataManSetFolderAttributes", missing) &&
           Resolve(m_functions.GetFolderAttributes, "CdmDataManGetFolderAttributes", missing) &&
           Resolve(m_functions.GetFolderAttribute, "CdmDataManGetFolderAttribute", missing) &&
           Resolve(m_functions.SetFolderAttribute, "CdmDataManSetFolderAttribute", missing) &&
           Resolve(m_functions.GetEntryAttribute, "CdmDataManGetEntryAttribute", missing) &&
           Resolve(m_functions.SetEntryAttribute, "CdmDataManSetEntryAttribute", missing) &&
           Resolve(m_functions.GetEntryData, "CdmDataManGetEntryData", missing) && Resolve(m_functions.SetEntryData, "CdmDataManSetEntryData", missing) &&
           Resolve(m_functions.AddFolder, "CdmDataManAddFolder", missing) &&
           Resolve(m_functions.AddEntryLinkToFolder, "CdmDataManAddEntryLinkToFolder", missing) &&
           Resolve(m_functions.AddEntryToFolder, "CdmDataManAddEntryToFolder", missing) &&
           Resolve(m_functions.GetLogonParamtersByKey, "CdmDataManGetLogonParamtersByKey", missing) &&
           Resolve(m_functions.GetLogonParamtersByProperties, "CdmDataManGetLogonParamtersByProperties", missing) &&
           Resolve(m_functions.GetParentFolderKey, "CdmDataManGetParentFolderKey", missing) &&
           Resolve(m_functions.SetConfigurationParameter, "CdmDataManSetConfigurationParameter", missing) &&
           Resolve(m_functions.GetConfigurationParameter, "CdmDataManGetConfigurationParameter", missing);
    return complete ? nullptr : missing;
}

void CLogonManagerLibrary::Cleanup_Library()
{
    QOR_TRACE_SCOPE(this);
    if (!m_hLibrary)
        trace_scope.Warning("Cleaning up but library was already freed. The call is unnecessary.\n");
    m_functions = Functions(); // nothing of the library may be called any more
    m_hLibrary.reset();
    if (m_which == 0) {
        trace_scope.Data("Calling CoUninitialize.\n");
        m_com.Reset();
    }
}

std::string CLogonManagerLibrary::Get_DLL_Path(const std::string& dllfilename)
{
    return QOR::FrontEnd::Util::FileSystem::Get_DLL_Path(Get_Module_Handle(), dllfilename);
}

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
    const int result =
        Call(m_functions.GetFolderAttributes, strFolderKey, strFolderName, nType, bExpanded, strFolderMemo, strParentFolderKey);
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
    QOR_TRACE_SCOPE(this, format, strLinkName, strKeyEntryToBeLinked, strParentFolderKey, strEntryKey,
                    strNextEntryKey);
    const int result = Add_Or_Simulate(m_readonly, trace_scope, "entry", strEntryKey, [&] {
        return Call(m_functions.AddEntryLinkToFolder, strLinkName, strKeyEntryToBeLinked, strParentFolderKey,
                    strEntryKey, strNextEntryKey);
    });
    Trace_After_Call(trace_scope, __LINE__, format, strLinkName, strKeyEntryToBeLinked, strParentFolderKey,
                     strEntryKey, strNextEntryKey);
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
    if (listed != CDM_OK) {
        trace_scope.Error("GetSubFolderKeys failed.\n");
        return trace_scope.Return(false);
    }
    if (workspace_uuids.GetSize() == 0) {
        trace_scope.Error("GetSubFolderKeys returned no workspaces.\n");
        return trace_scope.Return(false);
    }
    if (!Search_Local_Workspace(workspace_uuids, root_uuid))
        return trace_scope.Return(false);

    if (root_uuid.IsEmpty()) {
        trace_scope.Data("Local workspace was not found. Creating a new one.\n");
        const CString parent, name("Local"), memo, next;
        const BOOL expanded = TRUE;
        const int added = AddFolder(parent, name, expanded, memo, root_uuid, next);
        trace_scope.Data("AddFolder returned %d, parent=%s, name=%s, expanded=%d, memo=%s, root_uuid=%s\n", added,
                         parent, name, expanded, memo, root_uuid);
        if (added != CDM_OK) {
            trace_scope.Error("AddFolder failed.\n");
            return trace_scope.Return(false);
        }
    }
    if (root_uuid.IsEmpty()) {
        trace_scope.Error("root_uuid is empty. Could not get Local workspace.\n");
        return trace_scope.Return(false);
    }
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
        if (fromServer == "1") {
            trace_scope.Error("Conflict: A workspace named 'LOCAL' was found in the server-Landscape-xml (see note "
                              "1000234). Abort migration.\n");
            return trace_scope.Return(false);
        }
        trace_scope.Data("Local workspace found.\n");
        break;
    }
    return trace_scope.Return(true);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
