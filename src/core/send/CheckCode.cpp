#include "core/send/CheckCode.h"

#include "core/text/CoreText.h"

#include "core/text/HexText.h"

#include <vector>

namespace {

std::uint16_t ExchangeBytes(std::uint16_t v)
{
    return static_cast<std::uint16_t>((v << 8) | (v >> 8));
}

} // namespace

std::uint16_t CCheckCode::CrcCcitt16(const unsigned char* bytes, int count) const
{
    if (!IsValidArray(bytes, count))
        return 0xFFFF;
    std::uint16_t reg = 0;
    for (int i = 0; i < count; ++i) {
        reg ^= static_cast<std::uint16_t>(bytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? static_cast<std::uint16_t>((reg << 1) ^ 0x1021)
                                 : static_cast<std::uint16_t>(reg << 1);
    }
    return ExchangeBytes(reg);
}

std::uint16_t CCheckCode::CrcAnsi16(const unsigned char* bytes, int count) const
{
    if (!IsValidArray(bytes, count))
        return 0xFFFF;
    std::uint16_t reg = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        reg ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool low = reg & 1;
            reg >>= 1;
            if (low)
                reg ^= 0xA001;
        }
    }
    return ExchangeBytes(reg);
}

std::uint8_t CCheckCode::CrcCcitt8(const unsigned char* bytes, int count) const
{
    if (!IsValidArray(bytes, count))
        return 0xFF;
    std::uint8_t reg = 0;
    for (int i = 0; i < count; ++i) {
        reg ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x80) ? static_cast<std::uint8_t>((reg << 1) ^ 0x07)
                               : static_cast<std::uint8_t>(reg << 1);
    }
    return static_cast<std::uint8_t>(reg ^ 0xFF);
}

std::uint16_t CCheckCode::ByteSum(const unsigned char* bytes, int count) const
{
    if (!IsValidArray(bytes, count))
        return 0xFFFF;
    std::uint16_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum = static_cast<std::uint16_t>(sum + bytes[i]);
    return sum;
}

std::optional<CheckKind> CheckKindFromCommand(int id)
{
    switch (id) {
    case 32799: return CheckKind::Sum8;
    case 32800: return CheckKind::Sum16;
    case 32801: return CheckKind::Modbus;
    case 32802: return CheckKind::Ccitt16;
    case 32803: return CheckKind::Ccitt8;
    case 32804: return CheckKind::Ansi16;
    default: return std::nullopt;
    }
}

CheckCodeEdit MakeCheckCodeEdit(CheckKind kind, std::string_view hexText)
{
    CheckCodeEdit edit;
    if (!IsHexText(hexText)) {
        edit.message = VRL_TR("CheckCode", "格式不对！组合键Ctrl+Alt+P分析错误！");
        return edit;
    }
    std::vector<unsigned char> bytes;
    const int n = HexTextToBytes(hexText, bytes);
    const CCheckCode cc;

    // The 16-bit CRCs come byte-exchanged: the result's low byte is the register's high byte.
    const auto lowOf = [](std::uint16_t v) { return static_cast<unsigned char>(v & 0xFF); };
    const auto highOf = [](std::uint16_t v) { return static_cast<unsigned char>(v >> 8); };
    std::vector<unsigned char> append;
    switch (kind) {
    case CheckKind::Modbus:
        if (n < 6) {
            edit.message = VRL_TR("CheckCode", "MODBUS查询报文长度不能小于6个字节！");
            return edit;
        }
        edit.code = cc.CrcAnsi16(bytes.data(), 6);
        bytes.resize(6);
        bytes.push_back(highOf(edit.code)); // register low byte
        bytes.push_back(lowOf(edit.code));
        edit.bOk = true;
        edit.bReplaceLine = true;
        edit.text = BytesToHexText(bytes.data(), 8);
        return edit;
    case CheckKind::Ccitt16:
        edit.code = cc.CrcCcitt16(bytes.data(), n);
        append = {lowOf(edit.code), highOf(edit.code)}; // register high byte first
        break;
    case CheckKind::Ansi16:
        edit.code = cc.CrcAnsi16(bytes.data(), n);
        append = {highOf(edit.code), lowOf(edit.code)}; // register low byte first
        break;
    case CheckKind::Ccitt8:
        edit.code = cc.CrcCcitt8(bytes.data(), n);
        append = {lowOf(edit.code)};
        break;
    case CheckKind::Sum8:
        edit.code = cc.ByteSum(bytes.data(), n);
        append = {lowOf(edit.code)};
        break;
    case CheckKind::Sum16:
        edit.code = cc.ByteSum(bytes.data(), n);
        append = {lowOf(edit.code), highOf(edit.code)};
        break;
    }
    edit.bOk = true;
    // Built in place: " " + text makes gcc 12 at -O3 report a false -Wrestrict (GCC PR 105329).
    const std::string hex = BytesToHexText(append.data(), static_cast<int>(append.size()));
    edit.text.reserve(hex.size() + 1);
    edit.text.push_back(' ');
    edit.text.append(hex);
    return edit;
}
