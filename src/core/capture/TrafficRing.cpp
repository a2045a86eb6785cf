#include "core/capture/TrafficRing.h"

#include <cstring>

// A message packed: port (4), direction (1), forwarded (1), time (8), count (4), its bytes.
namespace {
constexpr std::size_t kHead = TrafficRing::kPackedHead;
}

std::uint64_t TrafficRing::Snapshot::Bytes() const
{
    std::uint64_t bytes = 0;
    for (const auto& block : m_blocks)
        bytes += block->size();
    return bytes;
}

void TrafficRing::Snapshot::ForEach(const std::function<void(const Message&)>& f) const
{
    Message m;
    for (const auto& block : m_blocks)
        for (std::size_t at = 0; at < block->size(); f(m))
            at = Unpack(*block, at, m);
}

void TrafficRing::OnTraffic(const TrafficMessage& message)
{
    std::uint8_t head[kHead];
    const auto port = static_cast<std::uint32_t>(message.m_port);
    const auto count = static_cast<std::uint32_t>(message.m_count);
    std::memcpy(head, &port, 4);
    head[4] = static_cast<std::uint8_t>(message.m_direction);
    head[5] = message.m_forwarded ? 1 : 0;
    std::memcpy(head + 6, &message.m_timeUs, 8);
    std::memcpy(head + 14, &count, 4);

    std::lock_guard lock(m_mutex);
    if (m_current.size() + kHead + message.m_count > kBlockBytes && !m_current.empty()) {
        m_fullBytes += m_current.size();
        m_full.push_back(std::make_shared<const Block>(std::move(m_current)));
        m_current = Block();
        while (!m_full.empty() && m_fullBytes + kBlockBytes > m_mostBytes) {
            m_fullBytes -= m_full.front()->size();
            m_full.pop_front(); // freed here only when no snapshot holds it
            m_trimmed = true;
        }
    }
    if (m_current.capacity() == 0)
        m_current.reserve(kBlockBytes);
    m_current.insert(m_current.end(), head, head + kHead);
    m_current.insert(m_current.end(), message.m_bytes, message.m_bytes + message.m_count);
}

void TrafficRing::Clear()
{
    std::deque<std::shared_ptr<const Block>> full;
    std::lock_guard lock(m_mutex);
    full.swap(m_full);
    m_fullBytes = 0;
    m_current.clear();
    m_trimmed = false;
}

TrafficRing::Snapshot TrafficRing::Take() const
{
    Snapshot snapshot;
    std::lock_guard lock(m_mutex);
    snapshot.m_blocks.assign(m_full.begin(), m_full.end());
    if (!m_current.empty())
        snapshot.m_blocks.push_back(std::make_shared<const Block>(m_current));
    snapshot.m_trimmed = m_trimmed;
    return snapshot;
}

std::size_t TrafficRing::Unpack(const Block& block, std::size_t at, Message& message)
{
    std::uint32_t port = 0;
    std::uint32_t count = 0;
    std::memcpy(&port, &block[at], 4);
    std::memcpy(&message.m_timeUs, &block[at + 6], 8);
    std::memcpy(&count, &block[at + 14], 4);
    message.m_port = port;
    message.m_direction = block[at + 4];
    message.m_forwarded = block[at + 5] != 0;
    message.m_count = count;
    message.m_bytes = block.data() + at + kHead;
    return at + kHead + count;
}
