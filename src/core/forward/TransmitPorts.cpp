#include "core/forward/TransmitPorts.h"

TransmitPorts TransmitPorts::Decode(int stored)
{
    const auto a = static_cast<std::uint8_t>(stored & 0xFF);
    const auto b = static_cast<std::uint8_t>((stored >> 8) & 0xFF);
    if (a == 0 || b == 0 || a == b)
        return {};
    return {a, b};
}
