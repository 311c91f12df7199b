#include "WorkerPool.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "ChildProcess.h"
#include "SystemText.h"

namespace Admin {

const size_t WorkerPool::Most_Jobs = 64;

namespace {

// The items, handed out one at a time, and the answers, passed on one at a time.
class Work
{
public:
    Work(const std::vector<std::string>& items, const WorkerPool::Done& done) : m_items(items), m_done(done) {}

    bool Take(std::string& item)
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        if (m_next == m_items.size())
            return false;
        item = m_items[m_next++];
        return true;
    }
    void Done(const std::string& item, const WorkerPool::Answer& answer)
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        m_done(item, answer);
    }

private:
    const std::vector<std::string>& m_items;
    const WorkerPool::Done& m_done;
    std::mutex m_lock;
    size_t m_next = 0;
};

// One worker process at a time, for as long as there is work.
class WorkerSlot
{
public:
    WorkerSlot(Work& work, const std::string& command, const std::string& endLine)
        : m_work(work), m_command(command), m_end(endLine + "\n")
    {
    }
    void Serve();

private:
    bool Ask(const std::string& item, std::string& answer);
    std::string Why_Lost();

    Work& m_work;
    const std::string& m_command;
    const std::string m_end;
    std::unique_ptr<ChildProcess> m_worker;
};

void WorkerSlot::Serve()
{
    for (std::string item; m_work.Take(item);) {
        if (!m_worker)
            m_worker = std::make_unique<ChildProcess>(m_command, ChildProcess::Wiring::Pipes);
        WorkerPool::Answer answer;
        if (!Ask(item, answer.text)) {
            answer.lost = Why_Lost();
            m_worker.reset();
        }
        m_work.Done(item, answer);
    }
    // With its input at an end the worker finishes and unloads its libraries.
    if (m_worker) {
        m_worker->Close_Input();
        m_worker->Wait(10000);
    }
}

// False when the worker has gone before it answered.
bool WorkerSlot::Ask(const std::string& item, std::string& answer)
{
    if (!m_worker->Started() || !m_worker->Write(item + "\n"))
        return false;
    while (answer.size() < m_end.size() || answer.compare(answer.size() - m_end.size(), m_end.size(), m_end) != 0)
        if (!m_worker->Read(answer))
            return false;
    return true;
}

std::string WorkerSlot::Why_Lost()
{
    char reason[112];
    if (!m_worker->Started()) {
        std::snprintf(reason, sizeof(reason), "no worker process could be started (error %lu)",
                      static_cast<unsigned long>(m_worker->Start_Error()));
        return reason;
    }
    if (!m_worker->Wait(10000))
        m_worker->Terminate(ERROR_BROKEN_PIPE);
    m_worker->Wait();
    std::snprintf(reason, sizeof(reason), "the worker process ended with exit code 0x%08lX during this profile",
                  static_cast<unsigned long>(m_worker->Exit_Code()));
    return reason;
}

} // namespace

WorkerPool::WorkerPool(const std::string& workerOption, std::string endLine, int jobs)
    : m_command("\"" + QOR::FrontEnd::SystemText::Module_File_Name(nullptr) + "\" " + workerOption),
      m_endLine(std::move(endLine))
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    m_jobs = std::clamp<size_t>(jobs > 0 ? jobs : system.dwNumberOfProcessors, 1, Most_Jobs);
}

void WorkerPool::Run(const std::vector<std::string>& items, const Done& done) const
{
    Work work(items, done);
    std::vector<std::thread> slots;
    for (size_t i = 0; i < std::min(m_jobs, items.size()); ++i)
        slots.emplace_back([this, &work] { WorkerSlot(work, m_command, m_endLine).Serve(); });
    for (std::thread& slot : slots)
        slot.join();
}

} // namespace Admin
