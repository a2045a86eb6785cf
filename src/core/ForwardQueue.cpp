#include "ForwardQueue.h"

ForwardQueue::ForwardQueue(std::size_t limit) : m_limit(limit)
{
}

std::ptrdiff_t ForwardQueue::Flush(const Writer& write)
{
    std::ptrdiff_t written = 0;
    while (!m_chunks.empty())
    {
        const std::vector<std::uint8_t>& front = m_chunks.front();
        const std::size_t left = front.size() - m_frontOffset;
        const std::ptrdiff_t n = write(front.data() + m_frontOffset, left);
        if (n < 0)
        {
            Clear();
            return -1;
        }
        if (n == 0)
            break;
        written += n;
        m_waiting -= static_cast<std::size_t>(n);
        m_frontOffset += static_cast<std::size_t>(n);
        if (m_frontOffset < front.size())
            break; // the port took part: its queue is full now
        m_chunks.pop_front();
        m_frontOffset = 0;
    }
    return written;
}

ForwardQueue::Result ForwardQueue::Forward(const std::uint8_t* bytes, std::size_t count, const Writer& write)
{
    if (Flush(write) < 0)
        return Result::Failed;
    std::size_t taken = 0;
    if (m_chunks.empty() && count > 0)
    {
        const std::ptrdiff_t n = write(bytes, count);
        if (n < 0)
            return Result::Failed;
        taken = static_cast<std::size_t>(n);
    }
    const std::size_t rest = count - taken;
    if (rest == 0)
        return m_chunks.empty() ? Result::Written : Result::Queued;
    // Only a chunk that went out in part may pass the limit: its tail must follow its head.
    if (taken == 0 && m_waiting + rest > m_limit)
    {
        m_dropped += rest;
        return Result::Dropped;
    }
    m_chunks.emplace_back(bytes + taken, bytes + count);
    m_waiting += rest;
    return Result::Queued;
}

void ForwardQueue::Clear()
{
    m_chunks.clear();
    m_frontOffset = 0;
    m_waiting = 0;
}
