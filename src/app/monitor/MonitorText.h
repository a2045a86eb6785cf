#pragma once

#include "core/files/RichText.h"

#include <QString>

class QTextBlock;
class QTextDocument;

// The monitor's document and the text it stands for. A line longer than kDisplayLineLength
// is shown as several lines: laying out and painting a line costs in proportion to its
// whole length, whatever part of it is on the screen, and a line of megabytes freezes the
// view at every caret blink. The lines after the first carry kContinuationState as their
// block's user state and are joined to the line before them again wherever the text leaves
// the view (save, copy, print).
//
// The mark is a block's user state, not a block format: a new block gets no user state,
// so a line end appended or typed after a continued line starts a real line, whereas the
// block format is passed on to the block that a line end starts.
class CMonitorText
{
public:
    // Above the longest line the monitor writes itself (a 4096-byte message: 12,287
    // characters of hex after a time stamp and port of about 25), so that the files it
    // saves load unchanged; a line this long costs about 1.5 ms to lay out and paint.
    static constexpr int kDisplayLineLength = 16384;
    static constexpr int kContinuationState = 0x4C4E; // "LN"

    static bool IsContinuation(const QTextBlock& block);

    // The document's text with its formats; continuation lines are joined to the line
    // before them.
    static RichText FromDocument(const QTextDocument& document);
    // Replaces the whole document by text (one edit, off the undo history), splitting lines
    // longer than lineLength characters, after a space where one is near the end.
    static void ToDocument(const RichText& text, QTextDocument& document,
                           int lineLength = kDisplayLineLength);
    // The text from position from to position to, with "\n" between lines and none where a
    // line continues.
    static QString PlainText(const QTextDocument& document, int from, int to);
    // Positions (from the start of the document) of the display breaks between from and to:
    // the separators before continuation lines.
    static QList<int> ContinuationBreaks(const QTextDocument& document, int from, int to);
    // Number of UTF-16 units (the document's characters) in UTF-8 text.
    static qint64 Utf16Length(const std::string& utf8);
};
