#pragma once

#include <cstdint>

struct PortSettings;

// How a port's line runs, as decoders need it to tell frames apart by silence.
struct LineTiming
{
    double m_charMs = 1.0;     // one character: start bit, data bits, parity, stop bits
    std::int64_t m_packMs = 0; // the port's packing interval
};

// The time of one character at these settings.
double CharMilliseconds(const PortSettings& settings);
LineTiming LineTimingOf(const PortSettings& settings);
