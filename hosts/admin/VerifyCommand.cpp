#include "VerifyCommand.h"

#include <cstdio>

#include "ConnectionStore.h"
#include "DefaultPaths.h"
#include "Libraries.h"
#include "Report.h"
#include "Verification.h"

namespace Admin {

namespace DefaultPaths = QOR::FrontEnd::Landscape::Migration::DefaultPaths;

VerifyCommand::VerifyCommand(const std::string& ini, const std::string& landscape)
    : m_ini(ini.empty() ? DefaultPaths::Qorlogon_Ini() : ini),
      m_landscape(landscape.empty() ? DefaultPaths::User_Landscape() : landscape)
{
}

int VerifyCommand::Run(const std::string& reportPath) const
{
    std::printf("Old connection file: %s\nUser landscape:      %s\n\n", m_ini.c_str(), m_landscape.c_str());
    ProfileRecord record(ProfileRecord::Folder_Of(m_ini), Outcome::Failed);
    const Libraries libraries;
    const ConnectionStore old(libraries.old, m_ini);
    const ConnectionStore landscape(libraries.landscape, m_landscape);
    for (const ConnectionStore* store : {&old, &landscape})
        if (!store->Is_Open()) {
            std::printf("Cannot read: %s\n", store->Message().c_str());
            record.problems.push_back({"", "", "cannot read: " + store->Message()});
        }
    bool passed = false;
    if (record.problems.empty()) {
        const ConnectionTree tree = old.Read();
        const Verification verification(tree, landscape.Read(), MessageServerPorts());
        Print(verification);
        record.Account(verification);
        passed = verification.Passed();
        const bool empty = tree.Folders().empty() && tree.Entries().empty();
        record.result = empty ? Outcome::Nothing_To_Migrate : passed ? Outcome::Migrated : Outcome::Failed;
    }
    Report report;
    report.Add(record);
    if (!reportPath.empty() && !report.Write(reportPath)) {
        std::fprintf(stderr, "landscape_migrate: cannot write the report %s\n", reportPath.c_str());
        return 1;
    }
    return passed ? 0 : 1;
}

void VerifyCommand::Print(const Verification& verification)
{
    using Outcome = Verification::Outcome;
    const Outcome outcomes[] = {Outcome::Migrated, Outcome::Skipped, Outcome::LeftOut, Outcome::Missing,
                                Outcome::Different};
    std::printf("%-9s", "");
    for (Outcome outcome : outcomes)
        std::printf("%11s", Verification::Name(outcome));
    for (bool folders : {true, false}) {
        std::printf("\n%-9s", folders ? "folders" : "entries");
        for (Outcome outcome : outcomes)
            std::printf("%11d", verification.Count(folders, outcome));
    }
    std::printf("\n\n");
    if (verification.Passed()) {
        std::printf("Every folder and entry of the old file is accounted for.\n");
        return;
    }
    std::printf("Problems:\n");
    for (const Verification::Finding& finding : verification.Findings())
        if (finding.outcome == Outcome::Missing || finding.outcome == Outcome::Different)
            std::printf("  %-9s %-6s %s '%s': %s\n", Verification::Name(finding.outcome),
                        finding.folder ? "folder" : "entry", finding.key.c_str(), finding.name.c_str(),
                        finding.reason.c_str());
}

} // namespace Admin
