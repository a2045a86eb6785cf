#include "core/serial/SerialLine.h"

#include <gtest/gtest.h>
#include <termios.h>

namespace {
SerialLine::LineSettings Line(std::uint32_t rate, int parity = 0, int dataBits = 8,
                              int stopBits = 0)
{
    SerialLine::LineSettings s;
    s.baudRate = rate;
    s.parity = parity;
    s.dataBits = dataBits;
    s.stopBits = stopBits;
    return s;
}
} // namespace

TEST(SerialLine, ReadBackDecidesWhatTheDriverRefused)
{
    using SerialLine::ReadBackMatches;
    EXPECT_TRUE(ReadBackMatches(Line(9600), Line(9600), false));
    // An FTDI divisor gives 128342 for 128000: rounding, not refusal.
    EXPECT_TRUE(ReadBackMatches(Line(128000), Line(128342), false));
    EXPECT_TRUE(ReadBackMatches(Line(100000), Line(103000), false));
    EXPECT_FALSE(ReadBackMatches(Line(100000), Line(103001), false));
    // A 16550 at 1.8432 MHz cannot go above 115200 and falls back to another rate.
    EXPECT_FALSE(ReadBackMatches(Line(256000), Line(9600), false));
    EXPECT_FALSE(ReadBackMatches(Line(128000), Line(115200), false));
    // A driver without mark/space parity or 5 data bits drops them.
    EXPECT_FALSE(ReadBackMatches(Line(9600, 3), Line(9600, 0), false));
    EXPECT_FALSE(ReadBackMatches(Line(9600, 0, 5), Line(9600, 0, 8), false));
    EXPECT_FALSE(ReadBackMatches(Line(9600, 0, 8, 2), Line(9600, 0, 8, 0), false));
    // A pseudo-terminal keeps CS8 and no parity whatever is asked; that is no refusal.
    EXPECT_TRUE(ReadBackMatches(Line(9600, 4, 7), Line(9600, 0, 8), true));
    EXPECT_FALSE(ReadBackMatches(Line(9600, 4, 7, 2), Line(9600, 0, 8, 0), true));
    EXPECT_FALSE(ReadBackMatches(Line(57600), Line(9600), true));
}

// A pseudo-terminal keeps no parity, so the frame bits are checked here, not on a line.
TEST(SerialLine, FrameBitsOfEveryParityDataBitsAndStopBits)
{
    using SerialLine::ControlFlags;
    const struct
    {
        int parity;
        std::uint32_t bits;
    } parities[] = {
        {0, 0},
        {1, PARENB | PARODD},
        {2, PARENB},
        {3, PARENB | CMSPAR | PARODD}, // mark
        {4, PARENB | CMSPAR},          // space
    };
    const struct
    {
        int dataBits;
        std::uint32_t size;
    } sizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};

    for (const auto& p : parities)
        for (const auto& d : sizes)
            for (int stop : {0, 2}) {
                SCOPED_TRACE(testing::Message() << "parity " << p.parity << ", " << d.dataBits
                                                << " data bits, stop " << stop);
                const SerialLine::LineSettings asked = Line(9600, p.parity, d.dataBits, stop);
                const std::uint32_t flags = ControlFlags(asked);
                EXPECT_EQ(flags, p.bits | d.size | (stop == 2 ? CSTOPB : 0u));

                // Read back: the same frame, from the frame bits among other c_cflag bits.
                SerialLine::LineSettings got = Line(115200, 1, 5, 2);
                SerialLine::SetFrameFromControlFlags(flags | CREAD | CLOCAL | CRTSCTS, got);
                EXPECT_EQ(got.parity, asked.parity);
                EXPECT_EQ(got.dataBits, asked.dataBits);
                EXPECT_EQ(got.stopBits, asked.stopBits);
                EXPECT_EQ(got.baudRate, 115200u);
            }
}

// What stty reads: a rate's Bxxx code, else BOTHER (CBAUDEX); 0 never as B0 (hang-up).
TEST(SerialLine, SpeedFlagsUseTheBxxxCodeWhereARateHasOne)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {50, B50},         {134, B134},         {9600, B9600},
        {115200, B115200}, {4000000, B4000000}, {128000, CBAUDEX},
        {256000, CBAUDEX}, {9601, CBAUDEX},     {0, CBAUDEX}};
    for (const auto& [rate, code] : cases)
        EXPECT_EQ(SerialLine::SpeedFlags(rate), code | (code << 16)) << rate;
}
