#pragma once

// A window rectangle in screen pixels; right and bottom lie just outside it.
struct WindowRect
{
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;

    int Width() const { return m_right - m_left; }
    int Height() const { return m_bottom - m_top; }
    bool operator==(const WindowRect&) const = default;
};

// The rectangle that a window command (32817 centre, 32818 to 32821 top, bottom, left and
// right half) gives on a screen of width w and height h, with integer divisions. False for
// any other id.
bool PlacementRect(int id, int w, int h, WindowRect& rect);

// Smallest size a restored window is given, so that a stored sliver stays usable.
constexpr int kMinRestoredWidth = 400;
constexpr int kMinRestoredHeight = 300;

// The rectangle for a window stored as left, top, right, bottom (read from the settings, so
// any int values), on the screen whose work area is given; the caller picks that screen,
// for instance the one that holds the stored top-left corner, else the primary one.
// The stored size is cut to the work area and raised to minWidth x minHeight (to the work
// area where that is smaller); then the rectangle is moved, as little as needed, to lie
// wholly inside the work area, so a window fully inside stays as stored. Safe for every
// input: the arithmetic is 64-bit.
// False, with out untouched, when the stored values are no rectangle (right <= left or
// bottom <= top) or the work area is empty: the caller then places the window as at the
// first start.
bool ClampStoredRect(int left, int top, int right, int bottom, const WindowRect& workArea,
                     int minWidth, int minHeight, WindowRect& out);
