#include "app/send/SendFiles.h"

#include "app/host/FrameHost.h"
#include "core/files/AtomicFileWriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

// Neither the chosen file nor the default file could be written.
QString SaveFailedText(const QString& path, const QString& why)
{
    QString text = QCoreApplication::translate(
                       "CSendFiles", "发报窗报文无法保存到：\n%1\n也无法保存到默认文件：\n%2")
                       .arg(path, CSendFile::DefaultPath());
    if (!why.isEmpty())
        text += QStringLiteral("\n\n") + why;
    return text;
}

} // namespace

CSendFiles::CSendFiles(CFrameHost& host, QPlainTextEdit& editor, QObject* parent)
    : QObject(parent), m_host(host), m_editor(editor), m_file(editor, host.Store())
{
    // A file that is there but cannot be read keeps its content unless the user types (see
    // SaveAtExit).
    const QString path = m_file.Path();
    // Temporary files of saves that a kill interrupted.
    RemoveStaleTemporaries(path.toStdString());
    RemoveStaleTemporaries(CSendFile::DefaultPath().toStdString());
    m_bUnreadFileKept = !m_file.Load(path) && QFileInfo::exists(path);
    if (m_bUnreadFileKept) {
        QTimer::singleShot(0, this, [this, path] {
            m_host.ShowMessage(
                QCoreApplication::translate(
                    "CSendFiles",
                    "无法读取发报窗报文文件：\n%1\n\n只要不修改发报窗报文，退出时不会覆盖这个文件。")
                    .arg(path));
        });
    }
}

QString CSendFiles::AskFileName(bool open)
{
    const QString title = open ? QCoreApplication::translate("CSendFiles", "打开发送窗报文")
                               : QCoreApplication::translate("CSendFiles", "保存发送窗报文");
    return m_host.AskFileName(open, title, open ? QString() : QStringLiteral("VRL"),
                              QFileInfo(m_file.Path()).absolutePath());
}

void CSendFiles::SaveAtExit()
{
    // Saving the empty editor would put nothing over a file the start could not read.
    if (m_bUnreadFileKept && !m_editor.document()->isModified())
        return;
    QString path = m_file.Path();
    // The text is not lost quietly: when neither file can be written, the user is told and
    // may name another file (cancelling gives the text up).
    while (!m_file.Save(path)) {
        m_host.ShowMessage(
            SaveFailedText(path, m_file.SaveError())
            + QCoreApplication::translate("CSendFiles", "\n\n请另选一个文件保存发报窗报文。"));
        path = AskFileName(false);
        if (path.isEmpty())
            return;
    }
}

// The opened file is the one saved at exit: saving its text into the file saved last would
// overwrite that file with another's content.
void CSendFiles::Open()
{
    const QString name = AskFileName(true);
    if (name.isEmpty())
        return;
    // What was typed since the last save goes to its file first, as it would at exit:
    // another file replaces the text and would otherwise drop it. Opening the same file
    // again is the way back to its saved text.
    const QString current = m_file.Path();
    const bool sameFile =
        QFileInfo(name).canonicalFilePath() == QFileInfo(current).canonicalFilePath();
    if (m_editor.document()->isModified() && !sameFile && !m_file.Save(current)) {
        m_host.ShowMessage(SaveFailedText(current, m_file.SaveError()));
        return;
    }
    if (!m_file.Load(name, true))
        m_host.ShowMessage(
            QCoreApplication::translate("CSendFiles", "无法读取发报窗报文文件：\n%1").arg(name));
}

void CSendFiles::SaveAs()
{
    const QString name = AskFileName(false);
    if (!name.isEmpty() && !m_file.Save(name))
        m_host.ShowMessage(SaveFailedText(name, m_file.SaveError()));
}
