#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// The one place where received messages cross from the ports' worker threads to the window
// thread. Workers push; the window thread takes everything waiting in one turn, so that it
// can append many lines in one edit block.
//
// The window is woken once per batch: wake() runs (on the pushing thread) when the first
// message arrives after a Take, not for every message. While a flood runs (takes found at
// least kStreamBytes per kBatchMs, judged every kBatchMs) a take does not re-arm the
// wake-up: the taker looks again after LookAgainMs instead, so that a flood costs a few
// wake-ups a second on both sides, not one per message of 4096 bytes. Slower traffic, such
// as requests and answers of a few bytes, wakes the taker for each batch as before: a taker
// that wakes on a timer with many small messages works in bursts that delay the ports'
// threads on a machine with few cores (a tap's round trip gained 1 ms at p99).
//
// When more than the capacity of bytes waits, a push waits for the window to catch up, so
// that a fast line pushes back into the driver instead of growing memory without bound.
// The wait is short and ends early while the inbox is released (ports being closed, whose
// Close waits for the worker), so a worker never hangs on a window thread that waits for it.
class ReceiveInbox
{
public:
    struct Message
    {
        unsigned m_port = 0;
        std::vector<std::uint8_t> m_bytes;
        std::int64_t m_receivedUs = 0; // steady clock (µs) of its first byte
        bool m_stopped = false;        // the worker ended by itself; m_reason says why
        std::string m_reason;
    };

    static constexpr std::size_t kDefaultCapacity = 1u << 20;
    // A worker that must not wait for the window (the forwarding pair's) waits only above
    // this much, so that a window held for long still cannot fill the memory: at serial
    // rates that is many minutes of traffic.
    static constexpr std::size_t kForwardCapacity = 32u << 20;
    static constexpr int kLongestWaitMs = 250;
    static constexpr int kBatchMs = 5;
    static constexpr std::size_t kStreamBytes = 4096;

    using TickSource = std::function<std::int64_t()>; // monotonic milliseconds

    explicit ReceiveInbox(std::function<void()> wake, std::size_t capacity = kDefaultCapacity,
                          TickSource now = {});

    // Worker thread.
    void Push(unsigned port, std::vector<std::uint8_t> bytes);
    // receivedUs: when the worker read its first byte (steady µs); mayWait false for a
    // worker that the window must not hold back (a port of the forwarding pair): it waits
    // only above kForwardCapacity.
    void Push(unsigned port, std::vector<std::uint8_t> bytes, std::int64_t receivedUs,
              bool mayWait);
    void PushStopped(unsigned port, std::string reason);

    // Window thread: everything waiting, oldest first; re-arms the wake-up unless a stream
    // runs.
    std::deque<Message> TakeAll();
    // After the last take: in how many milliseconds the taker must take again without being
    // woken, or -1 when a push will wake it.
    int LookAgainMs() const;

    // While released, pushes never wait.
    void SetReleased(bool released);

    std::size_t WaitingBytes() const;
    // Any message waits, a stopped port's note included.
    bool HasWaiting() const;

private:
    // Waits (briefly) while waitAbove bytes or more wait already.
    void Add(Message message, std::size_t waitAbove);

    std::function<void()> m_wake;
    std::size_t m_capacity;
    TickSource m_now;
    mutable std::mutex m_mutex;
    std::condition_variable m_drained;
    std::deque<Message> m_messages;
    std::size_t m_bytes = 0;
    bool m_woken = false;
    bool m_released = false;
    bool m_streaming = false;       // takes are not re-arming the wake-up
    std::int64_t m_rateSinceMs = 0; // takes since then are judged at the next kBatchMs
    std::size_t m_rateBytes = 0;    // ... and found this many bytes
};
