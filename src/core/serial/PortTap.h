#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ForwardEnd;
class ModemLines;
class PortReceiver;

// What a port's worker reads through when the port may be one end of a forwarding pair (the
// forwarding tap is one): every read is handed over at once, the worker is held while the
// other end cannot take more, and messages for display are handed on in the pair's order.
// The port knows no more of the tap, so that neither depends on the other.
class PortTap
{
public:
    virtual ~PortTap() = default;

    // The port's worker starts (record may be written from now on) and stops (before the
    // device is closed: nothing touches record afterwards).
    virtual void Attach(unsigned port, ForwardEnd* record) = 0;
    virtual void Detach(unsigned port, const ForwardEnd* record) = 0;

    // --- The port's worker ----------------------------------------------------------------
    // Bytes just read from port (readNs: the steady clock after the read; first: they begin
    // a message for display). count 0: only that a message began, with bytes of an earlier
    // read.
    virtual void OnRead(unsigned port, const std::uint8_t* bytes, std::size_t count,
                        std::int64_t readNs, bool first) = 0;
    // What the worker of port needs to know before it waits for its next read, in one look.
    struct ReadWait
    {
        bool m_hold = false; // port must not be read: bytes wait for its partner
        int m_holdFd = -1;   // ... what to wait on for room (POLLOUT), or -1 (wait and Pump)
        int m_cutFd = -1;    // readable when the message being collected should end now
        int m_linesMs = 0;   // how often to call PollLines; 0: never
    };
    virtual ReadWait BeforeRead(unsigned port) const = 0;
    // Writes what waits for port's partner as far as it takes it now.
    virtual void PumpFrom(unsigned port) = 0;
    // Whether port's messages are ordered against another port's now (without a lock):
    // when not, the worker hands them to the receiver itself.
    virtual bool InPair(unsigned port) const = 0;
    // One message for display, whose first byte was read at firstNs: handed to receiver now,
    // or kept until the partner's earlier message has gone first.
    virtual void Deliver(unsigned port, std::vector<std::uint8_t> bytes, std::int64_t firstNs,
                         PortReceiver* receiver) = 0;
    // Clears the signal; true when it was meant for the message that began at firstNs.
    virtual bool TakeCut(unsigned port, std::int64_t firstNs) = 0;
    // Looks at port's input lines (and BREAK counter) and passes changes to the partner.
    virtual void PollLines(unsigned port, ModemLines* lines) = 0;
};
