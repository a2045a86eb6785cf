#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

// The bytes forwarded to one port that the port has not taken yet, in the order they came.
// A forwarded chunk goes out at once when nothing waits before it and the port takes it; what
// the port does not take waits here until Flush, so the window thread never waits for a port
// that is slow or held back by flow control. The queue holds at most its limit: a chunk that
// would not fit is dropped whole (a device sees whole messages or none) and counted.
class ForwardQueue
{
public:
    static constexpr std::size_t kDefaultLimit = 4u << 20;

    // Writes what the port takes now without waiting: bytes taken (0 when its queue is
    // full), or -1 when the port is closed or its line failed.
    using Writer = std::function<std::ptrdiff_t(const std::uint8_t* bytes, std::size_t count)>;

    enum class Result
    {
        Written, // everything that waited and the chunk went out
        Queued,  // part or all of it waits
        Dropped, // the chunk would have passed the limit; nothing of it was kept
        Failed,  // the port refused; everything waiting was discarded
    };

    explicit ForwardQueue(std::size_t limit = kDefaultLimit);

    // Writes what waits, then the chunk, keeping what the port does not take.
    Result Forward(const std::uint8_t* bytes, std::size_t count, const Writer& write);
    // Writes what waits until the port takes no more. Bytes written, or -1 when the port
    // refused (everything waiting is discarded then).
    std::ptrdiff_t Flush(const Writer& write);
    // Forgets what waits (the port was closed).
    void Clear();

    std::size_t Waiting() const { return m_waiting; }
    bool IsEmpty() const { return m_waiting == 0; }
    // Bytes dropped at the limit since construction or ResetDropped.
    std::uint64_t Dropped() const { return m_dropped; }
    void ResetDropped() { m_dropped = 0; }
    std::size_t Limit() const { return m_limit; }

private:
    std::size_t m_limit;
    std::deque<std::vector<std::uint8_t>> m_chunks;
    std::size_t m_frontOffset = 0; // bytes of the first chunk already written
    std::size_t m_waiting = 0;
    std::uint64_t m_dropped = 0;
};
