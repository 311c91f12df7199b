#pragma once
// A program started in a process of its own: the one way the front end, the
// tests and the test loops start one. Its standard output and error go either
// to a file of its own in the temporary folder (read with Output once it has
// ended; the file goes with the object), or, for a conversation, its standard
// input and output are pipes of this object and its standard error goes
// nowhere. No other process started meanwhile inherits either.
#include <string>

#include "Handles.h"

namespace Admin {

class ChildProcess
{
public:
    enum class Wiring
    {
        Output_File,
        Pipes
    };

    explicit ChildProcess(const std::string& commandLine, Wiring wiring = Wiring::Output_File);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    // Why it did not start.
    DWORD Start_Error() const { return m_error; }
    HANDLE Handle() const { return m_process.get(); }
    // True once it has ended; waits at most `milliseconds`.
    bool Wait(DWORD milliseconds = INFINITE) const;
    void Terminate(UINT exitCode) const;
    // Once it has ended.
    DWORD Exit_Code() const;
    // Output_File: what it wrote.
    std::string Output() const;
    // Pipes: false once the process has gone.
    bool Write(const std::string& text) const;
    // Pipes: ends its input, as a program ends that reads to the end.
    void Close_Input() { m_input.reset(); }
    // Pipes: appends what is there (waiting until something is); false once
    // the process has gone and everything it wrote has been read.
    bool Read(std::string& text) const;

private:
    // The process's ends, to be inherited by it alone.
    bool Make_Output_File(QOR::FrontEnd::Util::unique_hfile& output);
    bool Make_Pipes(QOR::FrontEnd::Util::unique_handle& input, QOR::FrontEnd::Util::unique_handle& output);

    std::wstring m_outputFile;
    QOR::FrontEnd::Util::unique_handle m_process;
    QOR::FrontEnd::Util::unique_handle m_input;  // Pipes: its standard input
    QOR::FrontEnd::Util::unique_handle m_output; // Pipes: its standard output
    DWORD m_error = 0;
};

} // namespace Admin
