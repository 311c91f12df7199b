#pragma once
// The current user's migration with the flags of the command line, through the
// library's export for front ends, and what it did: the recorded state before
// and after, the landscape files, and the result in words, checked against the
// files as they are now.
#include "CommandLine.h"
#include "Report.h"

namespace Admin {

class MigrationCommand
{
public:
    explicit MigrationCommand(const CommandLine& options);
    // An exit code (ExitCode.h); the user's record goes into the report.
    int Run(Report& report) const;

    // The recorded migration state before and after the run, whether the
    // landscape format is off for the user (and not forced), and whether the
    // run was a simulation.
    struct States
    {
        int before = 0, after = 0;
        bool formatOff = false;
        bool simulated = false;
    };

private:
    ProfileRecord Record(bool migrated, const States& states) const;
    static std::string Why(const ProfileRecord& record, const States& states);

    const CommandLine& m_options;
};

} // namespace Admin
