#include "core/forward/TransmitPorts.h"

#include <gtest/gtest.h>

TEST(TransmitPorts, DecodesStoredPairsAndRefusesDamagedOnes)
{
    const TransmitPorts stored = TransmitPorts::Decode(3 + 256 * 255);
    EXPECT_EQ(stored.m_portA, 3);
    EXPECT_EQ(stored.m_portB, 255);
    EXPECT_EQ(stored.Encode(), 3 + 256 * 255);
    // Bits above the two bytes, as a hand-edited file may carry, do not change the pair.
    EXPECT_EQ(TransmitPorts::Decode(0x7F000000 | (7 + 256 * 9)).Encode(), 7 + 256 * 9);

    // Nothing stored, a port 0 on either side, the same port twice: the default pair.
    for (int damaged : {0, 256 * 5, 5, 4 + 256 * 4, -1})
        EXPECT_EQ(TransmitPorts::Decode(damaged).Encode(), 1 + 256 * 2) << damaged;
}
