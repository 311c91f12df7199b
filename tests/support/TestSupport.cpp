#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "ChildProcess.h"
#include "Handles.h"

namespace TestSupport {

namespace {

std::string Unique_Key(const char* stem)
{
    static int counter = 0;
    return "Software\\QORTest\\" + (stem + std::to_string(GetCurrentProcessId())) + "_" + std::to_string(++counter);
}

} // namespace

QOR::FrontEnd::Util::unique_hkey Redirect_Hive(HKEY predefined, const std::string& name)
{
    QOR::FrontEnd::Util::unique_hkey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) ||
        RegOverridePredefKey(predefined, key.get()))
        throw std::runtime_error("cannot redirect a registry hive to " + name);
    return key;
}

// GetTempFileName picks a name nothing uses yet and makes a file of it; the
// folder takes its place.
ScratchDirectory::ScratchDirectory()
{
    char temp[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    if (!GetTempFileNameA(temp, "qor", 0, path) || !DeleteFileA(path) || !CreateDirectoryA(path, nullptr))
        throw std::runtime_error(std::string("cannot create a folder in ") + temp);
    m_path = path;
}

// Read-only files go too: some tests make them.
ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(m_path, ignored);
}

// Both sandboxes are made below the real current user, so the machine's comes first.
RegistrySandbox::RegistrySandbox() : m_userKey(Unique_Key("user_")), m_machineKey(Unique_Key("machine_"))
{
    m_machine = Redirect_Hive(HKEY_LOCAL_MACHINE, m_machineKey);
    m_user = Redirect_Hive(HKEY_CURRENT_USER, m_userKey);
}

RegistrySandbox::~RegistrySandbox()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    m_user.reset();
    m_machine.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, m_userKey.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, m_machineKey.c_str());
}

// The real hive, not a sandbox this process may have redirected to.
RealUserKeySetAside::RealUserKeySetAside(const std::string& name) : m_name(name)
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    QOR::FrontEnd::Util::unique_hkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    m_aside = Unique_Key("aside_");
    QOR::FrontEnd::Util::unique_hkey aside;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, m_aside.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, aside.put(),
                        nullptr) ||
        RegCopyTreeA(key.get(), nullptr, aside.get()))
        throw std::runtime_error("cannot set aside " + name);
    key.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, name.c_str());
}

RealUserKeySetAside::~RealUserKeySetAside()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_name.c_str());
    if (m_aside.empty())
        return;
    QOR::FrontEnd::Util::unique_hkey aside, key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, m_aside.c_str(), 0, KEY_READ, aside.put()) == ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                        nullptr) == ERROR_SUCCESS &&
        RegCopyTreeA(aside.get(), nullptr, key.get()) == ERROR_SUCCESS) {
        aside.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, m_aside.c_str());
    }
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
    const std::string file(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return file.substr(0, file.find_last_of('\\'));
}

ProcessResult Run_Program(const std::string& program, const std::string& arguments)
{
    return Run_Process(Program_Folder() + "\\" + program, arguments);
}

// Standard output and standard error go to one file, read when the program has ended.
ProcessResult Run_Process(const std::string& path, const std::string& arguments)
{
    const Admin::ChildProcess child("\"" + path + "\" " + arguments);
    if (!child.Started())
        throw std::runtime_error("cannot start " + path);
    child.Wait();
    return ProcessResult{child.Exit_Code(), child.Output()};
}

std::string Read_File(const std::string& path) { return Read_File(path, 0); }

std::string Read_File(const std::string& path, size_t offset)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    return std::string(std::istreambuf_iterator<char>(in), {});
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
    if (!(out << content))
        throw std::runtime_error("cannot write " + path);
}

bool Path_Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

size_t Count(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); !piece.empty() && at != std::string::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

std::string Utf8(const std::wstring& wide)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::vector<std::string> Files_In(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const QOR::FrontEnd::Util::unique_hfind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found))
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    return names;
}

} // namespace TestSupport
