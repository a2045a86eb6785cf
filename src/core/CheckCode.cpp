#include "CheckCode.h"

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
