#include "CommandLine.h"

#include <cstdlib>

#include "Batch.h"

namespace Admin {

const char* CommandLine::Usage()
{
    return "usage: landscape_migrate [options]\n"
           "       landscape_migrate --verify [--ini FILE] [--landscape FILE] [--report FILE]\n"
           "       landscape_migrate --profiles DIR [--jobs N] [--report FILE]\n"
           "\n"
           "Without --verify or --profiles: migrates the current user's connections from\n"
           "qorlogon.ini into the landscape files, as the client does at start-up, and\n"
           "reports what happened.\n"
           "\n"
           "  --check           check mode: the configuration counts as valid without tests\n"
           "  --force           overwrite existing landscape files; migrate even when the\n"
           "                    landscape format is switched off\n"
           "  --simulate        simulation: no file is written, and the migration state and\n"
           "                    core landscape file are put back in the registry as they\n"
           "                    were, so the client's next start migrates as before\n"
           "  --dump-mappings   print the old and new key of every folder and entry\n"
           "  --dump-contents   print the contents of both connection stores\n"
           "\n"
           "  --verify          compare the old connection file with the user landscape and\n"
           "                    account for every folder and entry: migrated, skipped (skip\n"
           "                    flag), left out (inside a folder from the server), missing or\n"
           "                    different. Prints a table and the problems; writes nothing.\n"
           "  --ini FILE        with --verify: the old connection file (default: the user's)\n"
           "  --landscape FILE  with --verify: the user landscape (default: the user's)\n"
           "\n"
           "  --profiles DIR    migrate every folder below DIR that holds a qorlogon.ini\n"
           "                    (a roaming profile's QOR\\Common) offline, as a first start\n"
           "                    of a user with nothing recorded would on this machine: the\n"
           "                    local step (QORUILandscapeGlobal.xml beside it with this\n"
           "                    machine's shared settings) or, when the machine names a\n"
           "                    server landscape, the central one; the registry is not\n"
           "                    touched. A profile that has its landscape already is left\n"
           "                    as it is; a profile that fails keeps no new file. The\n"
           "                    business client's options are left to the user's first\n"
           "                    start, which keeps the prepared tree and adds them.\n"
           "  --jobs N          with --profiles: N worker processes, each migrating one\n"
           "                    profile after another (default: one per processor); a\n"
           "                    worker that dies costs only the profile it held\n"
           "\n"
           "  --report FILE     also write a JSON report: per profile its result (migrated,\n"
           "                    already migrated, nothing to migrate, failed), the numbers of\n"
           "                    folders, entries, skipped and left-out items, the problems\n"
           "                    and the trace file; and totals (docs/administrators.md)\n"
           "  --help            this text\n"
           "\n"
           "Exit code: 0 when a migration step ran and succeeded, the verification found\n"
           "nothing missing or different, or no profile failed; 1 otherwise; 2 for a wrong\n"
           "option; 3 for an XML error.\n";
}

bool CommandLine::Value(int argc, char** argv, int& i, std::string& value)
{
    if (i + 1 >= argc) {
        m_error = std::string(argv[i]) + " needs a value";
        return false;
    }
    value = argv[++i];
    return true;
}

bool CommandLine::Parse(int argc, char** argv)
{
    std::string jobsText;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        bool ok = true;
        if (option == "--help" || option == "-h" || option == "/?")
            mode = Mode::Help;
        else if (option == "--check")
            check = true;
        else if (option == "--force")
            force = true;
        else if (option == "--simulate")
            simulate = true;
        else if (option == "--dump-mappings")
            dumpMappings = true;
        else if (option == "--dump-contents")
            dumpContents = true;
        else if (option == "--verify")
            mode = Mode::Verify;
        else if (option == "--ini")
            ok = Value(argc, argv, i, ini);
        else if (option == "--landscape")
            ok = Value(argc, argv, i, landscape);
        else if (option == "--report")
            ok = Value(argc, argv, i, report);
        else if (option == "--profiles" && (ok = Value(argc, argv, i, folder)))
            mode = Mode::Profiles;
        else if (option == "--jobs")
            ok = Value(argc, argv, i, jobsText);
        else if (option == Batch::Worker_Option)
            mode = Mode::Worker;
        else if (ok) {
            m_error = "unknown option '" + option + "'";
            return false;
        }
        if (!ok)
            return false;
        if (mode == Mode::Help)
            return true;
    }
    jobs = std::atoi(jobsText.c_str());
    if (!jobsText.empty() && jobs < 1) {
        m_error = "--jobs needs a number of at least 1";
        return false;
    }
    return Check_Combination();
}

bool CommandLine::Check_Combination()
{
    const bool flags = check || force || simulate || dumpMappings || dumpContents;
    if (mode != Mode::Verify && (!ini.empty() || !landscape.empty()))
        m_error = "--ini and --landscape go with --verify only";
    else if (mode != Mode::Migrate && flags)
        m_error = "--check, --force, --simulate and the dumps go with a migration of the current user only";
    else if (mode != Mode::Profiles && jobs)
        m_error = "--jobs goes with --profiles only";
    else if (simulate && !report.empty())
        m_error = "a simulation writes nothing, not even a report";
    return m_error.empty();
}

} // namespace Admin
