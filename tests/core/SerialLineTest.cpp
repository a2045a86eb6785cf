#include "SerialLine.h"

#include <gtest/gtest.h>

namespace
{
SerialLine::LineSettings Line(std::uint32_t rate, int parity = 0, int dataBits = 8, int stopBits = 0)
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
