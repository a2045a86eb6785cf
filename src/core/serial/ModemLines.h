#pragma once

#include <cstdint>
#include <string>

// The modem control lines of an open port: DTR and RTS, which the program drives, and CTS,
// DSR, DCD and RI, which the far end drives. An interface, so that the logic that switches
// and watches them can be tried without hardware (pseudo-terminals have no modem lines).
//
// Set runs on the window thread (and, across the forwarding tap, on the other port's
// worker) and Get on the port's worker, at the same time: an implementation must allow that
// (the tty one is ioctls without state).
class ModemLines
{
public:
    enum : unsigned
    {
        kDtr = 0x01,
        kRts = 0x02,
        kCts = 0x04,
        kDsr = 0x08,
        kDcd = 0x10,
        kRi = 0x20,
    };
    static constexpr unsigned kOutputs = kDtr | kRts;
    static constexpr unsigned kInputs = kCts | kDsr | kDcd | kRi;

    virtual ~ModemLines() = default;
    // The state of every line now; false when the device has none.
    virtual bool Get(unsigned& lines) = 0;
    // Asserts (on) or drops the output lines in mask; false when it cannot.
    virtual bool Set(unsigned mask, bool on) = 0;
    // How many BREAKs the driver has counted on the input since the device was opened;
    // false when it does not count them.
    virtual bool GetBreakCount(std::uint32_t& count)
    {
        (void)count;
        return false;
    }
    // Starts (on) or ends a BREAK on the output; false when it cannot.
    virtual bool SetBreak(bool on)
    {
        (void)on;
        return false;
    }
};

// The lines of a tty descriptor (TIOCMGET, TIOCMBIS, TIOCMBIC). Does not own fd.
class TtyModemLines : public ModemLines
{
public:
    explicit TtyModemLines(int fd) : m_fd(fd) {}
    bool Get(unsigned& lines) override;
    bool Set(unsigned mask, bool on) override;
    bool GetBreakCount(std::uint32_t& count) override;
    bool SetBreak(bool on) override;

private:
    int m_fd;
};

// The input lines for the status bar: "CTS● DSR○ DCD○ RI○" (● asserted), or, when the
// device has no modem lines, that they are not available.
std::string InputLinesText(bool available, unsigned lines);
