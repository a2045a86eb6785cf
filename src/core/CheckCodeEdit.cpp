#include "CheckCodeEdit.h"

#include "CheckCode.h"
#include "HexText.h"

#include <cstdio>
#include <vector>

bool CheckKindFromCommand(int id, CheckKind& kind)
{
    switch (id) {
    case 32799: kind = CheckKind::Sum8; return true;
    case 32800: kind = CheckKind::Sum16; return true;
    case 32801: kind = CheckKind::Modbus; return true;
    case 32802: kind = CheckKind::Ccitt16; return true;
    case 32803: kind = CheckKind::Ccitt8; return true;
    case 32804: kind = CheckKind::Ansi16; return true;
    case 32805: kind = CheckKind::Ccitt8; return true; // CDT uses the CCITT 8-bit CRC
    default: return false;
    }
}

namespace {

std::string Hex(std::initializer_list<unsigned> bytes)
{
    std::string out;
    char buf[4];
    for (unsigned b : bytes) {
        std::snprintf(buf, sizeof buf, " %02X", b & 0xFFu);
        out += buf;
    }
    return out;
}

// CCheckCode hands the 16-bit CRC registers over with their bytes exchanged.
std::uint16_t Register(std::uint16_t exchanged)
{
    return static_cast<std::uint16_t>((exchanged << 8) | (exchanged >> 8));
}

} // namespace

CheckCodeEdit PlanCheckCode(CheckKind kind, std::string_view lineText, std::string_view selectedText)
{
    CheckCodeEdit edit;
    const std::string_view text =
        (kind == CheckKind::Modbus || selectedText.empty()) ? lineText : selectedText;
    if (!IsHexText(text)) {
        edit.message = "格式不对！组合键Ctrl+Alt+P分析错误！";
        return edit;
    }
    std::vector<unsigned char> bytes = HexTextToBytes(text);
    const int n = static_cast<int>(bytes.size());
    CCheckCode calc;

    if (kind == CheckKind::Modbus) {
        if (n < 6) {
            edit.message = "MODBUS查询报文长度不能小于6个字节！";
            return edit;
        }
        const std::uint16_t crc = Register(calc.CrcAnsi16(bytes.data(), 6));
        bytes.resize(8);
        bytes[6] = static_cast<unsigned char>(crc & 0xFF);
        bytes[7] = static_cast<unsigned char>(crc >> 8);
        edit.action = CheckCodeEdit::ReplaceLine;
        edit.text = BytesToHexText(bytes.data(), 8);
        edit.code = crc;
        return edit;
    }

    std::uint16_t code = 0;
    switch (kind) {
    case CheckKind::Ccitt16:
        code = Register(calc.CrcCcitt16(bytes.data(), n));
        edit.text = Hex({unsigned(code) >> 8, code});
        break;
    case CheckKind::Ccitt8:
        code = calc.CrcCcitt8(bytes.data(), n);
        edit.text = Hex({code});
        break;
    case CheckKind::Ansi16:
        code = Register(calc.CrcAnsi16(bytes.data(), n));
        edit.text = Hex({code, unsigned(code) >> 8});
        break;
    case CheckKind::Sum8:
        code = calc.ByteSum(bytes.data(), n);
        edit.text = Hex({code});
        break;
    case CheckKind::Sum16:
        code = calc.ByteSum(bytes.data(), n);
        edit.text = Hex({code, unsigned(code) >> 8});
        break;
    case CheckKind::Modbus:
        break;
    }
    edit.action = CheckCodeEdit::AppendAtLineEnd;
    edit.code = code;
    return edit;
}
