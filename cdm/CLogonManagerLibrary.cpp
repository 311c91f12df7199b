// CLogonManagerLibrary, loading: the library file beside this library, its
// function table, its initialisation for the user's file and its release. The
// data operations are in CLogonManagerLibraryOperations.cpp.
#include "CLogonManagerLibrary.h"

#include <cstring>
#include <iostream>

#include "FileSystem.h"
#include "LibraryCall.h"
#include "ModuleHandle.h"
#include "QorUtil.h"
#include "ScopeExit.h"
#include "TraceScope.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

using namespace LibraryCall;

namespace {

const char* const Export_Prefix = "CdmDataMan";
// Room for a long path (4,096 characters) and its prefix: the old library may
// leave the process in any folder it can reach.
constexpr DWORD Saved_Directory_Size = 4160;

} // namespace

CLogonManagerLibrary::CLogonManagerLibrary(int which, const std::string& ini_or_xml_file, const std::string& trace_file,
                                           bool readonly)
    : m_ini_file(ini_or_xml_file), m_which(which), m_readonly(readonly)
{
    QOR_TRACE_SCOPE(this, "which = %s, ini_or_xml_file = %s, trace_file = %s, readonly = %s",
                    CdmLibraryFile::Name(static_cast<Which>(which)), ini_or_xml_file, trace_file,
                    readonly ? "true" : "false");
    const std::string path = CdmLibraryFile::Path(static_cast<Which>(which));
    if (path.empty())
        trace_scope.Error(
            "Error: Cannot determine full path for the current dll when loading dependency qorcdm.dll.\n");
    if (!Load_Library_File(path)) {
        trace_scope.Error("Error: Cannot load library %s.\n", path);
        return;
    }
    trace_scope.Data("load succeeded.\n");

    std::string savedDirectory;
    if (which == V01_OLD_LOGON_MANAGER) {
        trace_scope.Data("which library to load: V01_OLD_LOGON_MANAGER.\n");
        trace_scope.Data("CoInitialize will be called.\n");
        const HRESULT res = m_com.Initialize();
        if (FAILED(res))
            trace_scope.Error("CoInitialize returned an error: res = %d, GetLastError = %d.\n", static_cast<int>(res),
                              static_cast<int>(GetLastError()));
        char directory[Saved_Directory_Size] = {};
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
    // however the initialisation ends, the way the migration puts back its own.
    auto restore = QOR::FrontEnd::Util::scope_exit([&] {
        trace_scope.Data("Restoring current directory to %s\n", savedDirectory);
        if (!QOR::FrontEnd::Util::FileSystem::Set_Current_Directory(savedDirectory))
            trace_scope.Warning("GetCurrentDirectory returned an error: res = %d, GetLastError = %d.\n", 0,
                                static_cast<int>(GetLastError()));
    });
    if (savedDirectory.empty())
        restore.release();
    const CString strIniFile = Named_User_File();
    int ini_state = 0;
    int error = 0;
    CString strErrorInFileInfo;
    m_InitializationState.state = Init(strIniFile, &ini_state, &error, &strErrorInFileInfo,
                                       Get_Trace(QORPCTRC_LEVEL_ERROR)->trace().m_level, trace_file.c_str());
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
    if (m_which == V01_OLD_LOGON_MANAGER) {
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
    if (m_library && m_library->Module())
        return trace_scope.Return(trace_scope.Failed_Bug("Library already loaded. %s.\n", dllfile));
    m_library = std::make_unique<CdmLibraryFile>(dllfile);
    const DWORD loadError = m_library->Load_Error();
    trace_scope.Data("LoadLibrary returned %p, GetLastError was %d.\n", static_cast<void*>(m_library->Module()),
                     static_cast<int>(loadError));
    if (!m_library->Module()) {
        char directory[4096] = {};
        GetCurrentDirectoryA(sizeof(directory), directory);
        std::cerr << "Error: Library could not be loaded " << dllfile << std::endl
                  << "       Error code:  " << loadError << std::endl
                  << "       Current dir: " << directory << std::endl;
        return trace_scope.Return(
            trace_scope.Failed("Library could not be loaded %s\n   Error code:  %d\n   Current dir: %s\n", dllfile,
                               static_cast<int>(loadError), directory));
    }
    m_functions = m_library->Functions();
    if (const char* missing = m_library->Missing_Function())
        return trace_scope.Return(
            trace_scope.Failed("Invalid DLL. Cannot find function %s.\n", missing + std::strlen(Export_Prefix)));
    return trace_scope.Return(true);
}

void CLogonManagerLibrary::Cleanup_Library()
{
    QOR_TRACE_SCOPE(this);
    if (!m_library || !m_library->Module())
        trace_scope.Warning("Cleaning up but library was already freed. The call is unnecessary.\n");
    m_functions = CdmFunctionTable(); // nothing of the library may be called any more
    m_library.reset();
    if (m_which == V01_OLD_LOGON_MANAGER) {
        trace_scope.Data("Calling CoUninitialize.\n");
        m_com.Reset();
    }
}

std::string CLogonManagerLibrary::Get_DLL_Path(const std::string& dllfilename)
{
    return QOR::FrontEnd::Util::FileSystem::Get_DLL_Path(Get_Module_Handle(), dllfilename);
}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
