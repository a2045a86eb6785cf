#include "core/text/HexText.h"
#include "core/text/CodePage.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

struct BadText
{
    std::string text;
    std::string message;
    int position;
};

// One case per message, and the cases where the order of the tests decides the fault.
const BadText kBadTexts[] = {
    {"", "长度不能小于 1 个字节！", 0},
    {"E", "长度不能小于 1 个字节！", 0},
    {"EB 9", "最后不能为半个字节！", 4},
    {"EB 90 ", "最后多出一个字符：  '   '", 6},
    {"GG ", "最后多出一个字符：  '   '", 3},
    {"EB  90", "最后多出一个字符：  ' 0 '", 6},
    {"11 22\xCB", "最后多出一个非ASCII字符，其16进制为：  CB H", 6},
    {"EB,90", "第 1 个字节后的字符  ' , '  必须改为  空格", 3},
    {"EB  90  02  34  0D", "第 2 个字节后的字符  ' 0 '  必须改为  空格", 6},
    {"11 22\xCB\xCE", "第 2 个字节后为非ASCII字符，其16进制为：  CB H。必须改为  空格", 6},
    {"G0 11", "第 1 个字节的高位不能为  ' G '，必须是16进制数", 1},
    {" 0 11", "第 1 个字节的高位不能为  空格，必须是16进制数", 1},
    {"\xCB\xCE 11", "第 1 个字节的高位为非ASCII字符，其16进制为：  CB H。必须是16进制数", 1},
    {"0x 11", "第 1 个字节的低位不能为  ' x '，必须是16进制数", 2},
    {"0  11", "第 1 个字节的低位不能为  空格，必须是16进制数", 2},
    {"11 2\xCB", "第 2 个字节的低位为非ASCII字符，其16进制为：  CB H。必须是16进制数", 5},
    {"11 GZ 33", "第 2 个字节的高位不能为  ' G '，必须是16进制数", 4},
    {"11 2\0"s, "第 2 个字节的低位不能为  ' \0 '，必须是16进制数"s, 5},
};

} // namespace

TEST(HexText, CheckNamesTheFirstFaultAndItsPosition)
{
    for (const BadText& bad : kBadTexts) {
        SCOPED_TRACE(bad.text);
        std::string message = "unchanged";
        int position = -1;
        EXPECT_FALSE(CheckHexText(bad.text, message, position));
        EXPECT_EQ(message, bad.message);
        EXPECT_EQ(position, bad.position);
        EXPECT_FALSE(IsHexText(bad.text));
    }
}

TEST(HexText, ValidTextDecodes)
{
    std::vector<unsigned char> bytes;
    for (const char* good : {"EB", "eb 9f", "00 Ff 7a", "EB 90 02 34 0D"}) {
        SCOPED_TRACE(good);
        std::string message = "unchanged";
        int position = 7;
        EXPECT_TRUE(CheckHexText(good, message, position));
        EXPECT_EQ(message, "unchanged");
        EXPECT_EQ(position, 7);
        EXPECT_TRUE(IsHexText(good));
    }
    EXPECT_EQ(HexTextToBytes("EB", bytes), 1);
    EXPECT_EQ(bytes, std::vector<unsigned char>{0xEB});
    EXPECT_EQ(HexTextToBytes("eb 9f", bytes), 2);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xEB, 0x9F}));
    EXPECT_EQ(HexTextToBytes("E", bytes), 0);
    EXPECT_TRUE(bytes.empty());
    // Unchecked text is not defined, but must stay in bounds.
    EXPECT_EQ(HexTextToBytes("EB 9", bytes), 2);
}

TEST(HexText, BytesToText)
{
    const unsigned char bytes[] = {0xEB, 0x90, 0x02};
    EXPECT_EQ(BytesToHexText(bytes, 3), "EB 90 02");
    EXPECT_EQ(BytesToHexText(bytes, 0), "");
    EXPECT_EQ(BytesToHexText(nullptr, 3), "");
    EXPECT_EQ(BytesToHexText(std::string_view("\x0A", 1)), "0A");
    EXPECT_EQ(BytesToHexText(std::string_view("\0\xff", 2)), "00 FF");
}

TEST(HexText, LinesLongerThan4096BytesAreHandledWhole)
{
    std::string raw;
    for (int i = 0; i < 5000; ++i)
        raw += static_cast<char>(i % 255 + 1);
    const std::string text = BytesToHexText(raw);
    ASSERT_EQ(text.size(), 5000u * 3 - 1);
    EXPECT_TRUE(IsHexText(text));
    std::vector<unsigned char> bytes;
    EXPECT_EQ(HexTextToBytes(text, bytes), 5000);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), raw);
    std::string chars;
    EXPECT_TRUE(ConvertLineText(text, chars, true));
    EXPECT_EQ(chars, raw);

    std::string broken = text;
    broken[4500 * 3 + 1] = 'g';
    std::string message;
    int position = 0;
    EXPECT_FALSE(CheckHexText(broken, message, position));
    EXPECT_EQ(message, "第 4501 个字节的低位不能为  ' g '，必须是16进制数");
    EXPECT_EQ(position, 4500 * 3 + 2);
}

TEST(HexText, ConvertLine)
{
    std::string result = "old";
    EXPECT_TRUE(ConvertLineText("41 00 42", result, true));
    EXPECT_EQ(result, "A");
    EXPECT_TRUE(ConvertLineText("A\tB", result, false));
    EXPECT_EQ(result, "41 09 42");
    EXPECT_TRUE(ConvertLineText(result, result, true));
    EXPECT_EQ(result, "A\tB");

    result = "old";
    EXPECT_FALSE(ConvertLineText("41 0", result, true));
    EXPECT_FALSE(ConvertLineText("", result, true));
    EXPECT_FALSE(ConvertLineText("", result, false));
    EXPECT_EQ(result, "old");

    // Chinese characters go through as their GBK bytes.
    const std::string song = CodePage::System().FromUtf8("宋体");
    EXPECT_TRUE(ConvertLineText(song, result, false));
    EXPECT_EQ(result, "CB CE CC E5");
    EXPECT_TRUE(ConvertLineText("cb ce cc e5", result, true));
    EXPECT_EQ(CodePage::System().ToUtf8(result), "宋体");
}

TEST(HexText, FaultyLineMessage)
{
    EXPECT_EQ(HexLineErrorText(0, "最后不能为半个字节！"),
              "第 1 行    报文格式出错：\n\n最后不能为半个字节！\n\n报文格式："
              "\n1、每 2 个字节间有一个空格；\n2、每个字节必须为16进制数：0~9，a~f，A~F；"
              "\n3、最后一个字节后不能有任何字符。\n\n示例报文(共5个字节)：EB  90  02  34  0D");
    EXPECT_TRUE(HexLineErrorText(41, "x").starts_with("第 42 行"));
}
