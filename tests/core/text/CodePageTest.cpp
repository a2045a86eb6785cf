#include "core/text/CodePage.h"
#include "core/receive/MonitorLine.h"
#include "core/send/LineSend.h"

#include <thread>

#include <gtest/gtest.h>

TEST(CodePage, GbkRoundTripOfChineseAndAscii)
{
    CodePage& gbk = CodePage::System();
    ASSERT_TRUE(gbk.IsValid());
    // "宋体" is CB CE CC E5 in GBK.
    const std::string bytes = gbk.FromUtf8("A宋体1");
    EXPECT_EQ(bytes, std::string("A\xCB\xCE\xCC\xE5"
                                 "1"));
    EXPECT_EQ(gbk.ToUtf8(bytes), "A宋体1");
    EXPECT_EQ(gbk.ByteLength(U'宋'), 2u);
    EXPECT_EQ(gbk.ByteLength(U'x'), 1u);
}

TEST(CodePage, UnconvertibleInputIsReplacedAndCounted)
{
    CodePage& gbk = CodePage::System();
    std::size_t failures = 0;
    // An emoji has no GBK form; a stray continuation byte is not UTF-8.
    EXPECT_EQ(gbk.FromUtf8("a\xF0\x9F\x98\x80"
                           "b\x80"
                           "c",
                           &failures),
              "a?b?c");
    EXPECT_EQ(failures, 2u);
    EXPECT_EQ(gbk.ByteLength(U'\U0001F600'), 1u);

    // A lead byte without its trail, inside and at the end of the input.
    EXPECT_EQ(gbk.ToUtf8("x\xFF"
                         "y",
                         &failures),
              "x\xEF\xBF\xBDy");
    EXPECT_EQ(failures, 1u);
    EXPECT_EQ(gbk.ToUtf8("x\xCB", &failures), "x\xEF\xBF\xBD");
    EXPECT_EQ(failures, 1u);
}

TEST(CodePage, LongInputAndOtherCodePages)
{
    CodePage& gbk = CodePage::System();
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "串口";
    EXPECT_EQ(gbk.FromUtf8(text).size(), 20000u);
    EXPECT_EQ(gbk.ToUtf8(gbk.FromUtf8(text)), text);

    CodePage latin(CodePage::NameForWindowsCodePage(1252));
    ASSERT_TRUE(latin.IsValid());
    EXPECT_EQ(latin.ToUtf8("\xE9\x80"), "é€");
    EXPECT_TRUE(CodePage::NameForWindowsCodePage(12345).empty());
    EXPECT_FALSE(CodePage("NO-SUCH-CODESET").IsValid());
}

// UTF-8 chosen for the line: ASC receive, ASC send and the byte counts of typed lines follow
// on every thread, a character cut in two by the packing interval shows one mark per byte,
// and stored files stay GBK.
TEST(CodePage, ChosenUtf8ForReceiveSendAndLengths)
{
    CodePage::SetSystemChoice(CodePage::Choice::Utf8);
    const std::string hello = "\xE4\xBD\xA0\xE5\xA5\xBD"; // 你好
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(hello.data());
    EXPECT_EQ(ReceivedMessageText(bytes, hello.size(), true), "你好");
    EXPECT_EQ(ReceivedMessageText(bytes, 1, true), "\xEF\xBF\xBD");
    EXPECT_EQ(ReceivedMessageText(bytes + 1, 5, true), "\xEF\xBF\xBD\xEF\xBF\xBD好");
    const LineSendPlan plan = PlanLineSend("你好", true, AscFraming{});
    EXPECT_TRUE(plan.ok);
    EXPECT_EQ(std::string(plan.bytes.begin(), plan.bytes.end()), hello);
    EXPECT_EQ(CodePage::System().ByteLength(U'你'), 3u);
    std::string other;
    std::thread([&other] { other = CodePage::System().FromUtf8("你"); }).join();
    EXPECT_EQ(other, "\xE4\xBD\xA0");
    EXPECT_EQ(CodePage::Gbk().FromUtf8("你好"), "\xC4\xE3\xBA\xC3");

    CodePage::SetSystemChoice(CodePage::Choice::Gbk);
    EXPECT_EQ(
        ReceivedMessageText(reinterpret_cast<const std::uint8_t*>("\xC4\xE3\xBA\xC3"), 4, true),
        "你好");
    EXPECT_EQ(CodePage::System().ByteLength(U'你'), 2u);
}
