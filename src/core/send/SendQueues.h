#pragma once

#include "core/forward/ForwardQueue.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

class ForwardEnd;
class ForwardTap;

// The bytes the program writes to its ports, one queue per port, so that the thread that
// sends never waits for a port: what a port takes now goes at once, the rest waits here, in
// order, and goes out at the next Flush (the owner calls it on a short timer while anything
// waits). A port of the forwarding pair is written through the tap's queue instead, behind
// the bytes forwarded to it and never inside a write of theirs. A queue that would pass its
// limit drops the new chunk whole and counts it. Used from one thread.
class SendQueues
{
public:
    // The open port's writing end, or null when the port is not open.
    using PortSource = std::function<ForwardEnd*(unsigned port)>;
    // Steady milliseconds (tests inject).
    using Clock = std::function<std::int64_t()>;

    // tap outlives this.
    SendQueues(ForwardTap& tap, PortSource ports, std::size_t limit = ForwardQueue::kDefaultLimit,
               Clock clock = {});

    // Bytes out to port behind what waits for it. False when the port is not open or refused
    // them, or its queue is full (dropped, counted).
    bool Write(unsigned port, const std::uint8_t* bytes, std::size_t count);
    bool IsOpen(unsigned port) const { return m_ports(port) != nullptr; }

    struct Flushed
    {
        bool m_progress = false; // some port took bytes
        bool m_waiting = false;  // bytes still wait: flush again later
    };
    // Writes what waits as far as the ports take it now; a closed port's bytes are dropped.
    Flushed Flush();
    bool IsWaiting() const;

    // Bytes waiting for port (in the tap's queue for a port of the pair).
    std::size_t Waiting(unsigned port) const;
    // What waits for port outside the tap, handed over (for a port that joins the pair: it
    // goes out before anything forwarded to it).
    std::vector<std::uint8_t> TakeWaiting(unsigned port);
    void ResetDropped();

    // A queue (outside the pair) the status bar speaks of: bytes were dropped at its limit,
    // or bytes have waited while the port took nothing for at least behindMs.
    struct Trouble
    {
        unsigned m_port = 0;
        std::size_t m_waiting = 0;
        std::uint64_t m_dropped = 0;
        std::size_t m_limit = 0;
    };
    std::vector<Trouble> Troubles(std::int64_t behindMs) const;

private:
    struct Target
    {
        explicit Target(std::size_t limit) : m_queue(limit) {}
        ForwardQueue m_queue;
        std::int64_t m_progressMs = -1; // the port last took bytes while bytes waited
    };

    Target& TargetOf(unsigned port);
    ForwardQueue::Writer WriterOf(unsigned port) const;

    ForwardTap& m_tap;
    PortSource m_ports;
    std::size_t m_limit;
    Clock m_clock;
    std::map<unsigned, Target> m_targets;
};
