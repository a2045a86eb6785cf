#pragma once

#include "core/forward/ForwardQueue.h"
#include "core/serial/ForwardEnd.h"
#include "core/serial/PortTap.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

class ModemLines;
class PortReceiver;

// The wire between the two ports of the forwarding pair. The ports' workers call it: every
// read is written to the other port as soon as it has been read, in order, and what the
// other port cannot take now waits here while the reading port is held (its worker reads no
// more and waits for room on the other port), as socat holds a side whose other side takes
// nothing. The window thread only switches it on and off and is never between the ports.
//
// Rules:
// - Port A feeds port B and B feeds A; any other port is not forwarded.
// - A port feeds nothing while its partner is closed: those bytes are dropped, as a wire with
//   nothing at its end drops them. Closing a port (Detach) drops what waited for it.
// - Messages for display are handed to the window in the order their first bytes were read
//   on one monotonic clock, across both ports: a message of one port waits while the other
//   port is still collecting a message it began earlier, and a message being collected ends
//   as soon as the other port begins one (the direction changed), so that an answer is
//   never shown before the request that caused it, nor joined with the next answer.
// - With lines on, each side's CTS and DSR drive the other side's RTS and DTR, and a BREAK
//   counted on one side is sent on the other.
//
// Thread-safe: one lock around everything but the straight write of a read to the other port
// (so that one direction's write never holds the other direction's worker) and the hand-over
// of messages to the window (which may wait for it); the workers of both ports and the window
// thread call in.
class ForwardTap : public PortTap
{
public:
    // Bytes the program itself may queue for a port of the pair beyond what the port takes.
    static constexpr std::size_t kQueueLimit = ForwardQueue::kDefaultLimit;
    // How often a worker of the pair looks at its input lines while lines are forwarded.
    static constexpr int kLinePollMs = 4;
    // How long a BREAK sent on the other side lasts.
    static constexpr int kBreakMs = 100;

    ForwardTap();
    ~ForwardTap();
    ForwardTap(const ForwardTap&) = delete;
    ForwardTap& operator=(const ForwardTap&) = delete;

    // --- Window thread ------------------------------------------------------------------
    // What the program queued for a port before it joined the pair (0-based port).
    using EarlierBytes = std::function<std::vector<std::uint8_t>(unsigned port)>;

    // 0-based ports; enable false (or a port < 0) switches forwarding off. Messages kept back
    // for ordering are handed on; bytes waiting for a port are kept for it. earlier: for a
    // port that joins the pair, the bytes it had still to write: they go out before anything
    // forwarded to it, never between its parts.
    void SetPair(bool enable, int portA, int portB, bool lines, const EarlierBytes& earlier = {});
    bool IsEnabled() const;
    bool LinesForwarded() const;
    // --- Any thread, without the lock (for every message of every port) -----------------
    // The other port of the pair, or -1.
    int PartnerOf(unsigned port) const;
    // The other port of the pair while its worker runs (it takes what port reads), or -1.
    int OpenPartnerOf(unsigned port) const;
    // Port A (i 0) or B (i 1) of the pair while forwarding is on, else -1.
    int PairPort(int i) const { return m_pairNow[i & 1].load(); }

    // The program's own bytes for a port of the pair join the bytes forwarded to it, so that
    // the two never interleave inside a write. False when the port is not open or its queue
    // is full (dropped).
    bool Send(unsigned port, const std::uint8_t* bytes, std::size_t count);
    // Writes what waits for port as far as it takes it now (for a port whose partner is not
    // read, so that no worker waits for room on it).
    void Pump(unsigned port);
    // Bytes waiting for port.
    std::size_t Waiting(unsigned port) const;
    // Milliseconds since port last took a byte while bytes waited for it (0 when none wait).
    std::int64_t StalledMs(unsigned port) const;
    // Whether port is not read now because its partner has bytes waiting.
    bool IsHolding(unsigned port) const;

    // --- PortTap: the ports and their workers ----------------------------------------------
    void Attach(unsigned port, ForwardEnd* record) override;
    void Detach(unsigned port, const ForwardEnd* record) override;
    void OnRead(unsigned port, const std::uint8_t* bytes, std::size_t count, std::int64_t readNs,
                bool first) override;
    ReadWait BeforeRead(unsigned port) const override;
    void PumpFrom(unsigned port) override;
    // Without the lock.
    bool InPair(unsigned port) const override;
    void Deliver(unsigned port, std::vector<std::uint8_t> bytes, std::int64_t firstNs,
                 PortReceiver* receiver) override;
    bool TakeCut(unsigned port, std::int64_t firstNs) override;
    void PollLines(unsigned port, ModemLines* lines) override;

private:
    struct Parked
    {
        unsigned m_port = 0;
        std::vector<std::uint8_t> m_bytes;
        std::int64_t m_firstNs = 0;
        PortReceiver* m_receiver = nullptr;
    };
    struct Side
    {
        int m_port = -1;
        ForwardEnd* m_record = nullptr;     // attached while its worker runs
        ForwardQueue m_toPort{kQueueLimit}; // bytes waiting to be written to this port
        bool m_writing = false;             // a read goes out to this port without the lock
        std::int64_t m_progressNs = 0;      // when this port last took bytes, or began to wait
        bool m_collecting = false;          // a message for display is being read
        std::int64_t m_firstNs = 0;         // ... whose first byte was read then
        std::deque<Parked> m_parked;        // messages waiting for the partner's earlier one
        bool m_haveLines = false;
        unsigned m_inputs = 0; // input lines last seen
        bool m_haveBreaks = false;
        std::uint32_t m_breaks = 0;    // BREAK counter last seen
        std::int64_t m_breakEndNs = 0; // a BREAK sent on this port ends then (0: none)
        std::int64_t m_cutFirstNs = 0; // the message begun then is to end now (0: none)
    };

    Side* SideOf(unsigned port);
    const Side* SideOf(unsigned port) const;
    Side& Other(const Side& side) { return &side == &m_sides[0] ? m_sides[1] : m_sides[0]; }
    const Side& Other(const Side& side) const
    {
        return &side == &m_sides[0] ? m_sides[1] : m_sides[0];
    }
    void FlushTo(Side& side);
    // Until no read is being written to either port without the lock.
    void WaitForWrites(std::unique_lock<std::mutex>& lock);
    static void HandOn(Parked& parked);
    void ReleaseParked(Side& side);
    void ReleaseAllParked();
    void PublishPair();
    // The side (0, 1) port is on while forwarding is on, else -1; without the lock.
    int SideNow(unsigned port) const;

    std::mutex m_deliverMutex; // taken before m_mutex: messages go to the window in order
    mutable std::mutex m_mutex;
    std::condition_variable m_writeDone;
    bool m_enabled = false;
    bool m_lines = false;
    Side m_sides[2];
    int m_cutFds[2] = {-1, -1}; // per side, wakes its worker to end a message
    // The pair's ports (-1: none) and whether each is attached, for the lookups without the
    // lock (PartnerOf, InPair, OpenPartnerOf); written under m_mutex.
    std::atomic<int> m_pairNow[2] = {-1, -1};
    std::atomic<bool> m_openNow[2] = {false, false};
    // Running ports outside the pair, so that a pair set later finds them.
    std::vector<std::pair<unsigned, ForwardEnd*>> m_spare;
};
