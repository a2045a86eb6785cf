#include "core/decode/LineTiming.h"

#include "core/serial/PortSettings.h"

#include <algorithm>

double CharMilliseconds(const PortSettings& s)
{
    const double stop = s.m_nStopBits == 0 ? 1.0 : s.m_nStopBits == 1 ? 1.5 : 2.0;
    const double bits = 1.0 + s.m_nDataBits + (s.m_nParity != 0 ? 1.0 : 0.0) + stop;
    return bits * 1000.0 / static_cast<double>(std::max<std::uint32_t>(s.m_dwBaudRate, 1));
}

LineTiming LineTimingOf(const PortSettings& settings)
{
    return {CharMilliseconds(settings), static_cast<std::int64_t>(settings.m_dwPackInterval)};
}
