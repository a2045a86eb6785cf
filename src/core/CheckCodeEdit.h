#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The six kinds of check code the send editor appends.
enum class CheckKind { Modbus = 0, Ccitt16 = 1, Ccitt8 = 2, Ansi16 = 3, Sum8 = 4, Sum16 = 5 };

// Command ids of the menu "添加校验(&P)": 32799 Sum8, 32800 Sum16, 32801 Modbus,
// 32802 Ccitt16, 32803 Ccitt8, 32804 Ansi16, and 32805 "CDT规约CRC(&T)", whose CRC is the
// CCITT 8-bit one. False for any other id.
bool CheckKindFromCommand(int id, CheckKind& kind);

// What appending a check code does to the caret line, worked out on the texts alone.
struct CheckCodeEdit
{
    enum Action { Refused, ReplaceLine, AppendAtLineEnd };
    Action action = Refused;
    std::string text;            // hex text to put in (ASCII)
    std::uint16_t code = 0xFFFF; // the computed code; 0xFFFF when refused
    std::string message;         // UTF-8, the message box text when refused
};

// lineText: the caret line, selectedText: the selection (both in code-page bytes; line
// breaks in a selection as '\n'). MODBUS, or an empty selection, works on the whole line.
CheckCodeEdit PlanCheckCode(CheckKind kind, std::string_view lineText, std::string_view selectedText);
