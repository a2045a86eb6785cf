#include "app/send/SendFile.h"

#include "app/send/SendEditRichText.h"
#include "core/base/SettingsStore.h"
#include "core/files/RichText.h"
#include "core/files/RtfReader.h"
#include "core/files/RtfWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include <string>

namespace {

// Written aside and renamed into place: a failed save never leaves half a file. The text
// streams from the document's copy to the disk; the file is never built in memory.
bool WriteRtf(const RichText& doc, const QString& path, QString& error)
{
    std::string why;
    const bool ok = RtfWriter::WriteFile(doc, path.toStdString(), &why);
    error = QString::fromStdString(why);
    return ok;
}

} // namespace

CSendFile::CSendFile(QPlainTextEdit& editor, SettingsStore& store)
    : m_editor(editor), m_store(store)
{
}

QString CSendFile::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Tellumar/VRL/VRL.tnf");
}

QString CSendFile::Path() const
{
    const QString stored = QString::fromStdString(m_store.ReadString("Settings", "XREPath"));
    return stored.isEmpty() ? DefaultPath() : stored;
}

bool CSendFile::Save(const QString& path)
{
    const RichText doc = SendEditRichText::FromDocument(*m_editor.document());
    const QString fallback = DefaultPath();
    QString written = path;
    m_strSaveError.clear();
    if (path == fallback)
        QDir().mkpath(QFileInfo(fallback).absolutePath());
    bool ok = false;
    QString first;
    if (!path.isEmpty())
        ok = WriteRtf(doc, path, first);
    if (!ok) {
        QDir().mkpath(QFileInfo(fallback).absolutePath());
        QString second;
        if (!WriteRtf(doc, fallback, second)) {
            m_strSaveError = first.isEmpty() ? second : first + QLatin1Char('\n') + second;
            return false;
        }
        // Remember the file that holds the text, so that the next start shows it rather
        // than an older file at the path that could not be written.
        written = fallback;
    }
    m_editor.document()->setModified(false);
    m_store.WriteString("Settings", "XREPath", written.toStdString());
    return true;
}

bool CSendFile::Load(const QString& path, bool remember)
{
    QString read = path;
    RtfReadResult result = RtfReader::ReadFile(path.toStdString());
    if (result.m_status == RtfReadStatus::CannotOpen) {
        read = DefaultPath();
        result = RtfReader::ReadFile(read.toStdString());
    }
    // A file that is not rich text (or cannot be read at all) leaves the text as it is.
    if (!result.IsUsable())
        return false;
    SendEditRichText::ToDocument(result.m_document, *m_editor.document());
    m_editor.moveCursor(QTextCursor::Start);
    if (remember)
        m_store.WriteString("Settings", "XREPath", read.toStdString());
    return true;
}
