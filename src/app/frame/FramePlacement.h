#pragma once

#include <QSize>

class QMainWindow;
class SettingsStore;

// Where the main window stands: the window commands that put it on a part of the screen,
// always on top, and the rectangle and bar layout kept between runs ("MFW-Main",
// "MFW-Layout").
class CFramePlacement
{
public:
    CFramePlacement(QMainWindow& window, SettingsStore& store);

    // Puts the window (frame included) on the part of the screen that command id names
    // (32817 centre, 32818 to 32821 the halves).
    void PlaceWindow(int id);
    bool IsTopMost() const;
    void SetTopMost(bool topMost);
    // Toggles always-on-top and stores it at once.
    void ToggleTopMost();

    // The stored rectangle, cut to its screen, or the first-start placement; then the bars.
    void Restore();
    void Save();

    // The screen size that the window commands use; empty: the primary screen's.
    void SetScreenSize(QSize size) { m_screenSize = size; }

private:
    QSize ScreenSize() const;

    QMainWindow& m_window;
    SettingsStore& m_store;
    QSize m_screenSize;
};
