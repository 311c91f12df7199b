// Command-line front end: the current user's migration with the flags given
// here, a verification of one user's migration, or an offline batch over a
// folder of profiles (hosts/admin). landscape_migrate --help says how.
#include <cstdio>

#include "Batch.h"
#include "CommandLine.h"
#include "LandscapeMigration.h"
#include "MigrationCommand.h"
#include "ProfileMigration.h"
#include "VerifyCommand.h"

namespace {

// The engine reads the migration state of the account that runs it: in a named
// file's state (3 or 4) it would leave the shared settings out of every profile.
int Run_Batch(const Admin::CommandLine& options)
{
    const int state = Get_Migration_State();
    if (state == 3 || state == 4) {
        std::fprintf(stderr, "landscape_migrate: this account's own migration state is %d (a landscape named at "
                             "start-up); run the batch from an account without it\n", state);
        return 1;
    }
    const Admin::Report report = Admin::Batch(options.folder, options.jobs).Run();
    std::printf("%zu profiles: %d migrated, %d already migrated, %d nothing to migrate, %d failed\n",
                report.Records().size(), report.Count("migrated"), report.Count("already migrated"),
                report.Count("nothing to migrate"), report.Count("failed"));
    for (const Admin::ProfileRecord& record : report.Records())
        for (const Admin::ProfileRecord::Problem& problem : record.problems)
            std::printf("  %s: %s%s%s\n", record.profile.c_str(), problem.key.c_str(), problem.key.empty() ? "" : " ",
                        problem.reason.c_str());
    if (!options.report.empty() && !report.Write(options.report)) {
        std::fprintf(stderr, "landscape_migrate: cannot write the report %s\n", options.report.c_str());
        return 1;
    }
    return report.Count("failed") ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    Admin::CommandLine options;
    if (!options.Parse(argc, argv)) {
        std::fprintf(stderr, "landscape_migrate: %s\n\n%s", options.Error().c_str(), Admin::CommandLine::Usage());
        return 2;
    }
    switch (options.mode) {
    case Admin::CommandLine::Mode::Help:
        std::fputs(Admin::CommandLine::Usage(), stdout);
        return 0;
    case Admin::CommandLine::Mode::Verify:
        return Admin::VerifyCommand(options.ini, options.landscape).Run(options.report);
    case Admin::CommandLine::Mode::Profiles:
        return Run_Batch(options);
    case Admin::CommandLine::Mode::Worker:
        // Out at once: the record must not wait for the libraries' clean-up at exit.
        std::fputs(Admin::ProfileMigration(options.folder).Run().To_Text().c_str(), stdout);
        std::fflush(stdout);
        return 0;
    default:
        return Admin::MigrationCommand(options).Run();
    }
}
