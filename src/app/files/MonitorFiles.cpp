#include "app/files/MonitorFiles.h"

#include "app/files/DlgAutoSave.h"
#include "app/files/FileNameDialog.h"
#include "app/host/UserNotices.h"
#include "app/monitor/FrameMonitorView.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"
#include "core/settings/FrameOptions.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>

namespace {

const CommandInfo kFileCommands[] = {
    {ID_FILE_OPEN, QT_TRANSLATE_NOOP("Command", "打开监视报文(&O)...\tCtrl+O"), "Ctrl+O",
     QT_TRANSLATE_NOOP("Command", "打开一个现有监视报文"),
     QT_TRANSLATE_NOOP("Command", "打开监视报文"), nullptr, false},
    {ID_SAVE_MONITOR, QT_TRANSLATE_NOOP("Command", "保存监视报文(&S)...\tCtrl+S"), "Ctrl+S",
     QT_TRANSLATE_NOOP("Command", "保存监视报文"), QT_TRANSLATE_NOOP("Command", "保存监视报文"),
     ":/icons/save_monitor.png", false},
    {ID_AUTO_SAVE, QT_TRANSLATE_NOOP("Command", "定时保存、清除(&T)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "定时保存清除监视报文"),
     QT_TRANSLATE_NOOP("Command", "定时保存清除监视报文"), nullptr, false},
};

const QString kNoteKey = QStringLiteral("autosave");
const QString kRunningNoteKey = QStringLiteral("timedsave");
// Where KeepUnsavedText says what it wrote, for the start after the end it served.
constexpr std::string_view kKeptSection = "Settings";
constexpr std::string_view kKeptName = "KeptMonitorFile";

// why names the file already; path stands in when the view gave no reason.
QString FileOpenError(const QString& path, const QString& why)
{
    return why.isEmpty()
               ? QCoreApplication::translate("CMonitorFiles", "无法打开监视报文“%1”！").arg(path)
               : why;
}

} // namespace

CMonitorFiles::CMonitorFiles(QWidget& window, CFrameMonitorView& view, SettingsStore& store,
                             CUserNotices& notices, CFileNameDialog& fileNames,
                             std::function<void()> rebuildMenus)
    : QObject(&window), m_window(window), m_view(view), m_store(store), m_notices(notices),
      m_fileNames(fileNames), m_rebuildMenus(std::move(rebuildMenus)), m_pTimer(new QTimer(this))
{
    m_recentFiles.Load(store);
    const FrameStoredValues stored = FrameStoredValues::Load(store);
    m_strAutoSaveDir = stored.m_autoSaveDir;
    // The file name goes right behind the folder, also for a folder typed into the store.
    if (m_strAutoSaveDir.back() != '/')
        m_strAutoSaveDir += '/';
    m_nASTime =
        std::clamp(stored.m_asTime, TimedSaveSchedule::kMinMinutes, TimedSaveSchedule::kMaxMinutes);

    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    m_steadyMs = [clock] { return clock->elapsed(); };
    m_localNow = [] { return QDateTime::currentDateTime(); };

    m_pTimer->setSingleShot(true);
    m_pTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pTimer, &QTimer::timeout, this, &CMonitorFiles::OnTimer);

    // Told once: the entry goes at once, whatever the user answers.
    const std::string kept = store.ReadString(kKeptSection, kKeptName, "");
    if (!kept.empty()) {
        store.WriteString(kKeptSection, kKeptName, "");
        if (QFileInfo::exists(QString::fromStdString(kept))) {
            m_strKeptText = QString::fromStdString(kept);
            QTimer::singleShot(0, this, &CMonitorFiles::TellKeptText);
        }
    }
}

