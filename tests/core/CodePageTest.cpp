#include "CodePage.h"

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
    EXPECT_EQ(gbk.FromUtf8("a\xF0\x9F\x98\x80" "b\x80" "c", &failures), "a?b?c");
    EXPECT_EQ(failures, 2u);
    EXPECT_EQ(gbk.ByteLength(U'\U0001F600'), 1u);

    // A lead byte without its trail, inside and at the end of the input.
    EXPECT_EQ(gbk.ToUtf8("x\xFF" "y", &failures), "x\xEF\xBF\xBDy");
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
