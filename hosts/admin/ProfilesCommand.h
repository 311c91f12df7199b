#pragma once
// --profiles DIR: every profile below a folder, migrated by worker processes
// (ProfileMigration in each) or, with --verify, verified in this process and
// left as it is. A profile that already has its landscape is not given to a
// worker; a profile that fails loses the files its run made.
#include "CommandLine.h"
#include "Report.h"

namespace Admin {

struct ProfileFolders;

class ProfilesCommand
{
public:
    explicit ProfilesCommand(const CommandLine& options);
    // An exit code (ExitCode.h); every profile's record goes into the report.
    int Run(Report& report) const;
    // What this program does as one of the batch's worker processes.
    static int Serve_As_Worker();

private:
    void Migrate(const ProfileFolders& found, Report& report) const;
    void Verify(const ProfileFolders& found, Report& report) const;
    static void Print_Summary(const Report& report);

    const CommandLine& m_options;
};

} // namespace Admin
