#include "WindowPlacement.h"

#include "CommandIds.h"

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
