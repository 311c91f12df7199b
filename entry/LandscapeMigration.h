#pragma once
// The entry points of landscape_migration.dll, for the host that loads it.
#include <vector>

#include "CMigrationChecker.h"
#include "CMigrationTool.h"
#include "CMigrationToolConfig.h"
#include "CdmDataMan.h"
#include "LandscapeMigrationApi.h"

extern "C" {

// The host's start-up call: the trace level comes from LD_MIG_TRC_LEVEL.
LANDSCAPE_MIGRATION_API bool Execute_Landscape_Migration_Check();

LANDSCAPE_MIGRATION_API bool Execute_Landscape_Migration_Check_Internal(CDM_INITIALIZATION_STATE* source,
                                                                        CDM_INITIALIZATION_STATE* destination,
                                                                        int trace_level);

// For the command-line front end: of the configuration only the five flags count.
LANDSCAPE_MIGRATION_API bool Execute_Landscape_Migration_Check_Custom(
    const QOR::FrontEnd::Landscape::Migration::CMigrationToolConfig& configuration);

// Folds the libraries' results into the host's status when the host's state is
// one of `replaceable`; a non-zero destination state wins over the source's.
LANDSCAPE_MIGRATION_API void Update_Migration_Status(const CDM_INITIALIZATION_STATE& source,
                                                     const CDM_INITIALIZATION_STATE& destination,
                                                     const std::vector<int>& replaceable, int* state,
                                                     CString* description);

// The recorded migration state, 0 to 4; anything else reads as 0.
LANDSCAPE_MIGRATION_API int Get_Migration_State();

} // extern "C"
