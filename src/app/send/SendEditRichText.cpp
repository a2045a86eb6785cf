#include "app/send/SendEditRichText.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <string_view>

namespace {

// A run's text with every line end as one '\n'; afterCr carries a CR that ended the run
// before, whose LF may open this one.
QString WithLineEnds(std::string_view utf8, bool& afterCr)
{
    if (afterCr && !utf8.empty() && utf8.front() == '\n')
        utf8.remove_prefix(1);
    afterCr = !utf8.empty() && utf8.back() == '\r';
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar end : {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator),
                      QChar(0xFDD0), QChar(0xFDD1)})
        text.replace(end, QLatin1Char('\n'));
    return text;
}

} // namespace

RichTextFormat SendEditRichText::ToRichFormat(const QTextCharFormat& f)
{
    RichTextFormat r;
    r.m_color = f.foreground().color().rgb() & 0xFFFFFFu;
    if (f.hasProperty(QTextFormat::FontPointSize))
        r.m_halfPoints = static_cast<int>(f.fontPointSize() * 2 + 0.5);
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        r.m_face = families.first().toStdString();
    return r;
}

QTextCharFormat SendEditRichText::ToCharFormat(const RichTextFormat& r)
{
    QTextCharFormat f;
    f.setForeground(QColor(QRgb(r.m_color)));
    if (r.m_halfPoints > 0)
        f.setFontPointSize(r.m_halfPoints / 2.0);
    if (!r.m_face.empty())
        f.setFontFamilies({QString::fromStdString(r.m_face)});
    return f;
}

RichText SendEditRichText::FromDocument(const QTextDocument& document,
                                        const BlockContinues& continues)
{
    RichText text;
    QHash<int, std::size_t> formatOf; // the document's format index -> the model's
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin() && !(continues && continues(block)))
            text.Append("\n", text.AddFormat(RichTextFormat{}));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const int key = fragment.charFormatIndex();
            auto found = formatOf.constFind(key);
            if (found == formatOf.constEnd())
                found = formatOf.insert(key, text.AddFormat(ToRichFormat(fragment.charFormat())));
            // Adjacent appends with the same format merge into one run, so a line cut for
            // the screen comes back as the one run it was.
            text.Append(fragment.text().toStdString(), *found);
        }
    }
    return text;
}

void SendEditRichText::ToDocument(const RichText& text, QTextDocument& document)
{
    ToDocument(text, document,
               [](QTextCursor& cursor, QStringView piece, const QTextCharFormat& format) {
                   cursor.insertText(piece.toString(), format);
               });
}

void SendEditRichText::ToDocument(const RichText& text, QTextDocument& document,
                                  const PieceInserter& insertPiece)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    std::vector<QTextCharFormat> formats;
    formats.reserve(text.Formats().size());
    for (const RichTextFormat& f : text.Formats())
        formats.push_back(ToCharFormat(f));
    bool afterCr = false;
    for (std::size_t run = 0; run < text.RunCount(); ++run) {
        const QTextCharFormat& format = formats[text.RunFormatIndex(run)];
        const QString runText = WithLineEnds(text.RunText(run), afterCr);
        qsizetype from = 0;
        while (from <= runText.size()) {
            const qsizetype nl = runText.indexOf(QLatin1Char('\n'), from);
            const qsizetype to = nl < 0 ? runText.size() : nl;
            if (to > from)
                insertPiece(cursor, QStringView(runText).sliced(from, to - from), format);
            if (nl < 0)
                break;
            cursor.insertBlock(QTextBlockFormat(), format);
            from = nl + 1;
        }
    }
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}
