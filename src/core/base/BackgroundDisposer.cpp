#include "core/base/BackgroundDisposer.h"

#include <sys/resource.h>
#include <unistd.h>

BackgroundDisposer::~BackgroundDisposer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundDisposer::Dispose(std::function<void()> release)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(release));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Run(); });
    }
    m_wake.notify_one();
}

void BackgroundDisposer::Run()
{
    // Freeing can wait for any other work of the program.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // stopping, nothing left
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr; // what the job captured is freed here too, not under the lock
        lock.lock();
    }
}
