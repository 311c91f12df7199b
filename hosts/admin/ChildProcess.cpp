#include "ChildProcess.h"

#include <fstream>
#include <iterator>

#include "SystemText.h"

namespace Admin {

ChildProcess::ChildProcess(const std::string& commandLine)
{
    // The temporary folder comes from TEMP, which the narrow call can cut.
    wchar_t folder[MAX_PATH], file[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"lmw", 0, file)) {
        m_error = GetLastError();
        return;
    }
    if (!QOR::FrontEnd::Util::SystemText::To_Ansi(file, m_output)) {
        DeleteFileW(file);
        m_error = ERROR_NO_UNICODE_TRANSLATION;
        return;
    }
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    const QOR::FrontEnd::Util::unique_hfile output(CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
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
