// The stored window rectangle and the screen's work area as any 32-bit values: the placed
// window lies inside the work area, is no larger than it and at least the smallest size the
// area allows, and no arithmetic overflows (UBSan).
#include "core/settings/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int v[10] = {};
    std::memcpy(v, data, std::min(size, sizeof v));
    const WindowRect work{v[4], v[5], v[6], v[7]};
    WindowRect out;
    if (!ClampStoredRect(v[0], v[1], v[2], v[3], work, v[8], v[9], out))
        return 0;
    if (out.m_left < work.m_left || out.m_right > work.m_right || out.m_top < work.m_top
        || out.m_bottom > work.m_bottom || out.m_right <= out.m_left || out.m_bottom <= out.m_top)
        std::abort();
    const std::int64_t areaW = std::int64_t{work.m_right} - work.m_left;
    const std::int64_t minW = std::clamp<std::int64_t>(v[8], 1, areaW);
    if (std::int64_t{out.m_right} - out.m_left < minW)
        std::abort();
    return 0;
}
