#pragma once
// Up to N worker processes of this program, each taking one item after
// another on its standard input and answering each with a text that ends with
// a given line (BatchWorker). A worker that dies costs only the item it held:
// that item is answered with why it was lost, and a new worker takes over the
// rest of the dead one's share.
#include <functional>
#include <string>
#include <vector>

namespace Admin {

class WorkerPool
{
public:
    // More worker processes than this are not started, whatever is asked.
    static const size_t Most_Jobs;

    struct Answer
    {
        std::string text; // the worker's answer, up to and with its end line
        std::string lost; // why there is none: the worker was not started, or ended first
    };
    // Called for each item as its answer comes, one call at a time.
    using Done = std::function<void(const std::string& item, const Answer& answer)>;

    // `workerOption` on this program's command line makes it a worker; `jobs`
    // 0 means one per processor.
    WorkerPool(const std::string& workerOption, std::string endLine, int jobs);
    void Run(const std::vector<std::string>& items, const Done& done) const;

private:
    std::string m_command;
    std::string m_endLine;
    size_t m_jobs;
};

} // namespace Admin
