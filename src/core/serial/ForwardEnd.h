#pragma once

#include <cstddef>

class ModemLines;

// What the forwarding tap needs of a port at either end of the pair: a write that never
// waits, what to wait on for room, and its modem lines. The serial port is one; the tap
// knows no more of it, so that the port and the tap do not depend on each other.
class ForwardEnd
{
public:
    virtual ~ForwardEnd() = default;

    // Writes what the port takes now: the number of bytes taken (0 when its queue is full),
    // or -1 when the port is closed or the line failed.
    virtual std::ptrdiff_t WriteSome(const void* bytes, std::size_t length) = 0;
    // What to wait on (POLLOUT) for room to write, or -1.
    virtual int WriteFd() const = 0;
    // The modem lines of the open port, or null.
    virtual ModemLines* Lines() const = 0;
    // The tap drove DTR or RTS (ModemLines::kDtr, kRts) of this port.
    virtual void NoteOutputLine(unsigned line, bool on) = 0;
};
