#pragma once
// Migrates every profile folder below a folder (each folder that holds a
// qorlogon.ini) with up to N worker processes, each migrating one profile after
// another with the libraries loaded once (BatchWorker). A worker that dies
// costs only the profile it held, which is reported failed with the worker's
// exit code; a new worker takes over the rest of its share. A profile that
// already has its landscape is not touched.
#include <string>
#include <vector>

#include "Report.h"

namespace Admin {

class Batch
{
public:
    // The hidden option that makes this program a worker.
    static const char* const Worker_Option;
    // More worker processes than this are not started, whatever --jobs says.
    static const size_t Most_Jobs;

    Batch(const std::string& root, int jobs);
    Report Run() const;

private:
    std::vector<std::string> Find_Profiles() const;

    std::string m_root;
    size_t m_jobs;
};

} // namespace Admin
