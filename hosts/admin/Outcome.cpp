#include "Outcome.h"

namespace Admin {

const char* Name(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Migrated:
        return "migrated";
    case Outcome::Already_Migrated:
        return "already migrated";
    case Outcome::Nothing_To_Migrate:
        return "nothing to migrate";
    case Outcome::Failed:
        break;
    }
    return "failed";
}

bool From_Name(const std::string& name, Outcome& outcome)
{
    for (Outcome known : All_Outcomes)
        if (name == Name(known)) {
            outcome = known;
            return true;
        }
    return false;
}

} // namespace Admin
