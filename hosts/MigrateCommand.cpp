// Command-line front end: the current user's migration with the flags given
// here, a verification of one user's migration, or an offline batch over a
// folder of profiles (hosts/admin). landscape_migrate --help says how.
#include <cstdio>

#include "Batch.h"
#include "BatchWorker.h"
#include "CommandLine.h"
#include "MigrationCommand.h"
#include "VerifyCommand.h"

namespace {

int Run_Batch(const Admin::CommandLine& options)
{
    using Admin::Outcome;
    const Admin::Report report = Admin::Batch(options.folder, options.jobs).Run();
    std::printf("%zu profiles: %d %s, %d %s, %d %s, %d %s\n", report.Records().size(), report.Count(Outcome::Migrated),
                Name(Outcome::Migrated), report.Count(Outcome::Already_Migrated), Name(Outcome::Already_Migrated),
                report.Count(Outcome::Nothing_To_Migrate), Name(Outcome::Nothing_To_Migrate),
                report.Count(Outcome::Failed), Name(Outcome::Failed));
    for (const Admin::ProfileRecord& record : report.Records())
        for (const Admin::ProfileRecord::Problem& problem : record.problems)
            std::printf("  %s: %s%s%s\n", record.profile.c_str(), problem.key.c_str(), problem.key.empty() ? "" : " ",
                        problem.reason.c_str());
    if (!options.report.empty() && !report.Write(options.report)) {
        std::fprintf(stderr, "landscape_migrate: cannot write the report %s\n", options.report.c_str());
        return 1;
    }
    return report.Count(Outcome::Failed) ? 1 : 0;
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
        return Admin::Run_Batch_Worker();
    default:
        return Admin::MigrationCommand(options).Run();
    }
}
