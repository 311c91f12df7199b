#pragma once
// How far a batch has come: a bar redrawn in place on a console, one plain line
// per profile otherwise (a log file, a pipe).
#include <string>

#include "ProfileRecord.h"

namespace Admin {

class Progress
{
public:
    explicit Progress(size_t total);
    void Done(const ProfileRecord& record);

private:
    size_t m_total;
    size_t m_done = 0;
    size_t m_failed = 0;
    bool m_console;
};

} // namespace Admin
