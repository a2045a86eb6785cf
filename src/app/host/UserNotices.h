#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class QLabel;
class QMainWindow;
class QObject;
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

    // A button of a box: which one (its place, role and key) and its text (empty: Qt's).
    struct Button
    {
        QMessageBox::StandardButton m_which;
        QString m_text;
    };

    // A warning box titled "VRL" with one OK button over parent, waiting for the user.
    static void ShowWarning(QWidget* parent, const QString& text);
    // A question box titled "VRL" over parent, waiting for the answer: the button chosen
    // (Escape chooses the cancelling one).
    static QMessageBox::StandardButton AskQuestion(QWidget* parent, const QString& text,
                                                   const std::vector<Button>& buttons,
                                                   QMessageBox::StandardButton defaultButton);
    // An information box titled "VRL" over parent that does not wait: the window goes on
    // meanwhile. answered gets the button chosen, unless context is gone by then.
    static void ShowInformation(QWidget* parent, const QString& text,
                                const std::vector<Button>& buttons = {{QMessageBox::Ok, QString()}},
                                QObject* context = nullptr,
                                std::function<void(QMessageBox::StandardButton)> answered = {});

    // A warning box over the window, or to the hook when there is one.
    void ShowMessage(const QString& text);
    void SetMessageHook(std::function<void(const QString&)> hook)
    {
        m_messageHook = std::move(hook);
    }

    // A lasting note under key (empty text removes it); warning shows it in red.
    void SetStatusNote(const QString& key, const QString& text, bool warning = false);
    // The note under key, or empty.
    QString StatusNote(const QString& key) const;
    // A passing note.
    void ShowStatusMessage(const QString& text, int timeoutMs = 10000);

private:
    QMainWindow& m_window;
    std::map<QString, QLabel*> m_statusNotes;
    std::function<void(const QString&)> m_messageHook;
};
