#pragma once

#include <QObject>

#include <array>
#include <functional>

class QLabel;
class QStatusBar;

// The status bar's caps-lock, num-lock and scroll-lock panes ("大写", "数字", "滚动"): a pane
// shows its text while its lock is on and stays blank otherwise. The state is read again
// after key events and when the program becomes active (a lock may change in another
// window). Where the platform gives no state the panes are left out.
class CLockIndicators : public QObject
{
    Q_OBJECT
public:
    // reader: fills the locks that are on (CKeyboardLocks bits), false when unknown.
    using StateReader = std::function<bool(unsigned&)>;

    explicit CLockIndicators(QStatusBar* bar, StateReader reader = {});

    bool HasPanes() const { return m_panes[0] != nullptr; }
    // 0 caps lock, 1 num lock, 2 scroll lock; nullptr without panes.
    QLabel* Pane(int index) const { return m_panes[static_cast<std::size_t>(index)]; }

    // Reads the state and shows it.
    void Update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    StateReader m_reader;
    std::array<QLabel*, 3> m_panes{};
    bool m_bUpdatePending = false;
};
