#include "core/receive/MonitorLine.h"
#include "core/text/CodePage.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const std::vector<MonitorPiece>& pieces)
{
    std::string s;
    for (const auto& p : pieces)
        s += p.m_text;
    return s;
}

} // namespace

TEST(MonitorLine, MillisecondFieldIsBlankPadded)
{
    EXPECT_EQ(MillisecondField(0), "    ");
    EXPECT_EQ(MillisecondField(15), "  15");
    EXPECT_EQ(MillisecondField(1234), " 234");
    EXPECT_EQ(MillisecondField(2000), "    ");
    EXPECT_EQ(MillisecondField(999), " 999");
}

TEST(MonitorLine, PiecesAndColoursOfAReceivedAndASentLine)
{
    std::uint32_t tick = 1000;
    MonitorLineBuilder b([&] { return tick; }, [] { return std::string("12:30:05"); });
    std::vector<MonitorPiece> pieces;
    tick += 15;
    const std::uint8_t bytes[] = {1, 3, 10};
    b.Build(ReceivedMessageText(bytes, 3, false), 0, 1, true, true, pieces);
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(Joined(pieces), "[12:30:05  15] COM1↑01 03 0A\n");
    const int colours[] = {kColourGrey, kColourGrey, kColourPortNo, kColourGrey, kColourReceived};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(pieces[i].m_colour, colours[i]) << i;

    pieces.clear();
    b.Build("AB", 11, 0, false, true, pieces);
    EXPECT_EQ(Joined(pieces), "COM12↓AB\n");
    EXPECT_EQ(pieces.back().m_colour, kColourSent);

    pieces.clear();
    b.Build("", 0, 1, false, false, pieces); // options off: the text and a line feed only
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].m_text, "\n");
}

TEST(MonitorLine, StampCountsFromThePreviousStampAndWraps)
{
    std::uint32_t tick = 0xFFFFFF00u; // just before the 32-bit tick wraps
    MonitorLineBuilder b([&] { return tick; }, [] { return std::string("00:00:00"); });
    std::vector<MonitorPiece> pieces;

    tick += 1234; // wraps through zero
    b.Build("x", 0, 1, true, false, pieces);
    EXPECT_EQ(pieces[0].m_text, "[00:00:00 234] ");

    // Lines without a stamp do not move the reference point.
    tick += 500;
    b.Build("x", 0, 1, false, false, pieces);
    tick += 1500;
    pieces.clear();
    b.Build("x", 0, 1, true, false, pieces);
    EXPECT_EQ(pieces[0].m_text, "[00:00:00    ] "); // exactly 2000 ms
    EXPECT_EQ(b.LastStampTick(), tick);
}

TEST(MonitorLine, AscTextStopsAtTheFirstZeroByte)
{
    const std::uint8_t a0b[] = {0x41, 0x00, 0x42};
    EXPECT_EQ(ReceivedMessageText(a0b, 3, true), "A");
    EXPECT_EQ(ReceivedMessageText(a0b + 1, 2, true), "");
    const std::uint8_t gbk[] = {0xCB, 0xCE, 0x0D, 0x0A}; // 宋 CR LF: control characters stay
    EXPECT_EQ(ReceivedMessageText(gbk, 4, true), "宋\r\n");
    EXPECT_EQ(ReceivedMessageText(a0b, 0, true), "");
    EXPECT_EQ(ReceivedMessageText(a0b, 0, false), "");
    const std::uint8_t ff[] = {0xFF, 0x00, 0xA5};
    EXPECT_EQ(ReceivedMessageText(ff, 3, false), "FF 00 A5");
}

// The clock form of the stamp is the clock's own text; the interval form still counts from
// the last stamp of either form.
TEST(MonitorLine, ClockStampAndBackToTheInterval)
{
    std::uint32_t tick = 0;
    MonitorLineBuilder b([&] { return tick; }, [] { return std::string("12:30:05"); },
                         [] { return std::string("12:30:05.015"); });
    std::vector<MonitorPiece> pieces;
    b.SetClockMilliseconds(true);
    tick = 700;
    b.Build("x", 0, 1, true, false, pieces);
    b.SetClockMilliseconds(false);
    tick = 750;
    b.Build("x", 0, 1, true, false, pieces);
    EXPECT_EQ(Joined(pieces), "[12:30:05.015] x\n[12:30:05  50] x\n");
    tick = 800; // a notice line's stamp counts and is counted from like a message's
    EXPECT_EQ(b.Stamp(), "[12:30:05  50] ");
    tick = 810;
    b.Build("y", 0, 1, true, false, pieces);
    EXPECT_EQ(Joined(pieces).substr(Joined(pieces).size() - 17), "[12:30:05  10] y\n");
    EXPECT_EQ(LocalClockText().substr(8, 1), ".");
}

// Every byte shows: control bytes escaped, nothing cut at a zero byte, no line break left,
// characters of the code page (the text encoding chosen) as characters, however many bytes
// they take, and a byte that begins none as \xHH.
TEST(MonitorLine, AscTextWithEveryByteHidesNothing)
{
    using Choice = CodePage::Choice;
    const struct
    {
        std::vector<std::uint8_t> bytes;
        const char* text;
        Choice encoding = Choice::Gbk;
    } cases[] = {
        {{0x41, 0x00, 0x42}, "A\\0B"},
        {{'O', 'K', 0x0D, 0x0A}, "OK\\r\\n"},
        {{0x01, 0x1B, 0x7F, 0x09}, "\\x01\\x1B\\x7F\\t"},
        {{0xCB, 0xCE, '\\', 0xFF, 0xB8}, "宋\\\\\\xFF\\xB8"}, // 0xB8: a lead byte cut off
        // GB18030's four-byte form of 😀 is no character of GBK.
        {{0x94, 0x39, 0xFC, 0x36, 0xD6, 0xD0}, "\\x949\\xFC6中"},
        {{0xE4, 0xB8, 0xAD, 0x0A, 0xF0, 0x9F, 0x98, 0x80}, "中\\n😀", Choice::Utf8},
        {{0xF0, 0x9F, 0x98, 0x80, 0xE4, 0xB8}, "😀\\xE4\\xB8", Choice::Utf8}, // 中 cut off
    };
    for (const auto& c : cases) {
        CodePage::SetSystemChoice(c.encoding);
        EXPECT_EQ(ReceivedMessageText(c.bytes.data(), c.bytes.size(), true, true), c.text);
    }
    CodePage::SetSystemChoice(Choice::Gbk);
    EXPECT_EQ(ReceivedMessageText(cases[0].bytes.data(), 3, false, true),
              "41 00 42"); // hex: as always
}
