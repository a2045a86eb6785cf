#pragma once

// Test helpers for the serial tests: a pseudo-terminal pair stands in for a cable, and
// recorders stand in for the window.

#include "PortMessageSink.h"
#include "PortReceiver.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>
#include <vector>

// The far end is the master; the port opens the slave's path. The test keeps the slave open
// too so that the pair outlives a Close of the port.
struct PtyPair
{
    int master = -1;
    int slave = -1;
    std::string path;

    PtyPair()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~PtyPair()
    {
        CloseMaster();
        if (slave >= 0)
            close(slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void CloseMaster()
    {
        if (master >= 0)
            close(master);
        master = -1;
    }

    void Send(const std::string& bytes) const
    {
        std::size_t done = 0;
        while (done < bytes.size())
        {
            const ssize_t n = write(master, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return;
            done += static_cast<std::size_t>(n);
        }
    }

    // What the port wrote, waiting up to timeoutMs for `want` bytes.
    std::string Receive(std::size_t want, int timeoutMs = 5000) const
    {
        std::string got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < want && std::chrono::steady_clock::now() < until)
        {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
};

class RecordingReceiver : public PortReceiver
{
public:
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override
    {
        std::lock_guard lock(m_mutex);
        m_ports.push_back(uiPortNo);
        m_messages.push_back(std::move(bytes));
        m_times.push_back(std::chrono::steady_clock::now());
        m_changed.notify_all();
    }
    void OnPortStopped(unsigned uiPortNo, std::string reason) override
    {
        std::lock_guard lock(m_mutex);
        ++m_stops;
        m_stoppedPort = uiPortNo;
        m_reason = std::move(reason);
        m_changed.notify_all();
    }

    // Waits until `count` messages have come (or timeoutMs passed); true when they have.
    bool WaitForMessages(std::size_t count, int timeoutMs = 5000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return m_messages.size() >= count; });
    }
    bool WaitForBytes(std::size_t total, int timeoutMs = 10000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return BytesLocked() >= total; });
    }
    bool WaitForStop(int timeoutMs = 5000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_stops > 0; });
    }

    std::vector<std::vector<std::uint8_t>> Messages()
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    std::vector<std::string> Texts()
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> texts;
        for (const auto& m : m_messages)
            texts.emplace_back(m.begin(), m.end());
        return texts;
    }
    std::vector<unsigned> Ports()
    {
        std::lock_guard lock(m_mutex);
        return m_ports;
    }
    std::size_t Count()
    {
        std::lock_guard lock(m_mutex);
        return m_messages.size();
    }
    std::size_t Bytes()
    {
        std::lock_guard lock(m_mutex);
        return BytesLocked();
    }
    int Stops()
    {
        std::lock_guard lock(m_mutex);
        return m_stops;
    }
    std::string Reason()
    {
        std::lock_guard lock(m_mutex);
        return m_reason;
    }

private:
    std::size_t BytesLocked() const
    {
        std::size_t total = 0;
        for (const auto& m : m_messages)
            total += m.size();
        return total;
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::vector<std::uint8_t>> m_messages;
    std::vector<unsigned> m_ports;
    std::vector<std::chrono::steady_clock::time_point> m_times;
    int m_stops = 0;
    unsigned m_stoppedPort = 0;
    std::string m_reason;
};

class RecordingSink : public PortMessageSink
{
public:
    void ShowMessage(const std::string& utf8) override { m_messages.push_back(utf8); }
    std::vector<std::string> m_messages;
};
