#pragma once
// For test programs that link this library's own code: the process traces at
// level 4 into a folder of its own, and a TraceTail shows what a piece of code
// wrote there.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "Tracing.h"

namespace TestSupport {

class ProcessTrace : public ::testing::Environment
{
public:
    void SetUp() override
    {
        Folder() = std::make_unique<ScratchDirectory>();
        SetEnvironmentVariableA("QOR_TRACE_DIR", Folder()->Path().c_str());
        QOR::FrontEnd::Landscape::Migration::Get_Trace(4);
        char name[MAX_PATH];
        std::snprintf(name, sizeof(name), "\\landscape_migration_%.4d_%.4d.trc",
                      static_cast<int>(GetCurrentProcessId()), static_cast<int>(GetCurrentThreadId()));
        File() = Folder()->Path() + name;
    }

    static std::string& File()
    {
        static std::string file;
        return file;
    }

private:
    // Kept to the end of the process: the trace file stays open until then.
    static std::unique_ptr<ScratchDirectory>& Folder()
    {
        static std::unique_ptr<ScratchDirectory> folder;
        return folder;
    }
};

// What the process trace file gained since the object was made.
class TraceTail
{
public:
    TraceTail() : m_start(Read_File(ProcessTrace::File()).size()) {}
    std::string Text() const { return Read_File(ProcessTrace::File()).substr(m_start); }
    bool Has(const std::string& piece) const { return Text().find(piece) != std::string::npos; }

private:
    size_t m_start;
};

// The trace file is written in text mode: line feeds are stored as CR LF.
inline std::string Crlf(const std::string& text)
{
    std::string stored;
    for (char ch : text)
        stored += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    return stored;
}

} // namespace TestSupport
