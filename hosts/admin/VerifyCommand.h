#pragma once
// --verify: one user's old connection file against their landscape, read
// through the two connection-data libraries; prints a table and the problems.
#include <string>

namespace Admin {

class Verification;

class VerifyCommand
{
public:
    // Empty paths stand for the current user's files.
    VerifyCommand(const std::string& ini, const std::string& landscape);
    // 0 when nothing is missing or different; an empty report path writes none.
    int Run(const std::string& report) const;

private:
    static void Print(const Verification& verification);

    std::string m_ini;
    std::string m_landscape;
};

} // namespace Admin
