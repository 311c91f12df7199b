#pragma once
// How far a batch has come: a bar redrawn in place on a console, one plain line
// per profile otherwise (a log file, a pipe).
#include <string>

namespace Admin {

class Progress
{
public:
    explicit Progress(size_t total);
    // One more profile done: its result in words and, for one that failed,
    // where to read why ("trace file: ...").
    void Done(const std::string& profile, const std::string& result, bool failed, const std::string& detail);

private:
    size_t m_total;
    size_t m_done = 0;
    size_t m_failed = 0;
    bool m_console;
};

} // namespace Admin
