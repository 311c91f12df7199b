#include "Report.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "Handles.h"
#include "ProductVersion.h"
#include "SystemText.h"

namespace Admin {

namespace {

std::string Utf8(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

// Text in the ANSI code page, as the connection files hold it, becomes UTF-8.
std::string Utf8(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    return Utf8(wide);
}

// A JSON string of text that is UTF-8 already.
std::string Json_String(const std::string& utf8)
{
    std::string json = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\')
            json += '\\';
        if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            json += escape;
        } else
            json += static_cast<char>(c);
    }
    return json + "\"";
}

std::string String(const std::string& ansi) { return Json_String(Utf8(ansi)); }

std::string Field(const char* name, const std::string& json) { return Json_String(name) + ": " + json; }

std::string Number(const char* name, int value) { return Field(name, std::to_string(value)); }

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f", seconds);
    return text;
}

std::string Now()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02uZ", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

std::string Problem(const ProfileRecord::Problem& problem)
{
    return "{" + Field("key", String(problem.key)) + ", " + Field("name", String(problem.name)) + ", " +
           Field("reason", String(problem.reason)) + "}";
}

std::string Profile(const ProfileRecord& record)
{
    std::string json = "    {" + Field("profile", String(record.profile)) + ", " +
                       Field("result", Json_String(Key(record.result))) + ", " +
                       Field("seconds", Seconds(record.seconds)) + ",\n     " + Number("folders", record.folders) +
                       ", " + Number("entries", record.entries) + ", " + Number("skipped", record.skipped) + ", " +
                       Number("left_out", record.leftOut) + ",\n     " + Json_String("problems") + ": [";
    for (size_t i = 0; i < record.problems.size(); ++i)
        json += std::string(i ? "," : "") + "\n      " + Problem(record.problems[i]);
    return json + (record.problems.empty() ? "]" : "\n     ]") + ",\n     " +
           Field("trace", record.trace.empty() ? "null" : String(record.trace)) + "}";
}

template <typename Item, typename Write>
std::string List(const std::vector<Item>& items, Write write)
{
    std::string json = "[";
    for (size_t i = 0; i < items.size(); ++i)
        json += std::string(i ? ",\n" : "\n") + write(items[i]);
    return json + (items.empty() ? "]" : "\n  ]");
}

} // namespace

Report::Report() : m_commandLine(Utf8(GetCommandLineW())), m_started(Now()) {}

void Report::Finish() { m_ended = Now(); }

void Report::Sort_By_Profile()
{
    std::stable_sort(m_records.begin(), m_records.end(),
                     [](const ProfileRecord& a, const ProfileRecord& b) { return a.profile < b.profile; });
}

int Report::Count(Outcome result) const
{
    return static_cast<int>(std::count_if(m_records.begin(), m_records.end(),
                                          [&](const ProfileRecord& record) { return record.result == result; }));
}

int Report::Failures() const
{
    return static_cast<int>(std::count_if(m_records.begin(), m_records.end(),
                                          [](const ProfileRecord& record) { return Is_Failure(record.result); }));
}

std::string Report::Json() const
{
    ProfileRecord total;
    int problems = 0;
    for (const ProfileRecord& record : m_records) {
        total.folders += record.folders;
        total.entries += record.entries;
        total.skipped += record.skipped;
        total.leftOut += record.leftOut;
        problems += static_cast<int>(record.problems.size());
    }
    std::string totals = Number("profiles", static_cast<int>(m_records.size()));
    for (Outcome result : All_Outcomes)
        totals += ", " + Number(Key(result), Count(result));
    totals += ",\n             " + Number("folders", total.folders) + ", " + Number("entries", total.entries) + ", " +
              Number("skipped", total.skipped) + ", " + Number("left_out", total.leftOut) + ", " +
              Number("problems", problems) + ", " + Number("passed_over", static_cast<int>(m_passedOver.size()));
    const auto passed = [](const PassedOver& over) {
        return "    {" + Field("folder", String(over.folder)) + ", " + Field("reason", String(over.reason)) + "}";
    };
    return "{\n  " + Number("schema_version", Schema_Version) + ",\n  " +
           Field("tool_version", Json_String(LANDSCAPE_MIGRATION_VERSION)) + ",\n  " +
           Field("command_line", Json_String(m_commandLine)) + ",\n  " + Field("started", Json_String(m_started)) +
           ",\n  " + Field("ended", Json_String(m_ended.empty() ? Now() : m_ended)) + ",\n  " +
           Field("profiles", List(m_records, Profile)) + ",\n  " + Field("passed_over", List(m_passedOver, passed)) +
           ",\n  " + Field("totals", "{" + totals + "}") + "\n}\n";
}

bool Report::Writable(const std::string& path, std::string& reason)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason = "it is a folder";
        return false;
    }
    // An existing file is opened for writing, a new one made and gone again:
    // either way nothing changes, and the system says why it cannot.
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const QOR::FrontEnd::Util::unique_hfile probe(
        CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    exists ? OPEN_EXISTING : CREATE_NEW,
                    exists ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!probe)
        reason = QOR::FrontEnd::SystemText::Error_Text(GetLastError());
    return static_cast<bool>(probe);
}

bool Report::Write(const std::string& path, std::string& reason) const
{
    const std::string json = Json();
    const QOR::FrontEnd::Util::unique_hfile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), json.data(), static_cast<DWORD>(json.size()), &written, nullptr) ||
        written != json.size()) {
        reason = QOR::FrontEnd::SystemText::Error_Text(GetLastError());
        return false;
    }
    return true;
}

} // namespace Admin
