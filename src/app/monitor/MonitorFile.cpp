#include "app/monitor/MonitorFile.h"

#include "core/files/RichText.h"
#include "core/files/RtfReader.h"
#include "core/files/RtfWriter.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>

#include <algorithm>
#include <string>

namespace {
// Shows the busy cursor while a whole monitor file is written or read (a second or so for
// a full monitor of short lines).
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The face that monitor files name.
const std::string kFileFace = "宋体";

// The same text with the face `from` named `to` (the text is copied only when that face is
// in use).
RichText WithFace(RichText text, const std::string& from, const std::string& to)
{
    const std::vector<RichTextFormat>& formats = text.Formats();
    if (from == to || std::none_of(formats.begin(), formats.end(), [&](const RichTextFormat& f) {
            return f.m_face == from;
        }))
        return text;
    RichText renamed;
    renamed.Reserve(text.Text().size());
    std::vector<std::size_t> index;
    index.reserve(formats.size());
    for (RichTextFormat format : formats) {
        if (format.m_face == from)
            format.m_face = to;
        index.push_back(renamed.AddFormat(format));
    }
    for (std::size_t run = 0; run < text.RunCount(); ++run)
        renamed.Append(text.RunText(run), index[text.RunFormatIndex(run)]);
    return renamed;
}
} // namespace

bool CMonitorFile::Save(const QTextDocument& document, const QString& path, const QString& face,
                        QString& error)
{
    error.clear();
    const WaitCursor busy;
    const RichText text =
        WithFace(CMonitorText::FromDocument(document), face.toStdString(), kFileFace);
    // Streamed into a temporary file beside the old one and renamed over it: the file is not
    // built in memory first, and a failed write (a full disk) leaves the old file whole.
    std::string why;
    if (!RtfWriter::WriteFile(text, path.toStdString(), &why)) {
        error = why.empty()
                    ? QCoreApplication::translate("CMonitorFile", "无法保存文件“%1”！").arg(path)
                    : QString::fromStdString(why);
        return false;
    }
    return true;
}

bool CMonitorFile::Load(const QString& path, QTextDocument& document, const QString& face,
                        qint64 textLimit, QString& error, int lineLength)
{
    error.clear();
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kMaxFileBytes) {
        // Refused before reading: the monitor could not hold its text, and reading it would
        // freeze the window for seconds.
        error = QCoreApplication::translate(
                    "CMonitorFile", "文件“%1”太大（%2 MB），监视窗口只能打开 %3 MB 以内的文件！")
                    .arg(path)
                    .arg((info.size() + 1024 * 1024 - 1) / (1024 * 1024))
                    .arg(kMaxFileBytes / (1024 * 1024));
        return false;
    }
    const WaitCursor busy;
    RtfReadResult result = RtfReader::ReadFile(path.toStdString());
    if (!result.IsUsable()) {
        // Nothing is replaced: the monitor keeps its text.
        error = result.m_status == RtfReadStatus::NotRtf
                    ? QCoreApplication::translate("CMonitorFile", "文件“%1”不是监视报文文件：%2！")
                          .arg(path, QString::fromStdString(result.m_reason))
                    : QCoreApplication::translate("CMonitorFile", "无法打开文件“%1”！").arg(path);
        return false;
    }
    const qint64 length = CMonitorText::Utf16Length(result.m_document.Text());
    if (length > textLimit) {
        error =
            QCoreApplication::translate(
                "CMonitorFile", "文件“%1”有 %2 个字符，超过监视窗口的容量（%3 个字符），无法打开！")
                .arg(path)
                .arg(length)
                .arg(textLimit);
        return false;
    }
    if (result.m_status == RtfReadStatus::Partial)
        error = QCoreApplication::translate("CMonitorFile", "文件“%1”已损坏：%2。")
                    .arg(path, QString::fromStdString(result.m_reason));

    const RichText text = WithFace(std::move(result.m_document), kFileFace, face.toStdString());
    CMonitorText::ToDocument(text, document, lineLength);
    return true;
}
