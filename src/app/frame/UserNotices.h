#pragma once

#include <QString>

#include <functional>
#include <map>

class QLabel;
class QMainWindow;
class QWidget;

// What the program tells the user outside the monitor: message boxes titled "VRL", lasting
// notes in the status bar under a key (a filter that is on, a save that failed), and passing
// status messages. One place, so that every unit words and shows them alike and tests can
// catch the boxes.
class CUserNotices
{
public:
    // window: the parent of the boxes and the owner of the status bar.
    explicit CUserNotices(QMainWindow& window);

    // A warning box titled "VRL" with one OK button over parent, waiting for the user.
    static void ShowWarning(QWidget* parent, const QString& text);

    // A warning box over the window, or to the hook when there is one.
    void ShowMessage(const QString& text);
    void SetMessageHook(std::function<void(const QString&)> hook) { m_messageHook = std::move(hook); }

    // A lasting note under key (empty text removes it); warning shows it in red.
    void SetStatusNote(const QString& key, const QString& text, bool warning = false);
    // The note under key, or empty.
    QString StatusNote(const QString& key) const;
    // A passing note.
    void ShowStatusMessage(const QString& text, int timeoutMs);

private:
    QMainWindow& m_window;
    std::map<QString, QLabel*> m_statusNotes;
    std::function<void(const QString&)> m_messageHook;
};
