#pragma once

#include <cstdint>

// The pair of forwarding ports as "Settings\Transmit" keeps it: "COM" = A + 256 * B, port
// numbers 1 to 255 (COM1 onwards).
struct TransmitPorts
{
    std::uint8_t m_portA = 1;
    std::uint8_t m_portB = 2;

    // A stored value that does not name two different ports (0, a port 0, the same port
    // twice: an edited or damaged file) gives the default pair, so the dialog never opens
    // with a number it would refuse. Bits above the two bytes are ignored.
    static TransmitPorts Decode(int stored);
    int Encode() const { return m_portA + 256 * m_portB; }
};
