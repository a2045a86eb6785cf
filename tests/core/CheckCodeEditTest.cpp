#include "CheckCodeEdit.h"

#include <gtest/gtest.h>

namespace {

std::string Apply(CheckKind kind, const std::string& line, const std::string& selection = {})
{
    const CheckCodeEdit edit = PlanCheckCode(kind, line, selection);
    switch (edit.action) {
    case CheckCodeEdit::ReplaceLine: return edit.text;
    case CheckCodeEdit::AppendAtLineEnd: return line + edit.text;
    case CheckCodeEdit::Refused: break;
    }
    return "refused: " + edit.message;
}

CheckKind Kind(int command)
{
    CheckKind kind{};
    EXPECT_TRUE(CheckKindFromCommand(command, kind)) << command;
    return kind;
}

} // namespace

TEST(CheckCodeEdit, WorkedExamplesOnOneToNine)
{
    const std::string line = "31 32 33 34 35 36 37 38 39";
    EXPECT_EQ(Apply(Kind(32799), line), line + " DD");
    EXPECT_EQ(Apply(Kind(32800), line), line + " DD 01");
    EXPECT_EQ(Apply(Kind(32801), line), "31 32 33 34 35 36 E4 32");
    EXPECT_EQ(Apply(Kind(32802), line), line + " 31 C3");
    EXPECT_EQ(Apply(Kind(32803), line), line + " 0B");
    EXPECT_EQ(Apply(Kind(32804), line), line + " 37 4B");
}

TEST(CheckCodeEdit, WorkedExamplesOnTheExampleMessage)
{
    const std::string line = "EB 90 02 34 0D";
    EXPECT_EQ(Apply(CheckKind::Sum8, line), line + " BE");
    EXPECT_EQ(Apply(CheckKind::Sum16, line), line + " BE 01");
    EXPECT_EQ(Apply(CheckKind::Ccitt16, line), line + " 67 F0");
    EXPECT_EQ(Apply(CheckKind::Ccitt8, line), line + " 75");
    EXPECT_EQ(Apply(CheckKind::Ansi16, line), line + " 5B D2");
    EXPECT_EQ(Apply(CheckKind::Modbus, line), "refused: MODBUS查询报文长度不能小于6个字节！");

    const CheckCodeEdit edit = PlanCheckCode(CheckKind::Ccitt16, line, {});
    EXPECT_EQ(edit.code, 0x67F0);
    EXPECT_EQ(PlanCheckCode(CheckKind::Modbus, line, {}).code, 0xFFFF);
}

TEST(CheckCodeEdit, ModbusRewritesTheLine)
{
    EXPECT_EQ(Apply(CheckKind::Modbus, "01 03 00 00 00 01 55"), "01 03 00 00 00 01 84 0A");
    EXPECT_EQ(Apply(CheckKind::Modbus, "01 03 00 00 00 01"), "01 03 00 00 00 01 84 0A");
    // An old CRC is replaced; lower case comes back upper case.
    EXPECT_EQ(Apply(CheckKind::Modbus, "01 03 00 00 00 01 12 34"), "01 03 00 00 00 01 84 0A");
    EXPECT_EQ(Apply(CheckKind::Modbus, "01 03 00 00 00 0a"), "01 03 00 00 00 0A C5 CD");
    // The selection does not count for MODBUS.
    EXPECT_EQ(Apply(CheckKind::Modbus, "01 03 00 00 00 01", "03 00"), "01 03 00 00 00 01 84 0A");
}

TEST(CheckCodeEdit, SelectionIsCheckedButTheCodeGoesToTheLineEnd)
{
    EXPECT_EQ(Apply(CheckKind::Ccitt8, "31 32 33 34", "33 34"), "31 32 33 34 B5");
    EXPECT_EQ(Apply(CheckKind::Sum8, "31 32\n33", "32\n33"),
              "refused: 格式不对！组合键Ctrl+Alt+P分析错误！");
}

TEST(CheckCodeEdit, SingleZeroByteAndFaultyText)
{
    EXPECT_EQ(Apply(CheckKind::Sum8, "00"), "00 00");
    EXPECT_EQ(Apply(CheckKind::Sum16, "00"), "00 00 00");
    EXPECT_EQ(Apply(CheckKind::Ccitt16, "00"), "00 00 00");
    EXPECT_EQ(Apply(CheckKind::Ccitt8, "00"), "00 FF");
    EXPECT_EQ(Apply(CheckKind::Ansi16, "00"), "00 BF 40");
    EXPECT_EQ(Apply(CheckKind::Sum8, "eb 90 02 34 0d"), "eb 90 02 34 0d BE");

    EXPECT_EQ(Apply(CheckKind::Sum8, "EB 90 "), "refused: 格式不对！组合键Ctrl+Alt+P分析错误！");
    EXPECT_EQ(Apply(CheckKind::Sum8, ""), "refused: 格式不对！组合键Ctrl+Alt+P分析错误！");
}

TEST(CheckCodeEdit, CommandIds)
{
    CheckKind kind{};
    EXPECT_TRUE(CheckKindFromCommand(32805, kind)); // CDT: the CCITT 8-bit CRC
    EXPECT_EQ(kind, CheckKind::Ccitt8);
    EXPECT_FALSE(CheckKindFromCommand(32798, kind));
    EXPECT_FALSE(CheckKindFromCommand(32806, kind));
    EXPECT_EQ(Kind(32800), CheckKind::Sum16);
    EXPECT_EQ(Kind(32804), CheckKind::Ansi16);
}
