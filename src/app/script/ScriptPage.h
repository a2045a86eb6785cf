#pragma once

#include "core/script/ScriptHost.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <mutex>
#include <vector>

class CScriptDock;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class ScriptRunner;

// One tab of the script dock: a plain editor of one script, its file, Run and Stop, and the
// script's output with the errors that say where. While it runs, the script reaches the
// window through this page (ScriptHost): calls come from the script's thread and what must
// happen on the window thread is carried there in batches, so that a script that prints in
// a loop cannot flood the window.
class CScriptPage : public QWidget, private ScriptHost
{
    Q_OBJECT
public:
    CScriptPage(CScriptDock& dock, QWidget* parent);
    ~CScriptPage() override;

    // Loads path into the editor (asking first when edits would be lost); false when it
    // cannot be read (the user is told).
    bool Open(const QString& path);
    bool IsRunning() const { return m_runner != nullptr; }
    // No file, nothing typed, not running.
    bool IsPristine() const;
    void Run();
    void Stop();
    // The tab's title: the file's name, or a new script's.
    QString Title() const;
    // Closing the tab: false when the user keeps unsaved edits.
    bool MayClose();

Q_SIGNALS:
    void TitleChanged();

protected:
    // A double click on an output line that names a line of the script goes there.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ScriptHost, on the script's thread.
    int FindPort(const std::string& name) override;
    bool Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text) override;
    bool SetOutputLine(unsigned port, unsigned line, bool on) override;
    bool SetBreak(unsigned port, bool on) override;
    bool DecodesModbus(unsigned port) override;
    void Log(const std::string& text) override;
    void Output(const std::string& text, bool error) override;
    void Plot(const std::string& name, double value, std::int64_t timeUs) override;
    void Ended(const ScriptEnd& end) override;

    struct Line
    {
        std::string m_text;
        int m_kind; // print, error, log, or the end
    };
    void Post(Line line);
    void ShowPosted();
    void Finish(const ScriptEnd& end);
    void AppendOutput(const QString& text, int kind);
    void OpenDialog();
    bool Save(bool askName);
    void ShowCaret();
    void JumpToLine(const QString& outputLine);
    void UpdateButtons();

    CScriptDock& m_dock;
    QPlainTextEdit* m_pEditor;
    QPlainTextEdit* m_pOutput;
    QLabel* m_pCaret;
    QToolButton* m_pRun;
    QToolButton* m_pStop;
    QString m_path;
    std::unique_ptr<ScriptRunner> m_runner;
    std::mutex m_mutex; // the script's thread posts, the window takes
    std::vector<Line> m_posted;
    bool m_ended = false;
    ScriptEnd m_end;
};
