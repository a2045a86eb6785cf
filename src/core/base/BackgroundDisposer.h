#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// Runs release work (freeing a large structure) on a thread of its own at the lowest
// priority, in the order given, so that the caller's thread does not wait for it. The thread
// starts with the first job; the destructor runs what is still waiting, then joins.
class BackgroundDisposer
{
public:
    BackgroundDisposer() = default;
    ~BackgroundDisposer();
    BackgroundDisposer(const BackgroundDisposer&) = delete;
    BackgroundDisposer& operator=(const BackgroundDisposer&) = delete;

    // release must own what it frees: nothing else may touch it after the call.
    void Dispose(std::function<void()> release);

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stop = false;
    std::thread m_thread;
};
