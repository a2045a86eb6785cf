#include "core/serial/SerialLine.h"

#include "core/serial/ModemLines.h"

// BOTHER and the flags come from the kernel headers; <termios.h> must not be included here.
#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

static_assert(sizeof(tcflag_t) == sizeof(std::uint32_t), "ControlFlags carries a whole c_cflag");

namespace {
// Unix98 pty slaves use majors 136 to 143; the legacy BSD slaves use 3.
bool IsPtySlaveMajor(unsigned major)
{
    return (major >= 136 && major <= 143) || major == 3;
}

struct StandardRate
{
    std::uint32_t m_rate;
    tcflag_t m_code;
};

// The rates that have a Bxxx constant (134 stands for 134.5).
constexpr StandardRate kStandardRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

void AskLowLatency(int fd)
{
    serial_struct ss{};
    if (ioctl(fd, TIOCGSERIAL, &ss) != 0)
        return;
    if (ss.flags & ASYNC_LOW_LATENCY)
        return;
    ss.flags |= ASYNC_LOW_LATENCY;
    (void)ioctl(fd, TIOCSSERIAL, &ss); // not every driver allows it; the line works without
}
} // namespace

namespace SerialLine {
std::uint32_t ControlFlags(const LineSettings& settings)
{
    tcflag_t flags = 0;
    switch (settings.dataBits) {
    case 5: flags |= CS5; break;
    case 6: flags |= CS6; break;
    case 7: flags |= CS7; break;
    default: flags |= CS8; break;
    }
    switch (settings.parity) {
    case 1: flags |= PARENB | PARODD; break;
    case 2: flags |= PARENB; break;
    case 3: flags |= PARENB | CMSPAR | PARODD; break; // mark: the parity bit is always 1
    case 4: flags |= PARENB | CMSPAR; break;          // space: always 0
    default: break;
    }
    if (settings.stopBits == 2)
        flags |= CSTOPB;
    return flags;
}

std::uint32_t SpeedFlags(std::uint32_t baudRate)
{
    tcflag_t code = BOTHER;
    for (const StandardRate& standard : kStandardRates) {
        if (standard.m_rate == baudRate)
            code = standard.m_code;
    }
    return code | (code << IBSHIFT);
}

void SetFrameFromControlFlags(std::uint32_t cflag, LineSettings& settings)
{
    settings.parity = 0;
    if (cflag & PARENB) {
        const bool odd = cflag & PARODD;
        if (cflag & CMSPAR)
            settings.parity = odd ? 3 : 4;
        else
            settings.parity = odd ? 1 : 2;
    }
    switch (cflag & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
    }
    settings.stopBits = (cflag & CSTOPB) ? 2 : 0;
}

bool CanApplyFlowControl(int flowControl)
{
    return flowControl >= 0 && flowControl <= 2;
}

int SetExclusive(int fd)
{
    return ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
}

void ClearExclusive(int fd)
{
    (void)ioctl(fd, TIOCNXCL);
}

bool IsPseudoTerminal(int fd)
{
    struct stat st
    {
    };
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && IsPtySlaveMajor(major(st.st_rdev));
}

ConfigureResult Configure(int fd, const LineSettings& settings, LineDriver& driver)
{
    LineDriver::Attributes tio;
    if (const int error = driver.Get(fd, tio); error != 0) {
        errno = error;
        return ConfigureResult::Failed;
    }

    // What Linux cannot set at all is refused before the driver sees it; a rate of 0 would
    // drop the modem lines (hang-up) instead of setting a speed.
    if (settings.dataBits < 5 || settings.dataBits > 8
        || (settings.stopBits != 0 && settings.stopBits != 2) || settings.parity < 0
        || settings.parity > 4 || settings.baudRate == 0 || settings.baudRate > kHighestBaudRate)
        return ConfigureResult::Refused;
    if (!CanApplyFlowControl(settings.flowControl))
        return ConfigureResult::FlowRefused;

    tio.iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY
                   | INPCK | IGNPAR | IUCLC | IMAXBEL);
    // INPCK stays off: with it (and without PARMRK) the kernel hands a byte that has a parity
    // or framing error over as 0, where the original line delivered the byte as it came and
    // only counted the error. A monitor shows what arrived; a mark or space parity protocol
    // (9-bit addressing) would otherwise lose every address byte.
    tio.oflag &= ~OPOST;
    tio.lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    tio.cflag &=
        ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    tio.cflag |= CLOCAL | CREAD | ControlFlags(settings) | SpeedFlags(settings.baudRate);
    // Ignored beside a Bxxx code (the kernel fills them in from it).
    tio.ispeed = settings.baudRate;
    tio.ospeed = settings.baudRate;
    tio.cc[VMIN] = 1;
    tio.cc[VTIME] = 0;
    if (settings.flowControl == 1)
        tio.cflag |= CRTSCTS;
    if (settings.flowControl == 2) {
        // Both ways: the far end's XOFF stops our output, and the kernel sends XOFF when its
        // input buffer fills. Start and stop are DC1 and DC3, whatever a program set before.
        tio.iflag |= IXON | IXOFF;
        tio.cc[VSTART] = 0x11;
        tio.cc[VSTOP] = 0x13;
    }