void CMonitorFiles::TellKeptText()
{
    const QString path = m_strKeptText;
    auto open = [this, path] {
        if (MayClose() && LoadIntoView(path, true))
            RebuildMenusLater();
    };
    if (m_askOpenKept) {
        if (m_askOpenKept(path))
            open();
        return;
    }
    // Not waiting: the start goes on while the question is up.
    CUserNotices::ShowInformation(
        &m_window,
        tr("上次程序被终止时，监视窗中未保存的报文已保存到：\n%1\n\n"
           "现在打开吗？（以后也可以从“文件”菜单的最近文件打开。）")
            .arg(path),
        {{QMessageBox::Open, tr("打开(&O)")}, {QMessageBox::Close, tr("不打开(&N)")}}, this,
        [open](QMessageBox::StandardButton chosen) {
            if (chosen == QMessageBox::Open)
                open();
        });
}

std::span<const CommandInfo> CMonitorFiles::Commands()
{
    return kFileCommands;
}

void CMonitorFiles::SetClocks(std::function<std::int64_t()> steadyMs,
                              std::function<QDateTime()> localNow)
{
    m_steadyMs = std::move(steadyMs);
    m_localNow = std::move(localNow);
}

QString CMonitorFiles::TimeName(const QDateTime& now)
{
    const QDate d = now.date();
    const QTime t = now.time();
    return QString::asprintf("%04d%02d%02d %02d%02d", d.year(), d.month(), d.day(), t.hour(),
                             t.minute());
}

void CMonitorFiles::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_SAVE_MONITOR)
        state.m_enabled = m_view.IsModified();
}

void CMonitorFiles::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_OPEN: {
        if (!MayClose())
            return;
        const QString path = m_fileNames.Ask(
            true, QCoreApplication::translate("CMonitorFiles", "打开串口监视报文"), QString());
        if (!path.isEmpty() && LoadIntoView(path, true))
            RebuildMenusLater();
        return;
    }
    case ID_SAVE_MONITOR: SaveMonitor(); return;
    case ID_AUTO_SAVE: OnAutoSaveDialog(); return;
    default: return;
    }
}

// --- Open and save ----------------------------------------------------------------------

bool CMonitorFiles::LoadIntoView(const QString& path, bool boxOnFailure)
{
    CFrameMonitorView* view = &m_view;
    if (!view->LoadFile(path)) {
        const QString why = FileOpenError(path, view->LastFileError());
        if (boxOnFailure)
            m_notices.ShowMessage(why);
        else
            m_notices.ShowStatusMessage(why, 0);
        return false;
    }
    view->SetModified(false);
    m_recentFiles.Add(path.toStdString());
    // A damaged file loads what could be read of it; the view then names the damage. A box,
    // because a note in the status bar is gone with the next prompt of whatever the mouse
    // passes over.
    if (!view->LastFileError().isEmpty())
        m_notices.ShowMessage(view->LastFileError());
    return true;
}

bool CMonitorFiles::OpenMonitorFile(const QString& path)
{
    const bool loaded = LoadIntoView(path, false);
    if (loaded)
        m_rebuildMenus();
    return loaded;
}

bool CMonitorFiles::SaveMonitor()
{
    const QString path =
        m_fileNames.Ask(false, QCoreApplication::translate("CMonitorFiles", "保存串口监视报文"),
                        TimeName(m_localNow()));
    if (path.isEmpty())
        return false;
    CFrameMonitorView* view = &m_view;
    if (!view->SaveFile(path)) {
        // The user asked for this file: a save that did not happen must not look done.
        m_notices.ShowMessage(
            view->LastFileError().isEmpty()
                ? QCoreApplication::translate("CMonitorFiles", "无法保存文件“%1”！").arg(path)
                : view->LastFileError());
        return false;
    }
    m_recentFiles.Add(path.toStdString());
    RebuildMenusLater();
    return true;
}

