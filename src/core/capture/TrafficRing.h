#pragma once

#include "core/traffic/TrafficListener.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// The traffic of the ports kept for a later export: the newest messages up to a size (the
// oldest go first), as a worker listener. Messages are packed one after the other into
// blocks of about a megabyte; a full block is never changed again, so that a snapshot shares
// the full blocks and copies only the one being filled, and a worker waits at most for that
// copy.
class TrafficRing : public TrafficListener
{
public:
    static constexpr std::size_t kDefaultBytes = 64u << 20;
    static constexpr std::size_t kBlockBytes = 1u << 20;
    static constexpr std::size_t kPackedHead = 18; // what a message takes beside its bytes

    // One message as kept.
    struct Message
    {
        unsigned m_port = 0;
        int m_direction = 1;
        bool m_forwarded = false;
        std::int64_t m_timeUs = 0; // steady
        const std::uint8_t* m_bytes = nullptr;
        std::size_t m_count = 0;
    };
    // What a snapshot holds: its blocks, oldest first, read with ForEach.
    using Block = std::vector<std::uint8_t>;
    struct Snapshot
    {
        std::vector<std::shared_ptr<const Block>> m_blocks;
        bool m_trimmed = false; // older messages went for the size
        std::uint64_t Bytes() const;
        // Every message, oldest first.
        void ForEach(const std::function<void(const Message&)>& f) const;
    };

    explicit TrafficRing(std::size_t mostBytes = kDefaultBytes) : m_mostBytes(mostBytes) {}

    // On a worker.
    void OnTraffic(const TrafficMessage& message) override;
    // Forgets everything kept (the monitor was cleared).
    void Clear();
    Snapshot Take() const;

    static std::size_t Unpack(const Block& block, std::size_t at, Message& message);

private:
    std::size_t m_mostBytes;
    mutable std::mutex m_mutex;
    std::deque<std::shared_ptr<const Block>> m_full;
    std::size_t m_fullBytes = 0;
    Block m_current;
    bool m_trimmed = false;
};
