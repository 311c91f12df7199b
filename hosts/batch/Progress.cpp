#include "Progress.h"

#include <windows.h>

#include <cstdio>

namespace Admin {

namespace {

// One write a line: the C runtime asks the console for its mode at every write,
// which is a round trip through the Wine server.
void Put(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace

Progress::Progress(size_t total) : m_total(total)
{
    DWORD mode = 0;
    m_console = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != FALSE;
    // Output to a device (NUL) is unbuffered, and an unbuffered stream is
    // written a character at a time; every line is flushed whole anyway.
    if (!m_console)
        std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
}

void Progress::Done(const std::string& profile, const std::string& result, bool failed, const std::string& detail)
{
    ++m_done;
    m_failed += failed;
    char counts[96];
    if (!m_console) {
        std::snprintf(counts, sizeof(counts), "[%zu/%zu] ", m_done, m_total);
        Put(counts + result + ": " + profile + (detail.empty() ? "" : " (" + detail + ")") + "\n");
        return;
    }
    const size_t width = 40, filled = m_total ? m_done * width / m_total : width;
    std::snprintf(counts, sizeof(counts), "] %zu/%zu profiles, %zu failed", m_done, m_total, m_failed);
    Put("\r[" + std::string(filled, '#') + std::string(width - filled, '.') + counts + (m_done == m_total ? "\n" : ""));
}

} // namespace Admin
