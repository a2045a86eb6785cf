#pragma once

#include "core/serial/LineDriver.h"

#include <cstdint>

// The tty calls of a serial port. The termios2 interface (any baud rate through BOTHER) lives
// in the kernel's asm/termbits.h, whose definitions clash with the C library's termios.h, so
// every terminal ioctl is kept behind this small interface (the line's attributes behind
// LineDriver, which a test can replace).
namespace SerialLine {
// Outcome of applying line settings.
enum class ConfigureResult
{
    Ok,
    Refused,     // the driver cannot do what was asked (rate, data bits, stop bits, parity)
    Failed,      // the device is no terminal or the call failed for another reason (errno)
    FlowRefused, // the flow control asked cannot be had: not on Linux, or not by this driver
};

// Rates above this are refused before the driver sees them: no UART that Linux drives goes
// beyond it, and a pseudo-terminal, which takes any number, would otherwise accept a rate
// typed with a digit too many.
constexpr std::uint32_t kHighestBaudRate = 20000000;

struct LineSettings
{
    std::uint32_t baudRate = 9600;
    int parity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int dataBits = 8;    // 5 to 8 can be set
    int stopBits = 0;    // 0 one, 2 two; 1 (one and a half) cannot be set
    int flowControl = 0; // 0 none, 1 RTS/CTS, 2 XON/XOFF; 3 to 5 cannot be set
};

// Whether Linux can run a flow-control code on a tty: none, RTS/CTS (CRTSCTS) and XON/XOFF
// (IXON | IXOFF). DTR/CTS, RTS/DSR and DTR/DSR pair lines in a way the kernel has no setting
// for.
bool CanApplyFlowControl(int flowControl);

// The frame bits of a termios c_cflag for these settings: CSIZE, CSTOPB, PARENB, PARODD and
// CMSPAR, with the values of <termios.h> (the kernel's termbits agree). Mark parity is
// PARENB | CMSPAR | PARODD (the parity bit always 1), space PARENB | CMSPAR.
std::uint32_t ControlFlags(const LineSettings& settings);
// The speed bits of a c_cflag, output (CBAUD) and input (CIBAUD), for a rate: its Bxxx code
// where the rate has one, so that every other program that reads the line (stty, tio, a
// getty) sees the rate; BOTHER, with the rate in c_ispeed and c_ospeed, only for others.
// A rate of 0 is no Bxxx rate: B0 would hang the line up.
std::uint32_t SpeedFlags(std::uint32_t baudRate);
// The reverse: parity, data bits and stop bits from a c_cflag; the rate is left alone.
void SetFrameFromControlFlags(std::uint32_t cflag, LineSettings& settings);

// Sets exclusive mode (TIOCEXCL). Returns 0 or an errno value.
int SetExclusive(int fd);
// Clears it before the port is closed: a tty that someone else keeps open would otherwise
// stay exclusive and refuse the next open.
void ClearExclusive(int fd);

// Raw mode, receiver on, modem lines ignored, the flow control and line settings given, and
// low latency where the driver offers it. Received bytes with parity errors are delivered as
// they came (no INPCK), never replaced by 0. The settings are read back: a driver that rounds
// the rate by more than 3 % or drops a frame setting has refused it. Pseudo-terminals take
// any rate but keep CS8 and no parity, which is not a refusal there. A flow control that
// cannot be had, or that the driver drops, is FlowRefused. The attributes go through driver.
ConfigureResult Configure(int fd, const LineSettings& settings,
                          LineDriver& driver = LineDriver::Kernel());

// Whether the line as read back after setting (`got`) is what was asked: the rate within
// 3 % (drivers round to their divisors), the same stop bits, and, except on a
// pseudo-terminal, the same data bits and parity.
bool ReadBackMatches(const LineSettings& asked, const LineSettings& got, bool pseudoTerminal);

// True when fd is the slave side of a pseudo-terminal.
bool IsPseudoTerminal(int fd);

// Discards what is pending in both directions.
void Purge(int fd);

// The modem lines in the bits of ModemLines (DTR, RTS, CTS, DSR, DCD, RI). False when the
// device has none (TIOCMGET fails, as on a pseudo-terminal).
bool GetModemLines(int fd, unsigned& lines);
// Asserts (on) or drops DTR and/or RTS (ModemLines bits in mask). False when it cannot.
bool SetModemLines(int fd, unsigned mask, bool on);
// The driver's count of BREAKs received (TIOCGICOUNT); false where it keeps none (a
// pseudo-terminal, many USB adapters).
bool GetBreakCount(int fd, std::uint32_t& count);
// Starts or ends a BREAK on the output (TIOCSBRK, TIOCCBRK) without waiting.
bool SetBreak(int fd, bool on);

// What the line is set to now, flow control included (for tests and diagnostics). False when fd is no terminal.
bool Read(int fd, LineSettings& settings, LineDriver& driver = LineDriver::Kernel());
} // namespace SerialLine
