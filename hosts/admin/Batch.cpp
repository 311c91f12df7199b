#include "Batch.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "ChildProcess.h"
#include "FileSystem.h"
#include "ProfileMigration.h"
#include "Progress.h"

namespace Admin {

const char* const Batch::Worker_Option = "--migrate-one-profile";

namespace {

struct Find_Traits
{
    using Handle = HANDLE;
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) noexcept { FindClose(handle); }
};

void Find_Below(const std::string& folder, std::vector<std::string>& profiles)
{
    WIN32_FIND_DATAA found;
    const QOR::FrontEnd::Util::UniqueHandle<Find_Traits> search(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found)) {
        const std::string name = found.cFileName;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && name != "." && name != ".." && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            Find_Below(folder + "\\" + name, profiles);
        else if (!isFolder && lstrcmpiA(name.c_str(), ProfileMigration::Old_File) == 0)
            profiles.push_back(folder);
    }
}

std::string This_Program() { return QOR::FrontEnd::Util::FileSystem::Get_Module_File_Name(nullptr); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A profile that failed is left as it was found: what the run made of it goes
// (a profile that already had the shared landscape keeps it).
class CreatedFiles
{
public:
    explicit CreatedFiles(const std::string& profile)
    {
        for (const char* name : {ProfileMigration::User_Landscape, ProfileMigration::Shared_Landscape})
            if (!Exists(profile + "\\" + name))
                m_paths.push_back(profile + "\\" + name);
    }
    void Remove() const
    {
        for (const std::string& path : m_paths)
            DeleteFileA(path.c_str());
    }

private:
    std::vector<std::string> m_paths;
};

struct Running
{
    std::string profile;
    bool retried;
    CreatedFiles created;
    ChildProcess worker;
};

std::unique_ptr<Running> Start(const std::string& profile, bool retried)
{
    return std::unique_ptr<Running>(new Running{
        profile, retried, CreatedFiles(profile),
        ChildProcess("\"" + This_Program() + "\" " + Batch::Worker_Option + " \"" + profile + "\"")});
}

// The first worker that has ended; one that never started has ended at once.
size_t Next_Finished(const std::vector<std::unique_ptr<Running>>& running)
{
    std::vector<HANDLE> handles;
    for (size_t i = 0; i < running.size(); ++i) {
        if (!running[i]->worker.Started())
            return i;
        handles.push_back(running[i]->worker.Handle());
    }
    const DWORD signalled = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE);
    return signalled - WAIT_OBJECT_0 < handles.size() ? signalled - WAIT_OBJECT_0 : 0;
}

} // namespace

Batch::Batch(const std::string& root, int jobs) : m_root(root)
{
    while (m_root.size() > 3 && (m_root.back() == '\\' || m_root.back() == '/'))
        m_root.pop_back();
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    m_jobs = std::clamp<size_t>(jobs > 0 ? jobs : system.dwNumberOfProcessors, 1, MAXIMUM_WAIT_OBJECTS);
}

Report Batch::Run() const
{
    const std::vector<std::string> profiles = Find_Profiles();
    Progress progress(profiles.size());
    Report report;
    std::vector<std::unique_ptr<Running>> running;
    size_t next = 0;
    while (next < profiles.size() || !running.empty()) {
        for (; next < profiles.size() && running.size() < m_jobs; ++next) {
            const std::string& profile = profiles[next];
            if (Exists(profile + "\\" + ProfileMigration::User_Landscape)) {
                report.Add(ProfileRecord(profile, "already migrated"));
                progress.Done(report.Records().back());
                continue;
            }
            running.push_back(Start(profile, false));
        }
        if (running.empty())
            continue;
        const size_t index = Next_Finished(running);
        const std::unique_ptr<Running> done = std::move(running[index]);
        running.erase(running.begin() + static_cast<long>(index));
        ProfileRecord record;
        const bool answered = done->worker.Started() && ProfileRecord::From_Text(done->worker.Output(), record);
        if (!answered || record.result == "failed")
            done->created.Remove();
        // A worker that ended without a word (it could not start, or crashed) gets one more go.
        if (!answered && !done->retried) {
            running.push_back(Start(done->profile, true));
            continue;
        }
        report.Add(answered ? record : No_Result(done->profile, done->worker));
        progress.Done(report.Records().back());
    }
    report.Sort_By_Profile();
    return report;
}

std::vector<std::string> Batch::Find_Profiles() const
{
    std::vector<std::string> profiles;
    Find_Below(m_root, profiles);
    std::sort(profiles.begin(), profiles.end());
    return profiles;
}

ProfileRecord Batch::No_Result(const std::string& profile, const ChildProcess& worker) const
{
    char reason[96];
    std::snprintf(reason, sizeof(reason), "no worker process could be started (error %lu)",
                  static_cast<unsigned long>(worker.Start_Error()));
    if (worker.Started()) {
        WaitForSingleObject(worker.Handle(), INFINITE);
        std::snprintf(reason, sizeof(reason), "the worker process ended with exit code 0x%08lX and no result",
                      static_cast<unsigned long>(worker.Exit_Code()));
    }
    ProfileRecord record(profile, "failed");
    record.problems.push_back({"", "", reason});
    return record;
}

} // namespace Admin
