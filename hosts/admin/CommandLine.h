#pragma once
// The options of landscape_migrate.exe, checked for what they say before any
// work: every value is there and is no option, every combination means
// something. And its --help text.
#include <string>

namespace Admin {

class CommandLine
{
public:
    enum class Mode
    {
        Migrate,         // the current user
        Verify,          // one user's files
        Profiles,        // a batch over a folder of profiles
        Verify_Profiles, // every profile of a folder, read only
        Worker,          // a worker process of a batch
        Help,
        Version
    };

    // The hidden option that makes this program a batch's worker.
    static const char* const Worker_Option;

    // False, with the reason in Error(), for a command line that says nothing
    // sensible; nothing is to be done then.
    bool Parse(int argc, const char* const* argv);
    // One line, ending with "; see --help".
    const std::string& Error() const { return m_error; }
    static const char* Usage();

    Mode mode = Mode::Migrate;
    bool check = false, force = false, simulate = false, dumpMappings = false, dumpContents = false;
    std::string ini, landscape, report, folder; // folder: of --profiles
    int jobs = 0;                               // 0: one per processor

private:
    bool Value(int argc, const char* const* argv, int& i, std::string& value);
    bool Fail(const std::string& error);
    bool Check_Combination();

    bool m_verify = false;
    std::string m_error;
};

} // namespace Admin
