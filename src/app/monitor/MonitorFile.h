#pragma once

#include "app/monitor/MonitorText.h"

#include <QString>

class QTextDocument;

// Monitor files (".tnf"): the monitor's document saved as rich text and loaded from it.
// Files name the monitor's face "宋体" also where another face stands in for it on this
// machine (the document uses the face it shows), so that they look the same everywhere.
class CMonitorFile
{
public:
    // Largest file that is opened: eight bytes a character (every character a GBK pair
    // "\'hh\'hh") for a full monitor of 8 Mi characters. A file the monitor saved is 1 to 2
    // bytes a character. A file of 60 MB is read (and refused for its text) in half a
    // second with 200 MB of memory at the peak (bench_app_monitor_file --open=60).
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    // Writes document to path; the file is replaced only when written completely. False
    // with the reason in error (the program's language).
    static bool Save(const QTextDocument& document, const QString& path, const QString& face,
                     QString& error);

    // Replaces the content of document by the file, shown in face. False, with document
    // unchanged and the reason in error, when the file cannot be read, is not rich text, is
    // larger than kMaxFileBytes or has more than textLimit characters (the monitor holds no
    // more, and a part of the file shown and saved again would lose the rest). A damaged
    // file gives what could be read: true, with the damage in error.
    static bool Load(const QString& path, QTextDocument& document, const QString& face,
                     qint64 textLimit, QString& error,
                     int lineLength = CMonitorText::kDisplayLineLength);
};
