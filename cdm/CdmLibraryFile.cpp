#include "CdmLibraryFile.h"

#include "FileSystem.h"
#include "ModuleHandle.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

namespace {

template <typename Function>
bool Resolve_One(HMODULE module, Function& slot, const char* exportName, const char*& missing)
{
    slot = reinterpret_cast<Function>(GetProcAddress(module, exportName));
    if (!slot)
        missing = exportName;
    return slot != nullptr;
}

} // namespace

const char* CdmFunctionTable::Resolve(HMODULE module)
{
    const char* missing = nullptr;
    const bool complete =
        Resolve_One(module, Init, "CdmDataManInit", missing) && Resolve_One(module, Exit, "CdmDataManExit", missing) &&
        Resolve_One(module, GetSubFolderKeys, "CdmDataManGetSubFolderKeys", missing) &&
        Resolve_One(module, GetEntryKeys, "CdmDataManGetEntryKeys", missing) &&
        Resolve_One(module, SetFolderAttributes, "CdmDataManSetFolderAttributes", missing) &&
        Resolve_One(module, GetFolderAttributes, "CdmDataManGetFolderAttributes", missing) &&
        Resolve_One(module, GetFolderAttribute, "CdmDataManGetFolderAttribute", missing) &&
        Resolve_One(module, SetFolderAttribute, "CdmDataManSetFolderAttribute", missing) &&
        Resolve_One(module, GetEntryAttribute, "CdmDataManGetEntryAttribute", missing) &&
        Resolve_One(module, SetEntryAttribute, "CdmDataManSetEntryAttribute", missing) &&
        Resolve_One(module, GetEntryData, "CdmDataManGetEntryData", missing) &&
        Resolve_One(module, SetEntryData, "CdmDataManSetEntryData", missing) &&
        Resolve_One(module, AddFolder, "CdmDataManAddFolder", missing) &&
        Resolve_One(module, AddEntryLinkToFolder, "CdmDataManAddEntryLinkToFolder", missing) &&
        Resolve_One(module, AddEntryToFolder, "CdmDataManAddEntryToFolder", missing) &&
        Resolve_One(module, GetLogonParamtersByKey, "CdmDataManGetLogonParamtersByKey", missing) &&
        Resolve_One(module, GetLogonParamtersByProperties, "CdmDataManGetLogonParamtersByProperties", missing) &&
        Resolve_One(module, GetParentFolderKey, "CdmDataManGetParentFolderKey", missing) &&
        Resolve_One(module, SetConfigurationParameter, "CdmDataManSetConfigurationParameter", missing) &&
        Resolve_One(module, GetConfigurationParameter, "CdmDataManGetConfigurationParameter", missing);
    return complete ? nullptr : missing;
}

const char* CdmLibraryFile::Name(Which which)
{
    return which == V01_OLD_LOGON_MANAGER ? "V01_OLD_LOGON_MANAGER" : "V02_SERVICE_LANDSCAPE";
}

const char* CdmLibraryFile::File_Name(Which which)
{
    return which == V01_OLD_LOGON_MANAGER ? "qorcdm.dll" : "qorcdm2.dll";
}

std::string CdmLibraryFile::Path(Which which)
{
    return QOR::FrontEnd::Util::FileSystem::Get_DLL_Path(Get_Module_Handle(), File_Name(which));
}

CdmLibraryFile::CdmLibraryFile(const std::string& path) : m_path(path), m_module(LoadLibraryA(path.c_str()))
{
    m_loadError = GetLastError();
    if (m_module)
        m_missing = m_functions.Resolve(m_module.get());
}

CdmLibraryFile::CdmLibraryFile(Which which) : CdmLibraryFile(Path(which)) {}

}}}} // namespace QOR::FrontEnd::Landscape::Migration
