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
