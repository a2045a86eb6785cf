#include "core/settings/WindowPlacement.h"

#include "core/base/CommandIds.h"

#include <algorithm>
#include <cstdint>

namespace {

// One axis of ClampStoredRect; every value is widened before it is subtracted.
void FitAxis(int start, int end, int areaStart, int areaEnd, int minSize, int& outStart,
             int& outEnd)
{
    const std::int64_t areaSize = std::int64_t{areaEnd} - areaStart;
    const std::int64_t smallest = std::clamp<std::int64_t>(minSize, 1, areaSize);
    const std::int64_t size =
        std::clamp<std::int64_t>(std::int64_t{end} - start, smallest, areaSize);
    const std::int64_t from = std::clamp<std::int64_t>(start, areaStart, areaEnd - size);
    outStart = static_cast<int>(from);
    outEnd = static_cast<int>(from + size);
}

} // namespace

bool PlacementRect(int id, int w, int h, WindowRect& rect)
{
    switch (id) {
    case ID_WINDOW_CENTER: rect = {w / 4, h / 4, w * 3 / 4, h * 3 / 4}; return true;
    case ID_WINDOW_TOP_HALF: rect = {0, 0, w, h / 2}; return true;
    case ID_WINDOW_BOTTOM_HALF: rect = {0, h / 2, w, h}; return true;
    case ID_WINDOW_LEFT_HALF: rect = {0, 0, w / 2, h}; return true;
    case ID_WINDOW_RIGHT_HALF: rect = {w / 2, 0, w, h}; return true;
    default: return false;
    }
}

bool ClampStoredRect(int left, int top, int right, int bottom, const WindowRect& workArea,
                     int minWidth, int minHeight, WindowRect& out)
{
    if (right <= left || bottom <= top)
        return false;
    if (workArea.m_right <= workArea.m_left || workArea.m_bottom <= workArea.m_top)
        return false;
    WindowRect r;
    FitAxis(left, right, workArea.m_left, workArea.m_right, minWidth, r.m_left, r.m_right);
    FitAxis(top, bottom, workArea.m_top, workArea.m_bottom, minHeight, r.m_top, r.m_bottom);
    out = r;
    return true;
}
