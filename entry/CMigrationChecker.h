#pragma once
#include "CMigrationToolConfig.h"
#include "CdmDataMan.h"
#include "LandscapeMigrationApi.h"

namespace QOR { namespace FrontEnd { namespace Landscape { namespace Migration {

// Decides once per start of the host whether the user's connections must be
// migrated, locally or centrally, runs that step and records the new state.
class LANDSCAPE_MIGRATION_API CMigrationChecker
{
public:
    CMigrationChecker();
    explicit CMigrationChecker(const CMigrationToolConfig& configuration);
    CMigrationChecker(const CMigrationChecker& other);
    CMigrationChecker(CMigrationChecker&& other);
    ~CMigrationChecker();
    CMigrationChecker& operator=(const CMigrationChecker& other);
    CMigrationChecker& operator=(CMigrationChecker&& other);

    // True only when a migration step ran and both it and the state write succeeded.
    bool Check();

    const CDM_INITIALIZATION_STATE& GetSourceInitializationState() const;
    const CDM_INITIALIZATION_STATE& GetDestinationInitializationState() const;

private:
    bool FileExists(const char* name);
    bool FileDoesNotExistAndCanBeCreated(CString& name);
    void Load_Default_Config_File_Paths();
    bool S1_Migrate_Using_Local_Landscape_Only();
    bool S2_Migrate_Using_Central_Landscape();
    bool S2_Switch_To_Central_Landscape();

    bool Environment_Fits_Code_Page(class TraceScope& trace_scope);
    bool Named_File_Allows_Migration(const char* path);
    void Copy_Landscapes_From_Windows_Folder(class TraceScope& trace_scope);
    bool Ignore_Core_File();
    void Copy_Records(const class CMigrationTool& tool);

    CMigrationToolConfig m_configuration;
    CDM_INITIALIZATION_STATE m_sourceInitializationState;
    CDM_INITIALIZATION_STATE m_destinationInitializationState;
};

}}}} // namespace QOR::FrontEnd::Landscape::Migration
