#pragma once

#include <cstdint>

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
    static constexpr const char* kInvalidArrayText = "无效数组！";

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
