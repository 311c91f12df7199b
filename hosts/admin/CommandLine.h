#pragma once
// The options of landscape_migrate.exe and its --help text.
#include <string>

namespace Admin {

class CommandLine
{
public:
    enum class Mode
    {
        Migrate,
        Verify,
        Profiles,
        Worker,
        Help
    };

    // False, with the reason in Error(), for options that do not go together.
    bool Parse(int argc, char** argv);
    const std::string& Error() const { return m_error; }
    static const char* Usage();

    Mode mode = Mode::Migrate;
    bool check = false, force = false, simulate = false, dumpMappings = false, dumpContents = false;
    std::string ini, landscape, report, folder; // folder: of --profiles
    int jobs = 0;                               // 0: one per processor

private:
    bool Value(int argc, char** argv, int& i, std::string& value);
    bool Check_Combination();

    std::string m_error;
};

} // namespace Admin
