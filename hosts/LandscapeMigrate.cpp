// Command-line front end: the current user's migration with the flags given
// here, a verification of one user's migration, or a batch over a folder of
// profiles, migrating or verifying (hosts/admin). landscape_migrate --help says
// how, and which exit code means what.
#include <cstdio>

#include "CommandLine.h"
#include "ExitCode.h"
#include "MigrationCommand.h"
#include "ProductVersion.h"
#include "ProfilesCommand.h"
#include "Report.h"
#include "VerifyCommand.h"

namespace {

int Run_Command(const Admin::CommandLine& options, Admin::Report& report)
{
    switch (options.mode) {
    case Admin::CommandLine::Mode::Verify:
        return Admin::VerifyCommand(options).Run(report);
    case Admin::CommandLine::Mode::Profiles:
    case Admin::CommandLine::Mode::Verify_Profiles:
        return Admin::ProfilesCommand(options).Run(report);
    default:
        return Admin::MigrationCommand(options).Run(report);
    }
}

// The report, unless nothing was done: before any work, a report that cannot be
// written stops the run; after it, one that could not be written is said.
int With_Report(const Admin::CommandLine& options)
{
    std::string reason;
    if (!options.report.empty() && !Admin::Report::Writable(options.report, reason)) {
        std::fprintf(stderr, "landscape_migrate: the report %s cannot be written: %s\n", options.report.c_str(),
                     reason.c_str());
        return Admin::Exit_Fatal;
    }
    Admin::Report report;
    const int code = Run_Command(options, report);
    report.Finish();
    if (options.report.empty() || code == Admin::Exit_Fatal)
        return code;
    if (!report.Write(options.report, reason)) {
        std::fprintf(stderr, "landscape_migrate: the report %s could not be written: %s\n", options.report.c_str(),
                     reason.c_str());
        return Admin::Exit_Fatal;
    }
    return code;
}

} // namespace

int main(int argc, char** argv)
{
    Admin::CommandLine options;
    if (!options.Parse(argc, argv)) {
        std::fprintf(stderr, "landscape_migrate: %s\n", options.Error().c_str());
        return Admin::Exit_Usage;
    }
    switch (options.mode) {
    case Admin::CommandLine::Mode::Help:
        std::fputs(Admin::CommandLine::Usage(), stdout);
        return Admin::Exit_Success;
    case Admin::CommandLine::Mode::Version:
        std::printf("landscape_migrate %s\n", LANDSCAPE_MIGRATION_VERSION);
        return Admin::Exit_Success;
    case Admin::CommandLine::Mode::Worker:
        return Admin::ProfilesCommand::Serve_As_Worker();
    default:
        return With_Report(options);
    }
}