    if (const int error = driver.Set(fd, tio); error != 0) {
        errno = error;
        return error == EINVAL ? ConfigureResult::Refused : ConfigureResult::Failed;
    }

    LineSettings now;
    if (!Read(fd, now, driver))
        return ConfigureResult::Failed;
    if (!ReadBackMatches(settings, now, driver.IsPseudoTerminal(fd)))
        return ConfigureResult::Refused;
    if (now.flowControl != settings.flowControl)
        return ConfigureResult::FlowRefused;

    AskLowLatency(fd);
    return ConfigureResult::Ok;
}

bool ReadBackMatches(const LineSettings& asked, const LineSettings& got, bool pseudoTerminal)
{
    const long long want = asked.baudRate;
    const long long have = got.baudRate;
    if (std::llabs(have - want) * 100 > want * 3)
        return false;
    if (got.stopBits != asked.stopBits)
        return false;
    return pseudoTerminal || (got.dataBits == asked.dataBits && got.parity == asked.parity);
}

void Purge(int fd)
{
    (void)ioctl(fd, TCFLSH, TCIOFLUSH);
}

bool GetModemLines(int fd, unsigned& lines)
{
    int bits = 0;
    if (ioctl(fd, TIOCMGET, &bits) != 0)
        return false;
    lines = 0;
    if (bits & TIOCM_DTR)
        lines |= ModemLines::kDtr;
    if (bits & TIOCM_RTS)
        lines |= ModemLines::kRts;
    if (bits & TIOCM_CTS)
        lines |= ModemLines::kCts;
    if (bits & TIOCM_DSR)
        lines |= ModemLines::kDsr;
    if (bits & TIOCM_CAR)
        lines |= ModemLines::kDcd;
    if (bits & TIOCM_RNG)
        lines |= ModemLines::kRi;
    return true;
}

bool SetModemLines(int fd, unsigned mask, bool on)
{
    int bits = 0;
    if (mask & ModemLines::kDtr)
        bits |= TIOCM_DTR;
    if (mask & ModemLines::kRts)
        bits |= TIOCM_RTS;
    if (bits == 0)
        return true;
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool GetBreakCount(int fd, std::uint32_t& count)
{
    serial_icounter_struct counters{};
    if (ioctl(fd, TIOCGICOUNT, &counters) != 0)
        return false;
    count = static_cast<std::uint32_t>(counters.brk);
    return true;
}

bool SetBreak(int fd, bool on)
{
    return ioctl(fd, on ? TIOCSBRK : TIOCCBRK) == 0;
}

bool Read(int fd, LineSettings& settings, LineDriver& driver)
{
    LineDriver::Attributes tio;
    if (const int error = driver.Get(fd, tio); error != 0) {
        errno = error;
        return false;
    }
    settings.baudRate = tio.ospeed;
    SetFrameFromControlFlags(tio.cflag, settings);
    settings.flowControl = 0;
    if (tio.cflag & CRTSCTS)
        settings.flowControl = 1;
    else if ((tio.iflag & (IXON | IXOFF)) == (IXON | IXOFF))
        settings.flowControl = 2;
    return true;
}
} // namespace SerialLine
