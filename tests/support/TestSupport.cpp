#include "TestSupport.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace TestSupport {

namespace {

int g_counter = 0;

std::string Unique_Name(const char* stem)
{
    return std::string(stem) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++g_counter);
}

void Delete_Tree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Delete_Tree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

HKEY Redirect(HKEY predefined, HKEY parent, const std::string& name)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS ||
        RegOverridePredefKey(predefined, key) != ERROR_SUCCESS)
        throw std::runtime_error("cannot redirect a registry hive");
    return key;
}

} // namespace

ScratchDirectory::ScratchDirectory()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // Names repeat across runs (process ids are reused); skip those still there.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        m_path = std::string(temp) + Unique_Name("qortest_");
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot create " + m_path);
}

ScratchDirectory::~ScratchDirectory() { Delete_Tree(m_path); }

RegistrySandbox::RegistrySandbox()
{
    // Both sandboxes live below the real current user, before any redirection.
    m_userKey = "Software\\QORTest\\" + Unique_Name("user_");
    m_machineKey = "Software\\QORTest\\" + Unique_Name("machine_");
    m_machine = Redirect(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, m_machineKey);
    m_user = Redirect(HKEY_CURRENT_USER, HKEY_CURRENT_USER, m_userKey);
}

RegistrySandbox::~RegistrySandbox()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(m_user);
    RegCloseKey(m_machine);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_userKey.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, m_machineKey.c_str());
}

EnvironmentVariable::EnvironmentVariable(const std::string& name, const char* value) : m_name(name)
{
    char old[32768];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof(old));
    m_hadOld = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    m_old.assign(old, length < sizeof(old) ? length : 0);
    SetEnvironmentVariableA(name.c_str(), value);
}

EnvironmentVariable::~EnvironmentVariable()
{
    SetEnvironmentVariableA(m_name.c_str(), m_hadOld ? m_old.c_str() : nullptr);
}

std::string Program_Folder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length);
    return file.substr(0, file.find_last_of('\\'));
}

ProcessResult Run_Program(const std::string& program, const std::string& arguments)
{
    return Run_Process(Program_Folder() + "\\" + program, arguments);
}

ProcessResult Run_Process(const std::string& path, const std::string& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + path + "\" " + arguments;
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        throw std::runtime_error("cannot start " + path);
    }
    CloseHandle(writeEnd);
    ProcessResult result;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        result.output.append(buffer, read);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return result;
}

std::string Read_File(const std::string& path) { return Read_File(path, 0); }

std::string Read_File(const std::string& path, size_t offset)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

size_t File_Size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<size_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Write_File(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool Path_Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> Files_In(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace TestSupport
