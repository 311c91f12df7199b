#include "ChildProcess.h"

#include <fstream>
#include <iterator>

namespace Admin {

ChildProcess::ChildProcess(const std::string& commandLine)
{
    char folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "lmw", 0, file)) {
        m_error = GetLastError();
        return;
    }
    m_output = file;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const QOR::FrontEnd::Util::unique_hfile output(CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                               &inherit, CREATE_ALWAYS, 0, nullptr));
    if (!output) {
        m_error = GetLastError();
        return;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output.get();
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        m_error = GetLastError();
        return;
    }
    m_process.reset(process.hProcess);
    const QOR::FrontEnd::Util::unique_handle thread(process.hThread);
}

ChildProcess::~ChildProcess()
{
    if (!m_output.empty())
        DeleteFileA(m_output.c_str());
}

DWORD ChildProcess::Exit_Code() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.get(), &code);
    return code;
}

std::string ChildProcess::Output() const
{
    std::ifstream in(m_output, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace Admin
