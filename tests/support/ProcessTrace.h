#pragma once
// The process traces at level 4 into a folder of its own, and a TraceTail shows
// what a piece of code wrote there. The program says how tracing is started:
// with Get_Trace(4) where it links this library's code, through an export
// where it calls the DLL.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "TestSupport.h"

namespace TestSupport {

class ProcessTrace : public ::testing::Environment
{
public:
    // `start_at_level_4` makes the process's first trace request, at level 4.
    explicit ProcessTrace(void (*start_at_level_4)()) : m_start(start_at_level_4) {}

    void SetUp() override
    {
        folder = std::make_unique<ScratchDirectory>();
        SetEnvironmentVariableA("QOR_TRACE_DIR", folder->Path().c_str());
        m_start();
        char name[MAX_PATH];
        std::snprintf(name, sizeof(name), "\\landscape_migration_%.4d_%.4d.trc",
                      static_cast<int>(GetCurrentProcessId()), static_cast<int>(GetCurrentThreadId()));
        file = folder->Path() + name;
    }

    inline static std::string file;

private:
    void (*m_start)();
    // Kept to the end of the process: the trace file stays open until then.
    inline static std::unique_ptr<ScratchDirectory> folder;
};

// What the process trace file gained since the object was made.
class TraceTail
{
public:
    TraceTail() : m_start(File_Size(ProcessTrace::file)) {}
    std::string Text() const { return Read_File(ProcessTrace::file, m_start); }
    ::testing::AssertionResult Has(const std::string& piece) const { return Holds(Text(), piece); }
    // A line of the tail that starts with the level's tag ("***ERROR***: ",
    // "***WARNING*: ") and holds `piece` (which may end in the line's CR LF).
    ::testing::AssertionResult Has_Line(const std::string& level, const std::string& piece) const
    {
        return TestSupport::Has_Line(Text(), level, piece);
    }

private:
    size_t m_start;
};

} // namespace TestSupport
