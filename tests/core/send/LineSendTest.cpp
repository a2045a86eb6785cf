#include "core/send/LineSend.h"

#include <gtest/gtest.h>

using Bytes = std::vector<unsigned char>;

TEST(LineSend, AscFramingAddsAllFourInOrder)
{
    const LineSendPlan plan = PlanLineSend("AB", true, AscFraming{true, true, true, true});
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.bytes, (Bytes{0x02, 0x41, 0x42, 0x03, 0x0D, 0x0A}));
    EXPECT_EQ(plan.monitorText, std::string("\x02"
                                            "AB\x03\r\n"));

    std::string text = "x";
    ApplyAscFraming(text, AscFraming{false, true, false, true});
    EXPECT_EQ(text, "x\x03\n");
}

TEST(LineSend, AscLineIsSentInTheSystemCodePage)
{
    const LineSendPlan plan = PlanLineSend("中文 A", true, AscFraming{});
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.bytes, (Bytes{0xD6, 0xD0, 0xCE, 0xC4, 0x20, 0x41}));
    EXPECT_EQ(plan.monitorText, "中文 A");
}

TEST(LineSend, HexLineIsDecodedAndEchoedAsTyped)
{
    const LineSendPlan plan =
        PlanLineSend("eb 90 02 34 0d", false, AscFraming{true, true, true, true});
    ASSERT_TRUE(plan.ok);
    EXPECT_EQ(plan.bytes, (Bytes{0xEB, 0x90, 0x02, 0x34, 0x0D}));
    EXPECT_EQ(plan.monitorText, "eb 90 02 34 0d");
}

TEST(LineSend, EmptyAndFaultyLinesAreRefused)
{
    EXPECT_FALSE(PlanLineSend("", false, AscFraming{}).ok);
    EXPECT_FALSE(PlanLineSend("", true, AscFraming{true, false, false, false}).ok);
    EXPECT_FALSE(PlanLineSend("EB 90 ", false, AscFraming{}).ok);
    EXPECT_FALSE(PlanLineSend("<<--    -->>", false, AscFraming{}).ok);
    EXPECT_FALSE(PlanLineSend("EB 中", false, AscFraming{}).ok);

    // The same trailing blank goes out as it is in ASC mode.
    const LineSendPlan asc = PlanLineSend("EB 90 ", true, AscFraming{});
    ASSERT_TRUE(asc.ok);
    EXPECT_EQ(asc.bytes, (Bytes{'E', 'B', ' ', '9', '0', ' '}));
}
