#pragma once
// The current user's migration, as the client runs it at start-up, with the
// flags of the command line; says what happened to the landscape files.
#include <string>

#include "CommandLine.h"

namespace Admin {

struct ProfileRecord;

class MigrationCommand
{
public:
    explicit MigrationCommand(const CommandLine& options);
    int Run() const;

private:
    ProfileRecord Record(bool migrated, bool landscapeBefore) const;

    const CommandLine& m_options;
};

} // namespace Admin