void CMonitorFiles::FillRecentFiles(QMenu* menu)
{
    if (m_recentFiles.Size() == 0) {
        QAction* placeholder =
            menu->addAction(QCoreApplication::translate("CMonitorFiles", "最近文件"));
        placeholder->setEnabled(false);
        return;
    }
    for (std::size_t i = 0; i < m_recentFiles.Size(); ++i) {
        const QString path = QString::fromStdString(m_recentFiles.At(i));
        // "&&": an "&" of the path is shown, not taken for the access key.
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"))));
        a->setData(ID_FILE_MRU_FIRST + static_cast<int>(i));
        a->setStatusTip(QCoreApplication::translate("CMonitorFiles", "打开该文档"));
        a->setToolTip(path);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { OpenRecentFile(index); });
    }
}

void CMonitorFiles::OpenRecentFile(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_recentFiles.Size() || !MayClose())
        return;
    const std::string path = m_recentFiles.At(static_cast<std::size_t>(index));
    // The entry goes when the file cannot be read, and the user has been told why.
    if (!LoadIntoView(QString::fromStdString(path), true))
        m_recentFiles.Remove(static_cast<std::size_t>(index));
    RebuildMenusLater();
}

// Rebuilding the menus while one of their actions runs would delete the menu under it:
// next turn.
void CMonitorFiles::RebuildMenusLater()
{
    QTimer::singleShot(0, this, [this] { m_rebuildMenus(); });
}

// --- Closing ----------------------------------------------------------------------------

QString CMonitorFiles::KeepUnsavedText()
{
    CFrameMonitorView* view = &m_view;
    if (!view->IsModified() || view->GetTextLength() == 0)
        return QString();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + QStringLiteral("/Tellumar/VRL/");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("未保存的监视报文 ") + TimeName(m_localNow())
                         + QStringLiteral(".tnf");
    if (!view->SaveFile(path))
        return QString();
    view->SetModified(false);
    m_recentFiles.Add(path.toStdString());
    m_store.WriteString(kKeptSection, kKeptName, path.toStdString());
    return path;
}

bool CMonitorFiles::MayClose()
{
    CFrameMonitorView* view = &m_view;
    if (!view->IsModified() || view->GetTextLength() == 0)
        return true;
    CloseAnswer answer = CloseAnswer::Cancel;
    if (m_askClose) {
        answer = m_askClose();
    } else {
        const QMessageBox::StandardButton chosen = CUserNotices::AskQuestion(
            &m_window,
            QCoreApplication::translate("CMonitorFiles", "监视报文已修改，尚未保存。是否保存？"),
            {{QMessageBox::Save, QCoreApplication::translate("CMonitorFiles", "保存(&S)")},
             {QMessageBox::Discard, QCoreApplication::translate("CMonitorFiles", "不保存(&N)")},
             {QMessageBox::Cancel, QCoreApplication::translate("CMonitorFiles", "取消")}},
            QMessageBox::Save);
        answer = chosen == QMessageBox::Save      ? CloseAnswer::Save
                 : chosen == QMessageBox::Discard ? CloseAnswer::Discard
                                                  : CloseAnswer::Cancel;
    }
    switch (answer) {
    case CloseAnswer::Save: return SaveMonitor();
    case CloseAnswer::Discard: return true;
    case CloseAnswer::Cancel: break;
    }
    return false;
}

void CMonitorFiles::SaveAtExit()
{
    m_pTimer->stop();
    m_recentFiles.Save(m_store);
}

// --- Timed save and clear ---------------------------------------------------------------

void CMonitorFiles::OnAutoSaveDialog()
{
    CDlgAutoSave dlg(&m_window);
    dlg.m_strDir = QString::fromStdString(m_strAutoSaveDir);
    dlg.m_bAutoSave = m_bAutoSave;
    dlg.m_nMinutes = m_nASTime;
    dlg.m_bAutoClear = m_bAutoClear;
    const int result = m_runDialog ? m_runDialog(dlg) : dlg.exec();
    if (result != QDialog::Accepted)
        return;
    SetTimedSave(dlg.m_bAutoSave, dlg.m_bAutoClear, dlg.m_nMinutes, dlg.m_strDir);
}

