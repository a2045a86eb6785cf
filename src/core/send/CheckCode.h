#pragma once

#include "core/text/CoreText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The check codes appended to messages: CRCs computed bit by bit (no tables, so each step
// can be checked against the polynomial by hand) and byte sums.
//
// The two 16-bit CRCs return the register with its bytes exchanged: the result's low byte
// is the register's high byte. The append-checksum command writes the bytes in the order
// each protocol wants (MODBUS: register low byte first, CCITT: high byte first).
//
// With no bytes (null pointer or count <= 0) each operation returns all ones (0xFFFF,
// 0xFF for CrcCcitt8). The window tells the user with kInvalidArrayText; IsValidArray
// says beforehand whether that happens.
class CCheckCode
{
public:
    static constexpr const char* kInvalidArrayText = VRL_TR_NOOP("CheckCode", "无效数组！");

    virtual ~CCheckCode() = default;

    static bool IsValidArray(const unsigned char* bytes, int count) { return bytes && count > 0; }

    // CCITT V.41, x16+x12+x5+1 (0x1021), register 0, not reflected, no final XOR.
    std::uint16_t CrcCcitt16(const unsigned char* bytes, int count) const;
    // x16+x15+x2+1 in its reflected form 0xA001, register 0xFFFF, no final XOR (MODBUS).
    std::uint16_t CrcAnsi16(const unsigned char* bytes, int count) const;
    // x8+x2+x+1 (0x07), register 0, not reflected, result inverted.
    std::uint8_t CrcCcitt8(const unsigned char* bytes, int count) const;
    // Sum of the bytes modulo 65536, returned as it is.
    std::uint16_t ByteSum(const unsigned char* bytes, int count) const;
};

// The six check codes of the "添加校验(&P)" menu, with their stored values.
enum class CheckKind
{
    Modbus = 0,
    Ccitt16 = 1,
    Ccitt8 = 2,
    Ansi16 = 3,
    Sum8 = 4,
    Sum16 = 5
};

// Menu commands 32799..32804 select a kind; every other id (32805 "CDT规约CRC(&T)" among
// them) selects none and the command does nothing.
std::optional<CheckKind> CheckKindFromCommand(int id);

// What the append-checksum command does to the send editor for the given hexadecimal
// message text (the selection, or the caret line for MODBUS or without a selection).
struct CheckCodeEdit
{
    bool bOk = false;
    std::string message;       // UTF-8, for the message box when !bOk
    bool bReplaceLine = false; // MODBUS: text replaces the caret line; else goes at its end
    std::string text;          // e.g. " DD 01", or the whole rewritten MODBUS query
    std::uint16_t code = 0xFFFF;
};

// MODBUS keeps the first 6 bytes and appends their CRC low byte first; the other kinds
// append their code after a blank per byte, 16-bit CCITT high byte first, ANSI and the
// two-byte sum low byte first.
CheckCodeEdit MakeCheckCodeEdit(CheckKind kind, std::string_view hexText);
