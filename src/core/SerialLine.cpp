#include "SerialLine.h"

// termios2 and BOTHER come from the kernel headers; <termios.h> must not be included here.
#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace
{
// Unix98 pty slaves use majors 136 to 143; the legacy BSD slaves use 3.
bool IsPtySlaveMajor(unsigned major)
{
    return (major >= 136 && major <= 143) || major == 3;
}

tcflag_t SizeFlag(int dataBits)
{
    switch (dataBits)
    {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

tcflag_t ParityFlags(int parity)
{
    switch (parity)
    {
    case 1: return PARENB | PARODD;
    case 2: return PARENB;
    case 3: return PARENB | CMSPAR | PARODD; // mark: the parity bit is always 1
    case 4: return PARENB | CMSPAR;          // space: always 0
    default: return 0;
    }
}

int ParityFromFlags(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return 0;
    const bool odd = cflag & PARODD;
    if (cflag & CMSPAR)
        return odd ? 3 : 4;
    return odd ? 1 : 2;
}

int DataBitsFromFlags(tcflag_t cflag)
{
    switch (cflag & CSIZE)
    {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

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

namespace SerialLine
{
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
    struct stat st{};
    return fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && IsPtySlaveMajor(major(st.st_rdev));
}

ConfigureResult Configure(int fd, const LineSettings& settings)
{
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return ConfigureResult::Failed;

    // What Linux cannot set at all is refused before the driver sees it; a rate of 0 would
    // drop the modem lines (hang-up) instead of setting a speed.
    if (settings.dataBits < 5 || settings.dataBits > 8 || (settings.stopBits != 0 && settings.stopBits != 2)
        || settings.parity < 0 || settings.parity > 4 || settings.baudRate == 0)
        return ConfigureResult::Refused;

    tio.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY
                     | INPCK | IGNPAR | IUCLC | IMAXBEL);
    // INPCK stays off: with it (and without PARMRK) the kernel hands a byte that has a parity
    // or framing error over as 0, where the original line delivered the byte as it came and
    // only counted the error. A monitor shows what arrived; a mark or space parity protocol
    // (9-bit addressing) would otherwise lose every address byte.
    tio.c_oflag &= ~OPOST;
    tio.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= CLOCAL | CREAD | SizeFlag(settings.dataBits) | ParityFlags(settings.parity) | BOTHER
                   | (BOTHER << IBSHIFT);
    if (settings.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_ispeed = settings.baudRate;
    tio.c_ospeed = settings.baudRate;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    if (ioctl(fd, TCSETS2, &tio) != 0)
        return errno == EINVAL ? ConfigureResult::Refused : ConfigureResult::Failed;

    LineSettings now;
    if (!Read(fd, now))
        return ConfigureResult::Failed;
    if (!ReadBackMatches(settings, now, IsPseudoTerminal(fd)))
        return ConfigureResult::Refused;

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

bool Read(int fd, LineSettings& settings)
{
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    settings.baudRate = tio.c_ospeed;
    settings.parity = ParityFromFlags(tio.c_cflag);
    settings.dataBits = DataBitsFromFlags(tio.c_cflag);
    settings.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
    return true;
}
} // namespace SerialLine
