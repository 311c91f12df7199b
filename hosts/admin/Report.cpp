#include "Report.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace Admin {

namespace {

// Text in the ANSI code page, as the connection files hold it, becomes UTF-8.
std::string Utf8(const std::string& text)
{
    if (text.empty())
        return text;
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                    static_cast<int>(wide.size())));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

std::string String(const std::string& text)
{
    std::string json = "\"";
    for (unsigned char c : Utf8(text)) {
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

std::string Number(const char* name, int value) { return String(name) + ": " + std::to_string(value); }

std::string Profile(const ProfileRecord& record)
{
    std::string json = "    {" + String("profile") + ": " + String(record.profile) + ", " + String("result") + ": " +
                       String(Name(record.result)) + ", " + Number("folders", record.folders) + ", " +
                       Number("entries", record.entries) + ", " + Number("skipped", record.skipped) + ", " +
                       Number("left_out", record.leftOut) + ",\n     " + String("problems") + ": [";
    for (size_t i = 0; i < record.problems.size(); ++i) {
        const ProfileRecord::Problem& problem = record.problems[i];
        json += std::string(i ? "," : "") + "\n      {" + String("key") + ": " + String(problem.key) + ", " +
                String("name") + ": " + String(problem.name) + ", " + String("reason") + ": " + String(problem.reason) +
                "}";
    }
    return json + (record.problems.empty() ? "]" : "\n     ]") + ",\n     " + String("trace") + ": " +
           (record.trace.empty() ? "null" : String(record.trace)) + "}";
}

} // namespace

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

std::string Report::Json() const
{
    ProfileRecord total;
    size_t problems = 0;
    std::string json = "{\n  " + String("profiles") + ": [";
    for (size_t i = 0; i < m_records.size(); ++i) {
        const ProfileRecord& record = m_records[i];
        json += std::string(i ? ",\n" : "\n") + Profile(record);
        total.folders += record.folders;
        total.entries += record.entries;
        total.skipped += record.skipped;
        total.leftOut += record.leftOut;
        problems += record.problems.size();
    }
    json += std::string(m_records.empty() ? "" : "\n  ") + "],\n  " + String("totals") + ": {" +
            Number("profiles", static_cast<int>(m_records.size()));
    for (Outcome result : All_Outcomes)
        json += ", " + Number(Name(result), Count(result));
    return json + ",\n             " + Number("folders", total.folders) + ", " + Number("entries", total.entries) +
           ", " + Number("skipped", total.skipped) + ", " + Number("left_out", total.leftOut) + ", " +
           Number("problems", static_cast<int>(problems)) + "}\n}\n";
}

bool Report::Write(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out << Json());
}

} // namespace Admin
