#include "capture/LineSplitter.h"

LineSplitter::LineSplitter(std::size_t longest) : m_longest(longest) {}

std::vector<LineSplitter::Message> LineSplitter::Take(const std::uint8_t* bytes, std::size_t count,
                                                      std::int64_t nowMs)
{
    std::vector<Message> messages;
    for (std::size_t i = 0; i < count; ++i) {
        m_held.push_back(bytes[i]);
        if (bytes[i] == '\n' || m_held.size() >= m_longest) {
            messages.push_back(std::move(m_held));
            m_held.clear();
        }
    }
    if (count > 0)
        m_lastMs = nowMs;
    return messages;
}

LineSplitter::Message LineSplitter::TakeHeld(std::int64_t nowMs, std::int64_t quietMs)
{
    if (m_held.empty() || (quietMs >= 0 && nowMs - m_lastMs < quietMs))
        return {};
    Message held = std::move(m_held);
    m_held.clear();
    return held;
}
