#include "ProfileRecord.h"

#include <iterator>
#include <sstream>

#include "FileSystem.h"
#include "Verification.h"

namespace Admin {

namespace {

// One value per line: line breaks and backslashes are escaped.
std::string Escaped(const std::string& value)
{
    std::string text;
    for (char c : value)
        text += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return text;
}

std::string Unescaped(const std::string& text)
{
    std::string value;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            value += text[i];
            continue;
        }
        const char next = text[++i];
        value += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return value;
}

const char* const Header = "landscape_migrate profile record";

struct Named
{
    Outcome outcome;
    const char* words;
    const char* key;
};

const Named Names[] = {{Outcome::Migrated, "migrated", "migrated"},
                       {Outcome::Already_Migrated, "already migrated", "already_migrated"},
                       {Outcome::Nothing_To_Migrate, "nothing to migrate", "nothing_to_migrate"},
                       {Outcome::Not_Migrated, "not migrated", "not_migrated"},
                       {Outcome::Failed, "failed", "failed"}};

const Named& Named_Of(Outcome outcome)
{
    for (const Named& named : Names)
        if (named.outcome == outcome)
            return named;
    return Names[std::size(Names) - 1];
}

} // namespace

const char* Words(Outcome outcome) { return Named_Of(outcome).words; }

const char* Key(Outcome outcome) { return Named_Of(outcome).key; }

bool From_Key(const std::string& key, Outcome& outcome)
{
    for (const Named& named : Names)
        if (key == named.key) {
            outcome = named.outcome;
            return true;
        }
    return false;
}

const char* const ProfileRecord::End_Line = "end of profile record";

std::string ProfileRecord::Folder_Of(const std::string& file)
{
    std::string folder, name;
    QOR::FrontEnd::Util::FileSystem::Full_Path(file, folder, name);
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

void ProfileRecord::Fail(const std::string& reason)
{
    result = Outcome::Failed;
    problems.push_back({"", "", reason});
}

void ProfileRecord::Account(const Verification& verification)
{
    using Verdict = Verification::Verdict;
    folders = verification.Count(true, Verdict::Migrated) + verification.Count(true, Verdict::Missing) +
              verification.Count(true, Verdict::Different);
    entries = verification.Count(false, Verdict::Migrated) + verification.Count(false, Verdict::Missing) +
              verification.Count(false, Verdict::Different);
    skipped = verification.Count(true, Verdict::Skipped) + verification.Count(false, Verdict::Skipped);
    leftOut = verification.Count(true, Verdict::LeftOut) + verification.Count(false, Verdict::LeftOut);
    for (const Verification::Finding& finding : verification.Findings())
        if (finding.Is_Problem())
            problems.push_back({finding.key, finding.name,
                                std::string(Verification::Name(finding.verdict)) +
                                    (finding.folder ? " folder: " : ": ") + finding.reason});
}

std::string ProfileRecord::To_Text() const
{
    std::ostringstream out;
    out << Header << '\n'
        << Escaped(profile) << '\n'
        << Key(result) << '\n'
        << Escaped(trace) << '\n'
        << seconds << ' ' << folders << ' ' << entries << ' ' << skipped << ' ' << leftOut << ' ' << problems.size()
        << '\n';
    for (const Problem& problem : problems)
        out << Escaped(problem.key) << '\n' << Escaped(problem.name) << '\n' << Escaped(problem.reason) << '\n';
    out << End_Line << '\n';
    return out.str();
}

bool ProfileRecord::From_Text(const std::string& text, ProfileRecord& record)
{
    // Whatever the worker's libraries wrote before the record is passed over.
    const size_t start = text.find(Header);
    if (start == std::string::npos)
        return false;
    std::istringstream in(text.substr(start));
    std::string line;
    size_t count = 0;
    auto next = [&in, &line] {
        if (!std::getline(in, line))
            return false;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    };
    if (!next() || line != Header || !next())
        return false;
    record.profile = Unescaped(line);
    if (!next() || !From_Key(line, record.result))
        return false;
    if (!next())
        return false;
    record.trace = Unescaped(line);
    if (!next() || !(std::istringstream(line) >> record.seconds >> record.folders >> record.entries >> record.skipped >>
                     record.leftOut >> count))
        return false;
    record.problems.assign(count, {});
    for (Problem& problem : record.problems) {
        if (!next())
            return false;
        problem.key = Unescaped(line);
        if (!next())
            return false;
        problem.name = Unescaped(line);
        if (!next())
            return false;
        problem.reason = Unescaped(line);
    }
    return next() && line == End_Line;
}

} // namespace Admin
