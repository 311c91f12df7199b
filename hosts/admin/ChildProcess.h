#pragma once
// A process started with its standard output and error going to a file of its
// own in the temporary folder; the file goes when the object does.
#include <string>

#include "UniqueHandle.h"

namespace Admin {

class ChildProcess
{
public:
    explicit ChildProcess(const std::string& commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    // Why it did not start.
    DWORD Start_Error() const { return m_error; }
    HANDLE Handle() const { return m_process.get(); }
    // Once it has ended.
    DWORD Exit_Code() const;
    std::string Output() const;

private:
    std::string m_output;
    QOR::FrontEnd::Util::unique_handle m_process;
    DWORD m_error = 0;
};

} // namespace Admin
