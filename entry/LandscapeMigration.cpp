#include "LandscapeMigration.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "MigrationState.h"
#include "SystemText.h"
#include "TraceScope.h"

using namespace QOR::FrontEnd::Landscape::Migration;

namespace {

// LD_MIG_TRC_LEVEL as a number; unset, empty or not a number gives 0.
int Trace_Level_From_Environment()
{
    std::string value;
    QOR::FrontEnd::SystemText::Environment_Variable("LD_MIG_TRC_LEVEL", value);
    return value.size() < 64 ? std::atoi(value.c_str()) : 0;
}

} // namespace

bool Execute_Landscape_Migration_Check()
{
    CDM_INITIALIZATION_STATE source{3, CString()};
    CDM_INITIALIZATION_STATE destination{3, CString()};
    return Execute_Landscape_Migration_Check_Internal(&source, &destination, Trace_Level_From_Environment());
}

bool Execute_Landscape_Migration_Check_Internal(CDM_INITIALIZATION_STATE* source, CDM_INITIALIZATION_STATE* destination,
                                                int trace_level)
{
    Get_Trace(trace_level); // the first request fixes the level of the process
    QOR_TRACE_SCOPE(nullptr);
    CMigrationChecker checker;
    const bool result = checker.Check();
    *source = checker.GetSourceInitializationState();
    *destination = checker.GetDestinationInitializationState();
    return trace_scope.Return(result);
}

bool Execute_Landscape_Migration_Check_Custom(const CMigrationToolConfig& configuration)
{
    QOR_TRACE_SCOPE(nullptr, "configuration=%s", configuration.To_String());
    CMigrationChecker checker(configuration);
    return trace_scope.Return(checker.Check());
}

void Update_Migration_Status(const CDM_INITIALIZATION_STATE& source, const CDM_INITIALIZATION_STATE& destination,
                             const std::vector<int>& replaceable, int* state, CString* description)
{
    QOR_TRACE_SCOPE(nullptr, "srcInitState: state=%d, description='%s'\ndestInitState: state=%d, description='%s'",
                    source.state, source.description, destination.state, destination.description);
    if (std::find(replaceable.begin(), replaceable.end(), *state) == replaceable.end())
        return;
    for (const CDM_INITIALIZATION_STATE* record : {&source, &destination})
        if (record->state != 0) {
            *state = record->state;
            *description = record->description;
        }
}

int Get_Migration_State()
{
    const DWORD state = Read_Migration_State();
    return state <= S4_MIGRATED_INTO_ENVIRONMENT_FILE ? static_cast<int>(state) : 0;
}