void CMonitorFiles::SetTimedSave(bool save, bool clear, int minutes, const QString& dir)
{
    m_pTimer->stop();
    m_schedule.Stop();
    m_strAutoSaveDir = dir.toStdString();
    m_bAutoClear = clear;
    m_bAutoSave = save;
    m_nASTime = std::clamp(minutes, TimedSaveSchedule::kMinMinutes, TimedSaveSchedule::kMaxMinutes);
    m_notices.SetStatusNote(kNoteKey, QString());
    ShowTimedSaveNote();
    if (!m_bAutoSave && !m_bAutoClear)
        return;
    m_schedule.Start(m_steadyMs(), m_nASTime);
    Arm();
}

// While the timed save or clear is on, the status bar says so: a clear that empties the
// monitor every period must not come as a surprise.
void CMonitorFiles::ShowTimedSaveNote()
{
    QString text;
    if (m_bAutoSave && m_bAutoClear)
        text = tr("定时保存、清除: 每 %1 分钟");
    else if (m_bAutoSave)
        text = tr("定时保存: 每 %1 分钟");
    else if (m_bAutoClear)
        text = tr("定时清除: 每 %1 分钟");
    m_notices.SetStatusNote(kRunningNoteKey, text.isEmpty() ? text : text.arg(m_nASTime));
}

bool CMonitorFiles::IsTimerRunning() const
{
    return m_schedule.IsRunning() && m_pTimer->isActive();
}

// The wait is cut into pieces of at most an hour: a period of 60000 minutes (3.6e9 ms)
// does not fit QTimer's interval, and a steady clock behind the deadline keeps the period
// exact however the pieces fall.
void CMonitorFiles::Arm()
{
    m_pTimer->start(static_cast<int>(m_schedule.WaitMs(m_steadyMs())));
}

void CMonitorFiles::OnTimer()
{
    if (!m_bAutoSave && !m_bAutoClear) {
        m_pTimer->stop();
        m_schedule.Stop();
        return;
    }
    if (m_schedule.TakeDue(m_steadyMs()))
        RunPeriod();
    Arm();
}

// Save before clear, so that each period's file holds that period's text. A save that
// fails keeps the text: the clear waits for a period whose save works.
void CMonitorFiles::RunPeriod()
{
    CFrameMonitorView* view = &m_view;
    bool saved = true;
    if (m_bAutoSave) {
        const QString dir = QString::fromStdString(m_strAutoSaveDir);
        const QString path = dir + TimeName(m_localNow()) + QStringLiteral(".tnf");
        saved = view->SaveFile(path);
        if (saved) {
            m_notices.SetStatusNote(kNoteKey, QString());
            m_notices.ShowStatusMessage(
                QCoreApplication::translate("CMonitorFiles", "监视报文已定时保存到 %1").arg(path));
        } else {
            m_notices.SetStatusNote(
                kNoteKey,
                QCoreApplication::translate("CMonitorFiles", "定时保存到“%1”失败：%2%3")
                    .arg(dir, WhyNotWritten(dir),
                         m_bAutoClear
                             ? QCoreApplication::translate("CMonitorFiles", "，监视报文未清除")
                             : QString()),
                true);
        }
    }
    if (m_bAutoClear && saved) {
        view->ClearAll(true);
        view->SetModified(false);
    }
}

QString CMonitorFiles::WhyNotWritten(const QString& dir) const
{
    const QFileInfo info(dir);
    if (dir.isEmpty() || !info.exists())
        return QCoreApplication::translate("CMonitorFiles", "文件夹不存在");
    if (!info.isDir())
        return QCoreApplication::translate("CMonitorFiles", "不是文件夹");
    if (!info.isWritable())
        return QCoreApplication::translate("CMonitorFiles", "没有写入权限");
    const QStorageInfo storage(dir);
    if (storage.isValid() && storage.bytesAvailable() == 0)
        return QCoreApplication::translate("CMonitorFiles", "磁盘已满");
    const QString why = m_view.LastFileError();
    return why.isEmpty() ? QCoreApplication::translate("CMonitorFiles", "无法写入文件") : why;
}
