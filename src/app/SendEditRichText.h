#pragma once

#include "RichText.h"

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
};
