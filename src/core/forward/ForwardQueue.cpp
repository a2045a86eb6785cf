#include "core/forward/ForwardQueue.h"

namespace {
// Written bytes are cut off the front of the buffer once they are this many and more than
// half of it, so that the buffer is moved rarely and never grows past twice what waits.
constexpr std::size_t kCompactBytes = 64 * 1024;
} // namespace

ForwardQueue::ForwardQueue(std::size_t limit) : m_limit(limit) {}

std::ptrdiff_t ForwardQueue::Flush(const Writer& write)
{
    std::ptrdiff_t written = 0;
    while (Waiting() > 0) {
        const std::ptrdiff_t n = write(m_buffer.data() + m_head, Waiting());
        if (n < 0) {
            Clear();
            return -1;
        }
        if (n == 0)
            break;
        written += n;
        m_head += static_cast<std::size_t>(n);
    }
    if (m_head == m_buffer.size())
        Clear();
    else if (m_head >= kCompactBytes && m_head * 2 >= m_buffer.size()) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_head));
        m_head = 0;
    }
    return written;
}

bool ForwardQueue::Append(const std::uint8_t* bytes, std::size_t count)
{
    if (Waiting() + count > m_limit) {
        m_dropped += count;
        return false;
    }
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    return true;
}

void ForwardQueue::AppendAlways(const std::uint8_t* bytes, std::size_t count)
{
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
}

void ForwardQueue::Prepend(const std::uint8_t* bytes, std::size_t count)
{
    m_buffer.insert(m_buffer.begin() + static_cast<std::ptrdiff_t>(m_head), bytes, bytes + count);
}

void ForwardQueue::Clear()
{
    m_buffer.clear();
    m_head = 0;
}

std::vector<std::uint8_t> ForwardQueue::Take()
{
    std::vector<std::uint8_t> waiting(m_buffer.begin() + static_cast<std::ptrdiff_t>(m_head),
                                      m_buffer.end());
    Clear();
    return waiting;
}
