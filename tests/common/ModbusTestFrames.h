#pragma once

#include "core/modbus/ModbusRtu.h"
#include "core/text/HexText.h"

#include <string>
#include <vector>

// "01 03 00 00 00 04" -> those bytes and their CRC, low byte first; a trailing "!" spoils the CRC.
inline std::vector<std::uint8_t> ModbusBytes(std::string hex)
{
    const bool spoil = !hex.empty() && hex.back() == '!';
    if (spoil)
        hex.pop_back();
    while (!hex.empty() && hex.back() == ' ')
        hex.pop_back();
    std::vector<unsigned char> raw;
    HexTextToBytes(hex, raw);
    std::vector<std::uint8_t> bytes(raw.begin(), raw.end());
    const std::uint16_t crc =
        static_cast<std::uint16_t>(ModbusCrc(bytes.data(), bytes.size()) ^ (spoil ? 0x0100 : 0));
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    return bytes;
}
