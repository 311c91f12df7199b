#pragma once
#include <windows.h>

#include "CdmDataMan.h"
#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// The twenty functions of a connection-data library, in the order of its
// table; all null until resolved from a loaded library.
struct LANDSCAPE_MIGRATION_API CdmFunctionTable
{
    CdmDataManInit_t Init = nullptr;
    CdmDataManExit_t Exit = nullptr;
    CdmDataManGetSubFolderKeys_t GetSubFolderKeys = nullptr;
    CdmDataManGetEntryKeys_t GetEntryKeys = nullptr;
    CdmDataManSetFolderAttributes_t SetFolderAttributes = nullptr;
    CdmDataManGetFolderAttributes_t GetFolderAttributes = nullptr;
    CdmDataManGetFolderAttribute_t GetFolderAttribute = nullptr;
    CdmDataManSetFolderAttribute_t SetFolderAttribute = nullptr;
    CdmDataManGetEntryAttribute_t GetEntryAttribute = nullptr;
    CdmDataManSetEntryAttribute_t SetEntryAttribute = nullptr;
    CdmDataManGetEntryData_t GetEntryData = nullptr;
    CdmDataManSetEntryData_t SetEntryData = nullptr;
    CdmDataManAddFolder_t AddFolder = nullptr;
    CdmDataManAddEntryLinkToFolder_t AddEntryLinkToFolder = nullptr;
    CdmDataManAddEntryToFolder_t AddEntryToFolder = nullptr;
    CdmDataManGetLogonParamtersByKey_t GetLogonParamtersByKey = nullptr;
    CdmDataManGetLogonParamtersByProperties_t GetLogonParamtersByProperties = nullptr;
    CdmDataManGetParentFolderKey_t GetParentFolderKey = nullptr;
    CdmDataManSetConfigurationParameter_t SetConfigurationParameter = nullptr;
    CdmDataManGetConfigurationParameter_t GetConfigurationParameter = nullptr;

    // Every export "CdmDataMan<function>" of `module`, in table order. Returns
    // the name of the first one missing, or null when the table is complete.
    // The functions before a missing one stay resolved, those after it null.
    const char* Resolve(HMODULE module);
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
