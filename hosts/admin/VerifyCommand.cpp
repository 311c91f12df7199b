#include "VerifyCommand.h"

#include <cstdio>

#include "ComApartment.h"
#include "DefaultPaths.h"
#include "ExitCode.h"
#include "FileSystem.h"
#include "InputFiles.h"
#include "ProfileVerifier.h"
#include "Verification.h"

namespace Admin {

namespace DefaultPaths = QOR::FrontEnd::Landscape::Migration::DefaultPaths;

VerifyCommand::VerifyCommand(const CommandLine& options)
    : m_ini(options.ini.empty() ? DefaultPaths::Qorlogon_Ini() : options.ini),
      m_landscape(options.landscape.empty() ? DefaultPaths::User_Landscape() : options.landscape)
{
}

int VerifyCommand::Run(Report& report) const
{
    using Kind = InputFiles::LandscapeDamage::Kind;
    QOR::FrontEnd::Util::ComApartment com; // for telling a malformed landscape's line and column
    com.Initialize();
    if (!QOR::FrontEnd::Util::FileSystem::File_Exists(m_ini)) {
        std::fprintf(stderr, "landscape_migrate: the old connection file %s does not exist\n", m_ini.c_str());
        return Exit_Fatal;
    }
    const InputFiles::LandscapeDamage damage = InputFiles::Landscape_Damage(m_landscape);
    if (damage.kind != Kind::None && damage.kind != Kind::Malformed) {
        std::fprintf(stderr, "landscape_migrate: %s\n", damage.text.c_str());
        return Exit_Fatal;
    }
    std::printf("Old connection file: %s\nUser landscape:      %s\n\n", m_ini.c_str(), m_landscape.c_str());
    const ProfileRecord record = ProfileVerifier().Verify_Profile(m_ini, m_landscape, Print);
    report.Add(record);
    if (damage.kind == Kind::Malformed) {
        std::fprintf(stderr, "landscape_migrate: %s\n", damage.text.c_str());
        return Exit_Xml;
    }
    for (const ProfileRecord::Problem& problem : record.problems)
        if (problem.key.empty())
            std::fprintf(stderr, "landscape_migrate: %s\n", problem.reason.c_str());
    std::printf("Result: %s\n", Words(record.result));
    return Is_Failure(record.result) ? Exit_Failed : Exit_Success;
}

void VerifyCommand::Print(const Verification& verification)
{
    using Verdict = Verification::Verdict;
    const Verdict verdicts[] = {Verdict::Migrated, Verdict::Skipped, Verdict::LeftOut, Verdict::Missing,
                                Verdict::Different};
    std::printf("%-9s", "");
    for (Verdict verdict : verdicts)
        std::printf("%11s", Verification::Name(verdict));
    for (bool folders : {true, false}) {
        std::printf("\n%-9s", folders ? "folders" : "entries");
        for (Verdict verdict : verdicts)
            std::printf("%11d", verification.Count(folders, verdict));
    }
    std::printf("\n\n");
    if (verification.Passed()) {
        std::printf("Every folder and entry of the old file is accounted for.\n");
        return;
    }
    std::printf("Problems:\n");
    for (const Verification::Finding& finding : verification.Findings())
        if (finding.Is_Problem())
            std::printf("  %-9s %-6s %s '%s': %s\n", Verification::Name(finding.verdict),
                        finding.folder ? "folder" : "entry", finding.key.c_str(), finding.name.c_str(),
                        finding.reason.c_str());
}

} // namespace Admin
