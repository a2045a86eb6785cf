#pragma once

#include "core/files/RichText.h"

#include <QStringView>

#include <functional>

class QTextBlock;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

// Moves the send editor's text with its colours between the editor's document and the
// core's rich-text model, which the RTF reader and writer work on.
class SendEditRichText
{
public:
    // A block for which continues() is true is joined to the one before it (no line end).
    using BlockContinues = std::function<bool(const QTextBlock& block)>;
    static RichText FromDocument(const QTextDocument& document,
                                 const BlockContinues& continues = {});
    // Replaces the whole content of `document` (one edit, off the undo history, left
    // unmodified).
    static void ToDocument(const RichText& text, QTextDocument& document);

    // Puts a piece of a line (no line end in it) at the cursor in the given format.
    using PieceInserter =
        std::function<void(QTextCursor& cursor, QStringView piece, const QTextCharFormat& format)>;
    // The same, with each piece put in by insertPiece. Every line end that a document knows
    // (CR LF, also split by a change of format, CR, LF, the Unicode line and paragraph
    // separators, the frame marks) ends exactly one line: inserted as they are, a document
    // would end a line at each of CR and LF, and a line separator would be a soft break
    // inside a line.
    static void ToDocument(const RichText& text, QTextDocument& document,
                           const PieceInserter& insertPiece);

    // One character format each way (colour, size and face; nothing else is kept).
    static RichTextFormat ToRichFormat(const QTextCharFormat& format);
    static QTextCharFormat ToCharFormat(const RichTextFormat& format);
};
