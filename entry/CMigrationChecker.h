#pragma once
#include <string>

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
    CMigrationChecker(CMigrationChecker&& other); // NOLINT(performance-noexcept-move-constructor): copies
    ~CMigrationChecker();
    CMigrationChecker& operator=(const CMigrationChecker& other);
    CMigrationChecker& operator=(CMigrationChecker&& other); // NOLINT(performance-noexcept-move-constructor): copies

    // True only when a migration step ran and both it and the state write succeeded.
    bool Check();

    // What Check does for a user who has nothing recorded and whose connection
    // file and landscapes are all in `folder` (as in %APPDATA%\QOR\Common):
    // true for the local step, false for the central one, and the files that
    // step migrates (options files left out) in `configuration`. Decided as
    // Check decides, but without its traces and without recording anything:
    // the front end prepares profiles by it.
    bool First_Start_In_Folder(const std::string& folder, CMigrationToolConfig& configuration);

    const CDM_INITIALIZATION_STATE& GetSourceInitializationState() const;
    const CDM_INITIALIZATION_STATE& GetDestinationInitializationState() const;

private:
    bool FileExists(const char* name);
    bool FileDoesNotExistAndCanBeCreated(CString& name);
    void Load_Default_Config_File_Paths();
    void Load_Machine_File_Paths();
    bool Takes_Local_Step(const std::string& server_core_landscape, bool ignore_core_file) const;
    bool S1_Migrate_Using_Local_Landscape_Only();
    bool S2_Migrate_Using_Central_Landscape();
    bool S2_Switch_To_Central_Landscape();

    // What a state's branch of Check decided: whether a step was taken, how it
    // went, and the state to record for it.
    struct Step
    {
        bool taken = false;
        bool succeeded = false;
        DWORD state = 0;
    };
    bool User_Landscape_Ready(class TraceScope& trace_scope, int& source);
    Step Step_From_Local_Landscape(class TraceScope& trace_scope);
    Step First_Step(class TraceScope& trace_scope, int source, const char* ignored_core);
    // A step that ran: its result traced, and the state that `setting` says is recorded.
    static Step Step_Ran(class TraceScope& trace_scope, const char* step, bool succeeded, DWORD state,
                         const char* setting);

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
