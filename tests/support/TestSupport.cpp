#include "TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "CMsXmlDocument.h"
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

// The real hives, not a sandbox this process may have redirected to.
RealKeySetAside::RealKeySetAside(const std::string& name, HKEY root) : m_root(root), m_name(name)
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(root, nullptr);
    QOR::FrontEnd::Util::unique_hkey key;
    if (RegOpenKeyExA(root, name.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    m_aside = Unique_Key("aside_");
    QOR::FrontEnd::Util::unique_hkey aside;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, m_aside.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, aside.put(),
                        nullptr) ||
        RegCopyTreeA(key.get(), nullptr, aside.get()))
        throw std::runtime_error("cannot set aside " + name);
    key.reset();
    RegDeleteTreeA(root, name.c_str());
}

RealKeySetAside::~RealKeySetAside()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(m_root, nullptr);
    RegDeleteTreeA(m_root, m_name.c_str());
    if (m_aside.empty())
        return;
    QOR::FrontEnd::Util::unique_hkey aside, key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, m_aside.c_str(), 0, KEY_READ, aside.put()) == ERROR_SUCCESS &&
        RegCreateKeyExA(m_root, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) ==
            ERROR_SUCCESS &&
        RegCopyTreeA(aside.get(), nullptr, key.get()) == ERROR_SUCCESS) {
        aside.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, m_aside.c_str());
    }
}

EnvironmentVariable::EnvironmentVariable(const std::string& name, const char* value) : m_name(Decoded(name, CP_ACP))
{
    Set(value ? Decoded(value, CP_ACP).c_str() : nullptr);
}

EnvironmentVariable::EnvironmentVariable(const std::wstring& name, const std::wstring& value) : m_name(name)
{
    Set(value.c_str());
}

void EnvironmentVariable::Set(const wchar_t* value)
{
    std::wstring old(32768, L'\0');
    const DWORD length = GetEnvironmentVariableW(m_name.c_str(), &old[0], static_cast<DWORD>(old.size()));
    m_hadOld = length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    m_old.assign(old, 0, length < old.size() ? length : 0);
    SetEnvironmentVariableW(m_name.c_str(), value);
}

EnvironmentVariable::~EnvironmentVariable()
{
    SetEnvironmentVariableW(m_name.c_str(), m_hadOld ? m_old.c_str() : nullptr);
}

std::string Program_Folder()
{
    char path[MAX_PATH];
    const std::string file(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return file.substr(0, file.find_last_of('\\'));
}

void Install_Sample(const std::string& profile)
{
    for (const char* file : Sample_Files) {
        const std::string from = Program_Folder() + "\\sample\\" + file, to = profile + "\\" + file;
        std::filesystem::create_directories(std::filesystem::path(Decoded(to, CP_ACP)).parent_path());
        if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
            throw std::runtime_error("cannot install " + from + " as " + to);
    }
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

std::string Read_File(const std::string& path, size_t offset) { return Read_File(Decoded(path, CP_ACP), offset); }

std::string Read_File(const std::wstring& path, size_t offset)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    return std::string(std::istreambuf_iterator<char>(in), {});
}

size_t File_Size(const std::string& path)
{
    std::error_code missing;
    const auto size = std::filesystem::file_size(std::filesystem::path(Decoded(path, CP_ACP)), missing);
    return missing ? 0 : static_cast<size_t>(size);
}

void Write_File(const std::string& path, const std::string& content) { Write_File(Decoded(path, CP_ACP), content); }

void Write_File(const std::wstring& path, const std::string& content)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!(out << content))
        throw std::runtime_error("cannot write " + Utf8(path));
}

::testing::AssertionResult Path_Exists(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionFailure() << path << " does not exist";
    return ::testing::AssertionSuccess() << path << " exists";
}

size_t Count(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); !piece.empty() && at != std::string::npos;
         at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

std::string Encoded(const std::wstring& text, UINT codePage)
{
    std::string bytes(text.size() * 4, '\0');
    BOOL lost = FALSE;
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                            static_cast<int>(bytes.size()), nullptr, codePage == CP_UTF8 ? nullptr : &lost);
    if (lost || (size == 0 && !text.empty()))
        throw std::runtime_error("the test's text does not fit code page " + std::to_string(codePage));
    bytes.resize(static_cast<size_t>(size));
    return bytes;
}

std::wstring Decoded(const std::string& bytes, UINT codePage)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    return text;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size() - 1);
        lines.push_back(text.substr(start, end + 1 - start));
    }
    return lines;
}

::testing::AssertionResult Has_Line(const std::string& text, const std::string& level, const std::string& piece)
{
    for (const std::string& line : Lines(text))
        if (line.compare(0, level.size(), level) == 0 && line.find(piece) != std::string::npos)
            return ::testing::AssertionSuccess()
                   << "a line holds \"" << level << "\" ... \"" << piece << "\": " << line;
    return ::testing::AssertionFailure() << "no line starts with \"" << level << "\" and holds \"" << piece
                                         << "\" in:\n"
                                         << Tail(text);
}

::testing::AssertionResult Holds(const std::string& text, const std::string& piece)
{
    if (text.find(piece) == std::string::npos)
        return ::testing::AssertionFailure() << "\"" << piece << "\" is not in:\n" << Tail(text);
    return ::testing::AssertionSuccess() << "\"" << piece << "\" is in:\n" << Tail(text);
}

std::string Tail(const std::string& text)
{
    const size_t shown = 2000;
    if (text.size() <= shown)
        return text;
    return "... (" + std::to_string(text.size() - shown) + " bytes before)\n" + text.substr(text.size() - shown);
}

std::vector<std::string> Files_In(const std::string& folder)
{
    std::vector<std::string> names;
    for (const std::wstring& name : Files_In(Decoded(folder, CP_ACP)))
        names.push_back(Encoded(name, CP_ACP));
    return names;
}

std::vector<std::wstring> Files_In(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const QOR::FrontEnd::Util::unique_hfind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found))
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..")
            names.emplace_back(found.cFileName);
    return names;
}

::testing::AssertionResult Loads_As_Xml(const std::string& path)
{
    QOR::FrontEnd::MsXmlAdaptor::CMsXmlDocument document;
    CString message;
    if (!document.Load_From_File(CString(path.c_str()), message, true))
        return ::testing::AssertionFailure() << path << " does not load: " << static_cast<const char*>(message);
    return ::testing::AssertionSuccess() << path << " loads as XML";
}

} // namespace TestSupport
