#pragma once

#include "RichText.h"

#include <QString>

#include <string_view>

class QTextCharFormat;
class QTextDocument;

// Moves the send editor's text with its colours between the editor's document and the
// core's rich-text model, which the RTF reader and writer work on.
class SendEditRichText
{
public:
    static RichText FromDocument(const QTextDocument& document);
    // Replaces the whole content of `document` (one edit, off the undo history).
    static void ToDocument(const RichText& text, QTextDocument& document);

    // One character format each way (colour, size and face; nothing else is kept).
    static RichTextFormat ToRichFormat(const QTextCharFormat& format);
    static QTextCharFormat ToCharFormat(const RichTextFormat& format);

    // UTF-8 text as a document will hold it: CR LF, CR, the Unicode line and paragraph
    // separators and the frame marks each become the one '\n' that ends a line (inserted as
    // they are, a document would end a line at each, CR LF making two, and a line separator
    // would be a soft break inside a line). Text given run after run passes the same afterCr
    // each time, so that a CR LF split between two runs ends one line too.
    static QString WithLineEnds(std::string_view utf8, bool& afterCr);
};
