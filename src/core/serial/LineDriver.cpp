#include "core/serial/LineDriver.h"

#include "core/serial/SerialLine.h"

// termios2 comes from the kernel headers; <termios.h> must not be included here.
#include <algorithm>
#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

static_assert(sizeof(termios2::c_cc) == LineDriver::Attributes::kControlChars);

namespace {
class KernelLineDriver : public LineDriver
{
public:
    int Get(int fd, Attributes& attributes) override
    {
        termios2 tio{};
        if (ioctl(fd, TCGETS2, &tio) != 0)
            return errno;
        attributes.iflag = tio.c_iflag;
        attributes.oflag = tio.c_oflag;
        attributes.cflag = tio.c_cflag;
        attributes.lflag = tio.c_lflag;
        attributes.line = tio.c_line;
        std::copy(std::begin(tio.c_cc), std::end(tio.c_cc), attributes.cc.begin());
        attributes.ispeed = tio.c_ispeed;
        attributes.ospeed = tio.c_ospeed;
        return 0;
    }

    int Set(int fd, const Attributes& attributes) override
    {
        termios2 tio{};
        tio.c_iflag = attributes.iflag;
        tio.c_oflag = attributes.oflag;
        tio.c_cflag = attributes.cflag;
        tio.c_lflag = attributes.lflag;
        tio.c_line = attributes.line;
        std::copy(attributes.cc.begin(), attributes.cc.end(), std::begin(tio.c_cc));
        tio.c_ispeed = attributes.ispeed;
        tio.c_ospeed = attributes.ospeed;
        return ioctl(fd, TCSETS2, &tio) == 0 ? 0 : errno;
    }

    bool IsPseudoTerminal(int fd) override { return SerialLine::IsPseudoTerminal(fd); }
};
} // namespace

LineDriver& LineDriver::Kernel()
{
    static KernelLineDriver kernel;
    return kernel;
}
