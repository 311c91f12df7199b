#include "Batch.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "ChildProcess.h"
#include "ClientSettings.h"
#include "FileSystem.h"
#include "Progress.h"
#include "SystemText.h"

namespace Admin {

namespace ClientSettings = QOR::FrontEnd::Landscape::Migration::ClientSettings;

const char* const Batch::Worker_Option = "--batch-worker";
const size_t Batch::Most_Jobs = 64;

namespace {

using QOR::FrontEnd::Util::FileSystem::File_Exists;

void Find_Below(const std::string& folder, std::vector<std::string>& profiles)
{
    WIN32_FIND_DATAA found;
    const QOR::FrontEnd::Util::unique_hfind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    for (BOOL more = static_cast<bool>(search); more; more = FindNextFileA(search.get(), &found)) {
        const std::string name = found.cFileName;
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && name != "." && name != ".." && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            Find_Below(std::string(folder).append("\\").append(name), profiles);
        else if (!isFolder && lstrcmpiA(name.c_str(), ClientSettings::User_Ini_Name) == 0)
            profiles.push_back(folder);
    }
}

std::string User_Landscape_Of(const std::string& profile)
{
    return profile + "\\" + ClientSettings::User_Landscape_Name;
}

// A profile that failed is left as it was found: what the run made of it goes
// (a profile that already had the shared landscape keeps it).
class CreatedFiles
{
public:
    explicit CreatedFiles(const std::string& profile)
    {
        for (const char* name : {ClientSettings::User_Landscape_Name, ClientSettings::Local_Shared_Landscape_Name})
            if (!File_Exists(profile + "\\" + name))
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

// The profiles, handed out one at a time, and what became of them.
class Work
{
public:
    explicit Work(const std::vector<std::string>& profiles) : m_profiles(profiles), m_progress(profiles.size()) {}

    // The next profile to migrate; one that has its landscape already is
    // recorded as it is, without a worker.
    bool Take(std::string& profile)
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        for (; m_next < m_profiles.size(); ++m_next)
            if (!File_Exists(User_Landscape_Of(m_profiles[m_next]))) {
                profile = m_profiles[m_next++];
                return true;
            } else
                Add(ProfileRecord(m_profiles[m_next], Outcome::Already_Migrated));
        return false;
    }
    void Done(const ProfileRecord& record)
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        Add(record);
    }
    Report Result()
    {
        m_report.Sort_By_Profile();
        return m_report;
    }

private:
    void Add(const ProfileRecord& record)
    {
        m_report.Add(record);
        m_progress.Done(record);
    }

    const std::vector<std::string>& m_profiles;
    std::mutex m_lock;
    size_t m_next = 0;
    Progress m_progress;
    Report m_report;
};

// One worker process at a time, for as long as there is work.
class WorkerSlot
{
public:
    explicit WorkerSlot(Work& work) : m_work(work) {}
    void Serve();

private:
    bool Ask(const std::string& profile, ProfileRecord& record);
    ProfileRecord Lost(const std::string& profile);

    Work& m_work;
    std::unique_ptr<ChildProcess> m_worker;
};

void WorkerSlot::Serve()
{
    const std::string command =
        "\"" + QOR::FrontEnd::SystemText::Module_File_Name(nullptr) + "\" " + Batch::Worker_Option;
    for (std::string profile; m_work.Take(profile);) {
        if (!m_worker)
            m_worker = std::make_unique<ChildProcess>(command, ChildProcess::Wiring::Pipes);
        const CreatedFiles created(profile);
        ProfileRecord record;
        if (!Ask(profile, record)) {
            record = Lost(profile);
            m_worker.reset();
        }
        if (record.result == Outcome::Failed)
            created.Remove();
        m_work.Done(record);
    }
    // With its input at an end the worker finishes and unloads its libraries.
    if (m_worker) {
        m_worker->Close_Input();
        m_worker->Wait(10000);
    }
}

// False when the worker has gone before it answered.
bool WorkerSlot::Ask(const std::string& profile, ProfileRecord& record)
{
    if (!m_worker->Started() || !m_worker->Write(profile + "\n"))
        return false;
    const std::string end = std::string(ProfileRecord::End_Line) + "\n";
    std::string answer;
    while (answer.size() < end.size() || answer.compare(answer.size() - end.size(), end.size(), end) != 0)
        if (!m_worker->Read(answer))
            return false;
    return ProfileRecord::From_Text(answer, record);
}

ProfileRecord WorkerSlot::Lost(const std::string& profile)
{
    char reason[112];
    if (!m_worker->Started())
        std::snprintf(reason, sizeof(reason), "no worker process could be started (error %lu)",
                      static_cast<unsigned long>(m_worker->Start_Error()));
    else {
        if (!m_worker->Wait(10000))
            m_worker->Terminate(ERROR_BROKEN_PIPE);
        m_worker->Wait();
        std::snprintf(reason, sizeof(reason), "the worker process ended with exit code 0x%08lX during this profile",
                      static_cast<unsigned long>(m_worker->Exit_Code()));
    }
    ProfileRecord record(profile, Outcome::Failed);
    record.problems.push_back({"", "", reason});
    return record;
}

} // namespace

Batch::Batch(const std::string& root, int jobs) : m_root(root)
{
    while (m_root.size() > 3 && (m_root.back() == '\\' || m_root.back() == '/'))
        m_root.pop_back();
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    m_jobs = std::clamp<size_t>(jobs > 0 ? jobs : system.dwNumberOfProcessors, 1, Most_Jobs);
}

Report Batch::Run() const
{
    const std::vector<std::string> profiles = Find_Profiles();
    Work work(profiles);
    std::vector<std::thread> slots;
    for (size_t i = 0; i < std::min(m_jobs, profiles.size()); ++i)
        slots.emplace_back([&work] { WorkerSlot(work).Serve(); });
    for (std::thread& slot : slots)
        slot.join();
    return work.Result();
}

std::vector<std::string> Batch::Find_Profiles() const
{
    std::vector<std::string> profiles;
    Find_Below(m_root, profiles);
    std::sort(profiles.begin(), profiles.end());
    return profiles;
}

} // namespace Admin
