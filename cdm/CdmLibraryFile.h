#pragma once
#include <windows.h>

#include <string>

#include "CdmFunctionTable.h"
#include "Handles.h"
#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// One connection-data library, loaded by its full path and its function table
// resolved once; unloaded with the object. Everything that calls a library -
// the migration, the front end, the hosts, the tests - opens it through this.
class LANDSCAPE_MIGRATION_API CdmLibraryFile
{
public:
    // The library selector, numbered as the wrapper's `which` is.
    enum Which
    {
        V01_OLD_LOGON_MANAGER = 0, // qorcdm.dll, the old connection file
        V02_SERVICE_LANDSCAPE = 1  // qorcdm2.dll, the landscape
    };

    // "V01_OLD_LOGON_MANAGER" or "V02_SERVICE_LANDSCAPE", as traces name it.
    static const char* Name(Which which);
    // "qorcdm.dll" or "qorcdm2.dll".
    static const char* File_Name(Which which);
    // The library's full path: beside the module that holds this code (the
    // migration library, or a test program that has it linked in); empty when
    // that folder cannot be found.
    static std::string Path(Which which);

    explicit CdmLibraryFile(const std::string& path);
    // The library of that kind from its folder.
    explicit CdmLibraryFile(Which which);
    CdmLibraryFile(const CdmLibraryFile&) = delete;
    CdmLibraryFile& operator=(const CdmLibraryFile&) = delete;

    const std::string& File() const { return m_path; }
    HMODULE Module() const { return m_module.get(); }
    // GetLastError right after the load.
    DWORD Load_Error() const { return m_loadError; }
    // The first export missing from a loaded library, or null.
    const char* Missing_Function() const { return m_missing; }
    // Loaded, with every function of the table.
    bool Usable() const { return m_module && !m_missing; }
    // Whole when usable; up to the missing function otherwise.
    const CdmFunctionTable& Functions() const { return m_functions; }

private:
    std::string m_path;
    QOR::FrontEnd::Util::unique_hmodule m_module;
    DWORD m_loadError = 0;
    const char* m_missing = nullptr;
    CdmFunctionTable m_functions;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
