#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// What the line layer asks of a tty's driver: the line's attributes (the termios2 ioctls
// TCGETS2 and TCSETS2) and whether it is the pseudo-terminal driver. Real drivers refuse
// settings (EINVAL), or take them and drop or round what their hardware lacks; a
// pseudo-terminal takes everything. The kernel's by default; a test gives one that behaves as
// a real driver would.
class LineDriver
{
public:
    // The kernel's struct termios2 field by field, with the flag values and c_cc indexes of
    // <termios.h> (the kernel's termbits agree).
    struct Attributes
    {
        static constexpr std::size_t kControlChars = 19; // the kernel's NCCS
        std::uint32_t iflag = 0;
        std::uint32_t oflag = 0;
        std::uint32_t cflag = 0;
        std::uint32_t lflag = 0;
        std::uint8_t line = 0;
        std::array<std::uint8_t, kControlChars> cc{};
        std::uint32_t ispeed = 0;
        std::uint32_t ospeed = 0;
    };

    // The kernel's: ioctls without state, for every port at once.
    static LineDriver& Kernel();

    virtual ~LineDriver() = default;
    // 0, or an errno value.
    virtual int Get(int fd, Attributes& attributes) = 0;
    virtual int Set(int fd, const Attributes& attributes) = 0;
    virtual bool IsPseudoTerminal(int fd) = 0;
};
