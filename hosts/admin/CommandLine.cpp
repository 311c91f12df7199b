#include "CommandLine.h"

#include <cstdlib>

namespace Admin {

const char* const CommandLine::Worker_Option = "--batch-worker";

const char* CommandLine::Usage()
{
    return "usage: landscape_migrate [--check] [--force] [--simulate] [--dump-mappings] [--dump-contents]\n"
           "                         [--report FILE]\n"
           "       landscape_migrate --verify [--ini FILE] [--landscape FILE] [--report FILE]\n"
           "       landscape_migrate --profiles DIR [--jobs N] [--report FILE]\n"
           "       landscape_migrate --verify --profiles DIR [--report FILE]\n"
           "       landscape_migrate --help | --version\n"
           "\n"
           "Without --verify or --profiles: migrates the current user's connections from\n"
           "qorlogon.ini into the landscape files, as the client does at start-up, and\n"
           "says what happened.\n"
           "\n"
           "  --check           check mode: the configuration counts as valid without tests\n"
           "  --force           migrate into a landscape file that exists already, and even\n"
           "                    when the landscape format is switched off\n"
           "  --simulate        simulation: no file is written, and the migration state and\n"
           "                    core landscape file are put back in the registry as they\n"
           "                    were, so the client's next start migrates as before\n"
           "  --dump-mappings   print the old and new key of every folder and entry\n"
           "  --dump-contents   print the contents of both connection stores\n"
           "\n"
           "  --verify          compare the old connection file with the user landscape and\n"
           "                    account for every folder and entry: migrated, skipped (skip\n"
           "                    flag), left out (inside a folder from the server), missing or\n"
           "                    different. Prints a table and the problems; writes nothing\n"
           "                    but the report.\n"
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
           "                    as it is; a profile that fails keeps no new file. Folders\n"
           "                    reached through a link are passed over, and named. With\n"
           "                    --verify: verify every profile instead, writing nothing.\n"
           "  --jobs N          with --profiles: N worker processes, each migrating one\n"
           "                    profile after another (default: one per processor); a\n"
           "                    worker that dies costs only the profile it held\n"
           "\n"
           "  --report FILE     also write a JSON report (docs/administrators.md): the run\n"
           "                    and, per profile, its result (migrated, already_migrated,\n"
           "                    nothing_to_migrate, not_migrated, failed), its counts, its\n"
           "                    problems, its trace file and how long it took\n"
           "  --help            this text\n"
           "  --version         the version of this program\n"
           "\n"
           "Exit codes:\n"
           "  0  done: migrated, already migrated, nothing to migrate, or verified with\n"
           "     every folder and entry accounted for\n"
           "  1  a profile or the migration step failed, or a verification found\n"
           "     differences or a profile without a landscape\n"
           "  2  the command line is wrong; nothing was done\n"
           "  3  a landscape file is not well-formed XML, or an XML operation failed\n"
           "  4  found before any work: a folder or file that is missing or cannot be\n"
           "     written; nothing was done\n";
}

bool CommandLine::Fail(const std::string& error)
{
    m_error = error + "; see --help";
    return false;
}

bool CommandLine::Value(int argc, const char* const* argv, int& i, std::string& value)
{
    const std::string option = argv[i];
    if (!value.empty())
        return Fail(option + " is given twice");
    if (i + 1 >= argc)
        return Fail(option + " needs a value");
    const std::string next = argv[++i];
    if (next.empty())
        return Fail(option + " needs a value, not an empty text");
    if (next[0] == '-' && next.size() > 1)
        return Fail(option + " needs a value, not the option " + next);
    value = next;
    return true;
}

bool CommandLine::Parse(int argc, const char* const* argv)
{
    std::string jobsText;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h" || option == "/?") {
            mode = Mode::Help;
            return true;
        }
        if (option == "--version") {
            mode = Mode::Version;
            return true;
        }
        bool* const flag = option == "--check"           ? &check
                           : option == "--force"         ? &force
                           : option == "--simulate"      ? &simulate
                           : option == "--dump-mappings" ? &dumpMappings
                           : option == "--dump-contents" ? &dumpContents
                           : option == "--verify"        ? &m_verify
                                                         : nullptr;
        std::string* const value = option == "--ini"         ? &ini
                                   : option == "--landscape" ? &landscape
                                   : option == "--report"    ? &report
                                   : option == "--profiles"  ? &folder
                                   : option == "--jobs"      ? &jobsText
                                                             : nullptr;
        if (flag)
            *flag = true;
        else if (value) {
            if (!Value(argc, argv, i, *value))
                return false;
        } else if (option == Worker_Option)
            mode = Mode::Worker;
        else
            return Fail("unknown option '" + option + "'");
    }
    if (mode != Mode::Worker)
        mode = !folder.empty() ? (m_verify ? Mode::Verify_Profiles : Mode::Profiles)
                               : (m_verify ? Mode::Verify : Mode::Migrate);
    char* end = nullptr;
    jobs = static_cast<int>(std::strtol(jobsText.c_str(), &end, 10));
    if (!jobsText.empty() && (*end || jobs < 1))
        return Fail("--jobs needs a whole number of at least 1, not '" + jobsText + "'");
    return Check_Combination();
}

bool CommandLine::Check_Combination()
{
    const bool migrationFlags = check || force || simulate || dumpMappings || dumpContents;
    if (mode != Mode::Verify && (!ini.empty() || !landscape.empty()))
        return Fail("--ini and --landscape go with --verify of one user only");
    if (mode != Mode::Migrate && migrationFlags)
        return Fail("--check, --force, --simulate and the dumps go with a migration of the current user only");
    if (mode != Mode::Profiles && jobs)
        return Fail("--jobs goes with a migration of --profiles only");
    if (simulate && !report.empty())
        return Fail("a simulation writes nothing, not even a report");
    return true;
}

} // namespace Admin
