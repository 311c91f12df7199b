#include "Progress.h"

#include <windows.h>

#include <cstdio>

namespace Admin {

Progress::Progress(size_t total) : m_total(total)
{
    DWORD mode = 0;
    m_console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
}

void Progress::Done(const ProfileRecord& record)
{
    ++m_done;
    m_failed += record.result == Outcome::Failed;
    if (!m_console) {
        std::printf("[%zu/%zu] %s: %s\n", m_done, m_total, Name(record.result), record.profile.c_str());
        std::fflush(stdout);
        return;
    }
    const size_t width = 40, filled = m_total ? m_done * width / m_total : width;
    std::printf("\r[%s%s] %zu/%zu profiles, %zu failed", std::string(filled, '#').c_str(),
                std::string(width - filled, '.').c_str(), m_done, m_total, m_failed);
    if (m_done == m_total)
        std::printf("\n");
    std::fflush(stdout);
}

} // namespace Admin
