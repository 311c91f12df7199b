#pragma once
// --verify of one user's files: the old connection file against the user
// landscape, as a table and a list of problems. Writes nothing but the report.
#include "CommandLine.h"
#include "Report.h"

namespace Admin {

class Verification;

class VerifyCommand
{
public:
    explicit VerifyCommand(const CommandLine& options);
    // An exit code (ExitCode.h); the profile's record goes into the report.
    int Run(Report& report) const;

private:
    static void Print(const Verification& verification);

    std::string m_ini;
    std::string m_landscape;
};

} // namespace Admin
