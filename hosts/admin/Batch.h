#pragma once
// Migrates every profile folder below a folder (each folder that holds a
// qorlogon.ini) with up to N worker processes, each running this program on one
// profile; a worker that fails or crashes costs only its own profile (one that
// crashes is started once more before its profile counts as failed). A profile
// that already has its landscape is not touched.
#include <string>
#include <vector>

#include "Report.h"

namespace Admin {

class Batch
{
public:
    // The hidden option that makes this program a worker for one profile.
    static const char* const Worker_Option;

    Batch(const std::string& root, int jobs);
    Report Run() const;

private:
    std::vector<std::string> Find_Profiles() const;
    // The record of a worker that ended twice without one.
    ProfileRecord No_Result(const std::string& profile, const class ChildProcess& worker) const;

    std::string m_root;
    size_t m_jobs;
};

} // namespace Admin
