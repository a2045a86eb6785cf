#include "core/send/CheckCode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::vector<unsigned char> kDigits = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
const std::vector<unsigned char> kExample = {0xEB, 0x90, 0x02, 0x34, 0x0D};

int Count(const std::vector<unsigned char>& v)
{
    return static_cast<int>(v.size());
}

} // namespace

// The 16-bit results arrive byte-exchanged: register 31C3 is returned as C331.
TEST(CheckCode, WorkedValues)
{
    const CCheckCode cc;
    EXPECT_EQ(cc.CrcCcitt16(kDigits.data(), Count(kDigits)), 0xC331);
    EXPECT_EQ(cc.CrcCcitt16(kExample.data(), Count(kExample)), 0xF067);
    EXPECT_EQ(cc.CrcAnsi16(kDigits.data(), Count(kDigits)), 0x374B);
    EXPECT_EQ(cc.CrcAnsi16(kExample.data(), Count(kExample)), 0x5BD2);
    const unsigned char query[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(cc.CrcAnsi16(query, 6), 0x840A); // sent as 84 0A
    EXPECT_EQ(cc.CrcCcitt8(kDigits.data(), Count(kDigits)), 0x0B);
    EXPECT_EQ(cc.CrcCcitt8(kExample.data(), Count(kExample)), 0x75);
    const unsigned char pair[] = {0x33, 0x34};
    EXPECT_EQ(cc.CrcCcitt8(pair, 2), 0xB5);
    EXPECT_EQ(cc.ByteSum(kDigits.data(), Count(kDigits)), 0x01DD);
    EXPECT_EQ(cc.ByteSum(kExample.data(), Count(kExample)), 0x01BE);

    const unsigned char zero[] = {0x00};
    EXPECT_EQ(cc.CrcCcitt16(zero, 1), 0x0000);
    EXPECT_EQ(cc.CrcAnsi16(zero, 1), 0xBF40); // register 40BF
    EXPECT_EQ(cc.CrcCcitt8(zero, 1), 0xFF);
    EXPECT_EQ(cc.ByteSum(zero, 1), 0x0000);
}

TEST(CheckCode, SumWrapsAndCountLimitsTheInput)
{
    const CCheckCode cc;
    const std::vector<unsigned char> ff(300, 0xFF);
    EXPECT_EQ(cc.ByteSum(ff.data(), 300), (300 * 0xFF) & 0xFFFF);
    const std::vector<unsigned char> many(257 * 255, 0xFF); // 65535 * 255 wraps many times
    EXPECT_EQ(cc.ByteSum(many.data(), Count(many)), (257u * 255u * 255u) % 65536u);
    // Only the first count bytes take part.
    const unsigned char six[] = {'1', '2', '3', '4', '5', '6'};
    EXPECT_EQ(cc.CrcAnsi16(kDigits.data(), 6), cc.CrcAnsi16(six, 6));
    EXPECT_NE(cc.CrcAnsi16(kDigits.data(), 6), cc.CrcAnsi16(kDigits.data(), 7));
}

TEST(CheckCode, EmptyInputGivesAllOnes)
{
    const CCheckCode cc;
    EXPECT_FALSE(CCheckCode::IsValidArray(nullptr, 5));
    EXPECT_FALSE(CCheckCode::IsValidArray(kDigits.data(), 0));
    EXPECT_TRUE(CCheckCode::IsValidArray(kDigits.data(), 1));
    EXPECT_EQ(cc.CrcCcitt16(nullptr, 3), 0xFFFF);
    EXPECT_EQ(cc.CrcAnsi16(kDigits.data(), 0), 0xFFFF);
    EXPECT_EQ(cc.CrcCcitt8(kDigits.data(), -1), 0xFF);
    EXPECT_EQ(cc.ByteSum(nullptr, 0), 0xFFFF);
    EXPECT_STREQ(CCheckCode::kInvalidArrayText, "无效数组！");
}

TEST(CheckCode, AppendedTextPerCommand)
{
    struct Case
    {
        int command;
        const char* line;
        const char* text;
    };
    const Case cases[] = {
        {32799, "31 32 33 34 35 36 37 38 39", " DD"},
        {32800, "31 32 33 34 35 36 37 38 39", " DD 01"},
        {32801, "31 32 33 34 35 36 37 38 39", "31 32 33 34 35 36 E4 32"},
        {32802, "31 32 33 34 35 36 37 38 39", " 31 C3"},
        {32803, "31 32 33 34 35 36 37 38 39", " 0B"},
        {32804, "31 32 33 34 35 36 37 38 39", " 37 4B"},
        {32799, "eb 90 02 34 0d", " BE"},
        {32800, "EB 90 02 34 0D", " BE 01"},
        {32802, "EB 90 02 34 0D", " 67 F0"},
        {32803, "EB 90 02 34 0D", " 75"},
        {32804, "EB 90 02 34 0D", " 5B D2"},
        {32801, "01 03 00 00 00 01 55", "01 03 00 00 00 01 84 0A"},
        {32801, "01 03 00 00 00 01 FF FF", "01 03 00 00 00 01 84 0A"},
        {32801, "01 03 00 00 00 01", "01 03 00 00 00 01 84 0A"},
        {32801, "0a 0b 0c 0d 0e 0f", "0A 0B 0C 0D 0E 0F 73 87"},
        {32803, "33 34", " B5"},
        {32799, "00", " 00"},
        {32800, "00", " 00 00"},
        {32802, "00", " 00 00"},
        {32803, "00", " FF"},
        {32804, "00", " BF 40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " " << c.line);
        const auto kind = CheckKindFromCommand(c.command);
        ASSERT_TRUE(kind.has_value());
        const CheckCodeEdit edit = MakeCheckCodeEdit(*kind, c.line);
        EXPECT_TRUE(edit.bOk);
        EXPECT_EQ(edit.bReplaceLine, c.command == 32801);
        EXPECT_EQ(edit.text, c.text);
    }
    EXPECT_EQ(MakeCheckCodeEdit(CheckKind::Modbus, "01 03 00 00 00 01").code, 0x840A);
    EXPECT_FALSE(CheckKindFromCommand(32805).has_value());
    EXPECT_FALSE(CheckKindFromCommand(32798).has_value());
}

TEST(CheckCode, AppendRefusesBadText)
{
    for (const char* line : {"EB 90 ", "31 32\n33", ""}) {
        const CheckCodeEdit edit = MakeCheckCodeEdit(CheckKind::Sum8, line);
        EXPECT_FALSE(edit.bOk);
        EXPECT_EQ(edit.message, "格式不对！组合键Ctrl+Alt+P分析错误！");
        EXPECT_EQ(edit.code, 0xFFFF);
    }
    const CheckCodeEdit edit = MakeCheckCodeEdit(CheckKind::Modbus, "EB 90 02 34 0D");
    EXPECT_FALSE(edit.bOk);
    EXPECT_EQ(edit.message, "MODBUS查询报文长度不能小于6个字节！");
    EXPECT_TRUE(edit.text.empty());
}
