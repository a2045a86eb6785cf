#pragma once

#include "app/commands/CommandTable.h"
#include "core/files/RecentFileList.h"
#include "core/files/TimedSaveSchedule.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class CDlgAutoSave;
class CFileNameDialog;
class CUserNotices;
class CFrameMonitorView;
class QWidget;
class SettingsStore;
class QMenu;
class QTimer;

// The monitor's files: open and save, the recent-file list, and the timed save and clear
// of a long watch, which writes one file per period named after the local time. A timed
// save that fails keeps the text (no clear that period) and says so in the status bar
// until a save works again. Closing the window with text never saved asks first.
class CMonitorFiles : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    enum class CloseAnswer
    {
        Save,
        Discard,
        Cancel
    };

    // window: the parent of its boxes and dialogs; view: the monitor; rebuildMenus: redraws
    // the menus after the recent-file list changed. The folder and period of the timed save
    // come from the store. All of them outlive it.
    CMonitorFiles(QWidget& window, CFrameMonitorView& view, SettingsStore& store,
                  CUserNotices& notices, CFileNameDialog& fileNames,
                  std::function<void()> rebuildMenus);

    // Open, save, timed save/clear.
    static std::span<const CommandInfo> Commands();
    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // Loads a monitor file into the view; true on success. The path joins the recent-file
    // list; a failure is told in the status bar, a damaged file in a box.
    bool OpenMonitorFile(const QString& path);
    // The save command: asks for a name (the local time offered) and writes the text.
    // True when written.
    bool SaveMonitor();
    void FillRecentFiles(QMenu* menu);
    void OpenRecentFile(int index);
    RecentFileList& RecentFiles() { return m_recentFiles; }

    // What accepting the timed save/clear dialog does: the timer stops, and starts again
    // with the new period when a switch is on.
    void SetTimedSave(bool save, bool clear, int minutes, const QString& dir);
    bool IsTimerRunning() const;
    // Timer 103: asks the schedule whether the period is over, saves and clears then,
    // and waits again.
    void OnTimer();
    QTimer* Timer() const { return m_pTimer; }
    const std::string& AutoSaveDir() const { return m_strAutoSaveDir; }
    int AutoSaveMinutes() const { return m_nASTime; }

    // Before the window closes: false when the user chose to keep it open (asked when the
    // monitor holds modified text, saved through the save command if so chosen).
    bool MayClose();
    // The program is told to end (SIGTERM at logout, Ctrl+C): nobody is there to answer the
    // question at close, so text never saved goes to a time-named file in the data folder.
    // The path written, or empty when there was nothing to keep or the save failed.
    QString KeepUnsavedText();
    // At exit: the recent-file list.
    void SaveAtExit();
    // The file KeepUnsavedText wrote before the last end, told to the user once at the
    // start that follows, with the choice to open it (empty when there is none).
    const QString& KeptText() const { return m_strKeptText; }

    // Test hooks: the close question, the clocks, the dialog run instead of exec().
    void SetCloseAsker(std::function<CloseAnswer()> asker) { m_askClose = std::move(asker); }
    void SetClocks(std::function<std::int64_t()> steadyMs, std::function<QDateTime()> localNow);
    void SetDialogRunner(std::function<int(CDlgAutoSave&)> runner)
    {
        m_runDialog = std::move(runner);
    }
    // Answers the notice of kept text instead of the user: true opens the file.
    void SetKeptTextAsker(std::function<bool(const QString&)> asker)
    {
        m_askOpenKept = std::move(asker);
    }

    // The name of a save at local time now: "%04d%02d%02d %02d%02d".
    static QString TimeName(const QDateTime& now);

private:
    bool LoadIntoView(const QString& path, bool boxOnFailure);
    void RebuildMenusLater();
    void OnAutoSaveDialog();
    void Arm();
    void RunPeriod();
    QString WhyNotWritten(const QString& dir) const;
    void TellKeptText();
    void ShowTimedSaveNote();

    QWidget& m_window;
    CFrameMonitorView& m_view;
    SettingsStore& m_store;
    CUserNotices& m_notices;
    CFileNameDialog& m_fileNames;
    std::function<void()> m_rebuildMenus;
    RecentFileList m_recentFiles;

    bool m_bAutoSave = false;
    bool m_bAutoClear = false;
    int m_nASTime = 1;
    std::string m_strAutoSaveDir;
    TimedSaveSchedule m_schedule;
    QTimer* m_pTimer;

    std::function<CloseAnswer()> m_askClose;
    std::function<std::int64_t()> m_steadyMs;
    std::function<QDateTime()> m_localNow;
    std::function<int(CDlgAutoSave&)> m_runDialog;
    std::function<bool(const QString&)> m_askOpenKept;
    QString m_strKeptText;
};
