#include "ProfilesCommand.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "BatchWorker.h"
#include "ClientSettings.h"
#include "ComApartment.h"
#include "ExitCode.h"
#include "FileSystem.h"
#include "ProfileFolders.h"
#include "ProfileMigration.h"
#include "ProfileVerifier.h"
#include "Progress.h"
#include "WorkerPool.h"

namespace Admin {

namespace ClientSettings = QOR::FrontEnd::Landscape::Migration::ClientSettings;

namespace {

std::string In(const std::string& profile, const char* name) { return profile + "\\" + name; }

// The files a run may make in a profile that lacks them; a profile that
// failed is left as it was found (one that had its shared landscape keeps it).
std::vector<std::string> Missing_Landscapes(const std::string& profile)
{
    std::vector<std::string> missing;
    for (const char* name : {ClientSettings::User_Landscape_Name, ClientSettings::Local_Shared_Landscape_Name})
        if (!QOR::FrontEnd::Util::FileSystem::File_Exists(In(profile, name)))
            missing.push_back(In(profile, name));
    return missing;
}

// A record's line of progress, with where to read why it failed.
void Show(Progress& progress, const ProfileRecord& record)
{
    const bool failed = Is_Failure(record.result);
    const std::string detail = !failed ? "" : record.trace.empty() ? "no trace file" : "trace file: " + record.trace;
    progress.Done(record.profile, Words(record.result), failed, detail);
}

// Before any work: the folder is there and is a folder.
bool Is_Folder(const std::string& folder, std::string& reason)
{
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        reason = "the folder " + folder + " does not exist";
    else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        reason = folder + " is a file, not a folder";
    return reason.empty();
}

} // namespace

ProfilesCommand::ProfilesCommand(const CommandLine& options) : m_options(options) {}

int ProfilesCommand::Run(Report& report) const
{
    std::string reason;
    if (!Is_Folder(m_options.folder, reason)) {
        std::fprintf(stderr, "landscape_migrate: %s\n", reason.c_str());
        return Exit_Fatal;
    }
    const ProfileFolders found(m_options.folder, ClientSettings::User_Ini_Name);
    for (const ProfileFolders::PassedOver& over : found.passedOver)
        report.Pass_Over(over.folder, over.reason);
    if (m_options.mode == CommandLine::Mode::Verify_Profiles)
        Verify(found, report);
    else
        Migrate(found, report);
    report.Sort_By_Profile();
    Print_Summary(report);
    return report.Failures() ? Exit_Failed : Exit_Success;
}

int ProfilesCommand::Serve_As_Worker()
{
    ProfileMigration migration;
    return Serve_Items([&migration](const std::string& folder) { return migration.Run(folder).To_Text(); });
}

void ProfilesCommand::Migrate(const ProfileFolders& found, Report& report) const
{
    Progress progress(found.profiles.size());
    std::vector<std::string> pending;
    std::map<std::string, std::vector<std::string>> made;
    for (const std::string& profile : found.profiles) {
        if (QOR::FrontEnd::Util::FileSystem::File_Exists(In(profile, ClientSettings::User_Landscape_Name))) {
            const ProfileRecord record(profile, Outcome::Already_Migrated);
            Show(progress, record);
            report.Add(record);
            continue;
        }
        made[profile] = Missing_Landscapes(profile);
        pending.push_back(profile);
    }
    const WorkerPool pool(CommandLine::Worker_Option, ProfileRecord::End_Line, m_options.jobs);
    pool.Run(pending, [&](const std::string& profile, const WorkerPool::Answer& answer) {
        ProfileRecord record(profile);
        if (!answer.lost.empty() || !ProfileRecord::From_Text(answer.text, record))
            record.Fail(answer.lost.empty() ? "the worker process gave no record for this profile" : answer.lost);
        if (record.result == Outcome::Failed)
            for (const std::string& file : made[profile])
                DeleteFileA(file.c_str());
        Show(progress, record);
        report.Add(record);
    });
}

void ProfilesCommand::Verify(const ProfileFolders& found, Report& report) const
{
    QOR::FrontEnd::Util::ComApartment com; // for telling a malformed landscape's line and column
    com.Initialize();
    const ProfileVerifier verifier;
    Progress progress(found.profiles.size());
    for (const std::string& profile : found.profiles) {
        const auto started = std::chrono::steady_clock::now();
        ProfileRecord record = verifier.Verify_Profile(In(profile, ClientSettings::User_Ini_Name),
                                                       In(profile, ClientSettings::User_Landscape_Name));
        record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        Show(progress, record);
        report.Add(record);
    }
}

void ProfilesCommand::Print_Summary(const Report& report)
{
    std::printf("%zu profiles:", report.Records().size());
    for (Outcome outcome : All_Outcomes)
        std::printf("%s %d %s", outcome == All_Outcomes[0] ? "" : ",", report.Count(outcome), Words(outcome));
    std::printf("\n");
    for (const ProfileRecord& record : report.Records()) {
        for (const ProfileRecord::Problem& problem : record.problems)
            std::printf("  %s: %s%s%s\n", record.profile.c_str(), problem.key.c_str(), problem.key.empty() ? "" : " ",
                        problem.reason.c_str());
        if (Is_Failure(record.result) && !record.trace.empty())
            std::printf("  %s: trace file %s\n", record.profile.c_str(), record.trace.c_str());
    }
    for (const Report::PassedOver& over : report.Passed_Over())
        std::printf("Passed over: %s: %s; its profiles are not taken\n", over.folder.c_str(), over.reason.c_str());
}

} // namespace Admin
