#include "app/frame/FramePlacement.h"

#include "core/base/SettingsStore.h"
#include "core/settings/FrameOptions.h"
#include "core/settings/WindowPlacement.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <string>

namespace {

constexpr const char* kPlacementSection = "MFW-Main";
constexpr const char* kLayoutSection = "MFW-Layout";

// The screen a stored window belongs to: the one under a point near the middle of its title
// bar. None when that screen has gone since (a monitor unplugged). 64-bit, as the stored
// values may be anything.
QScreen* ScreenOfStoredRect(int left, int top, int right)
{
    const qint64 x = qint64(left) + std::min<qint64>(qint64(right) - left, 200) / 2;
    const qint64 y = qint64(top) + 10;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        if (x >= g.left() && x <= g.right() && y >= g.top() && y <= g.bottom())
            return screen;
    }
    return nullptr;
}

} // namespace

CFramePlacement::CFramePlacement(QMainWindow& window, SettingsStore& store)
    : m_window(window), m_store(store)
{
}

QSize CFramePlacement::ScreenSize() const
{
    if (m_screenSize.isValid())
        return m_screenSize;
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

void CFramePlacement::PlaceWindow(int id)
{
    const QSize screen = ScreenSize();
    WindowRect r;
    if (!PlacementRect(id, screen.width(), screen.height(), r))
        return;
    if (m_window.isMaximized() || m_window.isFullScreen())
        m_window.showNormal();
    // The rectangle is the whole window's, title and borders included.
    const QRect inner = m_window.geometry();
    const QRect outer = m_window.frameGeometry();
    const int left = inner.left() - outer.left();
    const int top = inner.top() - outer.top();
    const int right = outer.right() - inner.right();
    const int bottom = outer.bottom() - inner.bottom();
    m_window.setGeometry(r.m_left + left, r.m_top + top, r.Width() - left - right,
                         r.Height() - top - bottom);
}

bool CFramePlacement::IsTopMost() const
{
    return m_window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void CFramePlacement::SetTopMost(bool topMost)
{
    if (IsTopMost() == topMost)
        return;
    const QRect where = m_window.geometry();
    const bool visible = m_window.isVisible();
    m_window.setWindowFlag(Qt::WindowStaysOnTopHint, topMost); // hides the window
    m_window.setGeometry(where);
    if (visible)
        m_window.show();
}

void CFramePlacement::ToggleTopMost()
{
    const bool topMost = !IsTopMost();
    SetTopMost(topMost);
    StoreTopMost(m_store, topMost);
}

void CFramePlacement::Restore()
{
    const int left = m_store.ReadInt(kPlacementSection, "left", 0);
    const int top = m_store.ReadInt(kPlacementSection, "top", 0);
    const int right = m_store.ReadInt(kPlacementSection, "right", -1);
    const int bottom = m_store.ReadInt(kPlacementSection, "bottom", -1);
    // A stored rectangle is cut to the work area of its screen and moved onto it, so that a
    // hand-edited or corrupted value can neither hide the window nor make it huge.
    WindowRect placed;
    QScreen* screen = ScreenOfStoredRect(left, top, right);
    if (screen) {
        const QRect area = screen->availableGeometry();
        const WindowRect work{area.left(), area.top(), area.left() + area.width(),
                              area.top() + area.height()};
        if (!ClampStoredRect(left, top, right, bottom, work, kMinRestoredWidth, kMinRestoredHeight,
                             placed))
            screen = nullptr;
    }
    if (screen) {
        m_window.setGeometry(QRect(placed.m_left, placed.m_top, placed.Width(), placed.Height()));
    } else {
        // First start: most of the work area, centred.
        QScreen* primary = QGuiApplication::primaryScreen();
        const QRect area = primary ? primary->availableGeometry() : QRect(0, 0, 1024, 768);
        const QSize size(area.width() * 4 / 5, area.height() * 4 / 5);
        m_window.setGeometry(QRect(
            area.topLeft()
                + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2),
            size));
    }
    const std::string state = m_store.ReadString(kLayoutSection, "State");
    if (!state.empty())
        m_window.restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    // The status bar is a bar like the others, but Qt's state leaves it out.
    m_window.statusBar()->setVisible(m_store.ReadInt(kLayoutSection, "StatusBar", 1) != 0);
}

void CFramePlacement::Save()
{
    const QRect r = m_window.isMaximized() || m_window.isFullScreen() ? m_window.normalGeometry()
                                                                      : m_window.geometry();
    m_store.WriteInt(kPlacementSection, "left", r.left());
    m_store.WriteInt(kPlacementSection, "top", r.top());
    m_store.WriteInt(kPlacementSection, "right", r.left() + r.width());
    m_store.WriteInt(kPlacementSection, "bottom", r.top() + r.height());
    m_store.WriteString(kLayoutSection, "State", m_window.saveState().toBase64().toStdString());
    m_store.WriteInt(kLayoutSection, "StatusBar",
                     m_window.statusBar()->isVisibleTo(&m_window) ? 1 : 0);
}
