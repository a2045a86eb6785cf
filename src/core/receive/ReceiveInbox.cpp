#include "core/receive/ReceiveInbox.h"

#include "core/receive/MonitorLine.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

ReceiveInbox::ReceiveInbox(std::function<void()> wake, std::size_t capacity, TickSource now)
    : m_wake(std::move(wake)), m_capacity(capacity),
      m_now(now ? std::move(now) : TickSource(SteadyMilliseconds))
{
}

void ReceiveInbox::Push(unsigned port, std::vector<std::uint8_t> bytes)
{
    Message m;
    m.m_port = port;
    m.m_bytes = std::move(bytes);
    m.m_receivedUs = SteadyMicroseconds();
    Add(std::move(m), m_capacity);
}

void ReceiveInbox::Push(unsigned port, std::vector<std::uint8_t> bytes, std::int64_t receivedUs,
                        bool mayWait)
{
    Message m;
    m.m_port = port;
    m.m_bytes = std::move(bytes);
    m.m_receivedUs = receivedUs;
    Add(std::move(m), mayWait ? m_capacity : std::max(m_capacity, kForwardCapacity));
}

void ReceiveInbox::PushStopped(unsigned port, std::string reason)
{
    Message m;
    m.m_port = port;
    m.m_stopped = true;
    m.m_reason = std::move(reason);
    Add(std::move(m), SIZE_MAX);
}

void ReceiveInbox::Add(Message message, std::size_t waitAbove)
{
    bool wake = false;
    {
        std::unique_lock lock(m_mutex);
        if (m_bytes >= waitAbove) {
            m_drained.wait_for(lock, std::chrono::milliseconds(kLongestWaitMs),
                               [this, waitAbove] { return m_released || m_bytes < waitAbove; });
        }
        m_bytes += message.m_bytes.size();
        m_messages.push_back(std::move(message));
        if (!m_woken) {
            m_woken = true;
            wake = true;
        }
    }
    if (wake && m_wake)
        m_wake();
}

std::deque<ReceiveInbox::Message> ReceiveInbox::TakeAll()
{
    std::deque<Message> taken;
    {
        std::lock_guard lock(m_mutex);
        taken.swap(m_messages);
        m_rateBytes += m_bytes;
        m_bytes = 0;
        const std::int64_t now = m_now();
        const std::int64_t span = now - m_rateSinceMs;
        if (span >= kBatchMs) {
            m_streaming = m_rateBytes * kBatchMs >= kStreamBytes * static_cast<std::size_t>(span);
            m_rateSinceMs = now;
            m_rateBytes = 0;
        }
        // While streaming, m_woken stays set: pushes wake nobody, the taker comes back.
        if (!m_streaming)
            m_woken = false;
    }
    m_drained.notify_all();
    return taken;
}

int ReceiveInbox::LookAgainMs() const
{
    std::lock_guard lock(m_mutex);
    return m_streaming ? kBatchMs : -1;
}

void ReceiveInbox::SetReleased(bool released)
{
    {
        std::lock_guard lock(m_mutex);
        m_released = released;
    }
    m_drained.notify_all();
}

std::size_t ReceiveInbox::WaitingBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

bool ReceiveInbox::HasWaiting() const
{
    std::lock_guard lock(m_mutex);
    return !m_messages.empty();
}
