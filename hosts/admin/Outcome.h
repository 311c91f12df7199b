#pragma once
// What a run did to one profile, and the one place that names each outcome
// (the report, the progress lines and a worker's record use these names).
#include <string>

namespace Admin {

enum class Outcome
{
    Migrated,
    Already_Migrated,
    Nothing_To_Migrate,
    Failed
};

// Every outcome, in the order of the report's totals.
constexpr Outcome All_Outcomes[] = {Outcome::Migrated, Outcome::Already_Migrated, Outcome::Nothing_To_Migrate,
                                    Outcome::Failed};

// "migrated", "already migrated", "nothing to migrate", "failed".
const char* Name(Outcome outcome);
// False for a text that names no outcome.
bool From_Name(const std::string& name, Outcome& outcome);

} // namespace Admin
