#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The bytes forwarded to one port that the port has not taken yet, in the order they came.
// Chunks are appended and go out with Flush, as many as the port takes in one write; what it
// does not take waits for the next Flush, so the window thread never waits for a port that is
// slow or held back by flow control. The queue holds at most its limit: a chunk that would
// not fit is dropped whole (a device sees whole messages or none) and counted.
class ForwardQueue
{
public:
    static constexpr std::size_t kDefaultLimit = 4u << 20;

    // Writes what the port takes now without waiting: bytes taken (0 when its queue is
    // full), or -1 when the port is closed or its line failed.
    using Writer = std::function<std::ptrdiff_t(const std::uint8_t* bytes, std::size_t count)>;

    explicit ForwardQueue(std::size_t limit = kDefaultLimit);

    // Adds the chunk behind what waits without writing (the caller flushes later, so that
    // many chunks go out in one write). False when it would pass the limit: dropped, counted.
    bool Append(const std::uint8_t* bytes, std::size_t count);
    // Adds the chunk whatever waits (for a writer that holds its source back instead).
    void AppendAlways(const std::uint8_t* bytes, std::size_t count);
    // Puts the chunk before what waits, whatever the limit (the rest of a write that was
    // under way while later chunks were appended).
    void Prepend(const std::uint8_t* bytes, std::size_t count);
    // Writes what waits until the port takes no more. Bytes written, or -1 when the port
    // refused (everything waiting is discarded then).
    std::ptrdiff_t Flush(const Writer& write);
    // Forgets what waits (the port was closed).
    void Clear();
    // What waits, handed over (the queue is empty afterwards).
    std::vector<std::uint8_t> Take();

    std::size_t Waiting() const { return m_buffer.size() - m_head; }
    bool IsEmpty() const { return m_buffer.size() == m_head; }
    // Bytes dropped at the limit since construction or ResetDropped.
    std::uint64_t Dropped() const { return m_dropped; }
    void ResetDropped() { m_dropped = 0; }
    std::size_t Limit() const { return m_limit; }

private:
    std::size_t m_limit;
    std::vector<std::uint8_t> m_buffer; // what waits starts at m_head
    std::size_t m_head = 0;
    std::uint64_t m_dropped = 0;
};
