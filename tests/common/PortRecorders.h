#pragma once

// Test helpers for the serial tests: recorders stand in for the window (the cable is the
// shared PtyPair).

#include "core/receive/PortMessageSink.h"
#include "core/receive/PortReceiver.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

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
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return BytesLocked() >= total; });
    }
    bool WaitForStop(int timeoutMs = 5000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return m_stops > 0; });
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

// Holds the worker inside its first delivery (as a window far behind would) until the test
// opens the gate.
class GatedReceiver : public RecordingReceiver
{
public:
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override
    {
        RecordingReceiver::OnPortData(uiPortNo, std::move(bytes));
        std::unique_lock lock(m_gateMutex);
        m_gateChanged.wait(lock, [&] { return m_open; });
    }
    void Open()
    {
        std::lock_guard lock(m_gateMutex);
        m_open = true;
        m_gateChanged.notify_all();
    }

private:
    std::mutex m_gateMutex;
    std::condition_variable m_gateChanged;
    bool m_open = false;
};

class RecordingSink : public PortMessageSink
{
public:
    void ShowMessage(const std::string& utf8) override { m_messages.push_back(utf8); }
    std::vector<std::string> m_messages;
};
