#include "ChildProcess.h"

#include <mutex>

#include "WholeFile.h"

namespace Admin {

namespace {

using QOR::FrontEnd::Util::unique_handle;
using QOR::FrontEnd::Util::unique_hfile;

// A process inherits every inheritable handle of its parent: the ends meant for
// one child are inheritable only while that child is being made, one at a time.
std::mutex& Creation_Lock()
{
    static std::mutex lock;
    return lock;
}

SECURITY_ATTRIBUTES Inheritable() { return SECURITY_ATTRIBUTES{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE}; }

} // namespace

ChildProcess::ChildProcess(const std::string& commandLine, Wiring wiring)
{
    const std::lock_guard<std::mutex> creating(Creation_Lock());
    unique_hfile outputFile, nowhere;
    unique_handle input, output;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (wiring == Wiring::Output_File) {
        if (!Make_Output_File(outputFile))
            return;
        startup.hStdOutput = startup.hStdError = outputFile.get();
    } else {
        SECURITY_ATTRIBUTES inherit = Inheritable();
        nowhere.reset(
            CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
        if (!Make_Pipes(input, output))
            return;
        startup.hStdInput = input.get();
        startup.hStdOutput = output.get();
        startup.hStdError = nowhere.get();
    }
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        m_error = GetLastError();
        return;
    }
    m_process.reset(process.hProcess);
    const unique_handle thread(process.hThread);
}

ChildProcess::~ChildProcess()
{
    if (!m_outputFile.empty())
        DeleteFileW(m_outputFile.c_str());
}

// The temporary folder comes from TEMP, which the narrow call can cut.
bool ChildProcess::Make_Output_File(unique_hfile& output)
{
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"lmw", 0, file)) {
        m_error = GetLastError();
        return false;
    }
    m_outputFile = file;
    SECURITY_ATTRIBUTES inherit = Inheritable();
    output.reset(
        CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, nullptr));
    if (!output)
        m_error = GetLastError();
    return static_cast<bool>(output);
}

// This object's ends stay with this process; the child's ends go to the child.
bool ChildProcess::Make_Pipes(unique_handle& input, unique_handle& output)
{
    SECURITY_ATTRIBUTES inherit = Inheritable();
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) {
        m_error = GetLastError();
        return false;
    }
    input.reset(read);
    m_input.reset(write);
    if (!CreatePipe(&read, &write, &inherit, 0)) {
        m_error = GetLastError();
        return false;
    }
    m_output.reset(read);
    output.reset(write);
    // A child that inherited our ends would hold its own input open and never
    // see it end.
    if (!SetHandleInformation(m_input.get(), HANDLE_FLAG_INHERIT, 0) ||
        !SetHandleInformation(m_output.get(), HANDLE_FLAG_INHERIT, 0)) {
        m_error = GetLastError();
        return false;
    }
    return true;
}

bool ChildProcess::Wait(DWORD milliseconds) const
{
    return !m_process || WaitForSingleObject(m_process.get(), milliseconds) == WAIT_OBJECT_0;
}

void ChildProcess::Terminate(UINT exitCode) const
{
    if (m_process)
        TerminateProcess(m_process.get(), exitCode);
}

DWORD ChildProcess::Exit_Code() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
}

std::string ChildProcess::Output() const
{
    std::string bytes;
    QOR::FrontEnd::WholeFile::Read(m_outputFile, bytes);
    return bytes;
}

bool ChildProcess::Write(const std::string& text) const
{
    DWORD written = 0;
    return m_input && WriteFile(m_input.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool ChildProcess::Read(std::string& text) const
{
    char buffer[4096];
    DWORD read = 0;
    if (!m_output || !ReadFile(m_output.get(), buffer, sizeof(buffer), &read, nullptr) || read == 0)
        return false;
    text.append(buffer, read);
    return true;
}

} // namespace Admin
