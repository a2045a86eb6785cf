#include "app/monitor/MonitorLinePainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {
// Characters drawn beyond each side of the clip, for glyphs that reach over their neighbours.
constexpr int kSliceMargin = 16;

// A slice drawn on its own looks as it does in the whole line only where each character's
// place does not depend on the ones before it in other ways than by their widths: a tab's
// width depends on where it stands, an object is not text, and right-to-left text is
// reordered over the line.
bool Sliceable(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x0590) {
            if (c == u'\t')
                return false;
            continue;
        }
        if (c == QChar::ObjectReplacementCharacter)
            return false;
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text.at(++i).unicode());
        switch (QChar::direction(code)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI:
        case QChar::DirFSI:
        case QChar::DirAN: return false;
        default: break;
        }
    }
    return true;
}
} // namespace

void CMonitorLinePainter::Draw(QPainter& painter, const QTextBlock& block, const QPointF& offset,
                               const QList<QTextLayout::FormatRange>& selections,
                               const QRectF& clip)
{
    QTextLayout* layout = block.layout();
    const int length = block.length() - 1; // without the line end
    const QString text = block.text();
    if (length < kSliceFrom || layout->lineCount() != 1 || !layout->preeditAreaText().isEmpty()
        || !clip.isValid() || !Sliceable(text)) {
        layout->draw(&painter, offset, selections, clip);
        return;
    }
    // Scrolled sideways, the line's layout says which character stands at the clip's left;
    // unscrolled, the slice starts where the line does.
    const QTextLine line = layout->lineAt(0);
    const qreal left = clip.left() - offset.x();
    const qreal right = clip.right() - offset.x();
    int from = 0;
    qreal x = line.x();
    if (left > line.x()) {
        from = std::max(0, line.xToCursor(left, QTextLine::CursorBetweenCharacters) - kSliceMargin);
        if (from > 0 && text.at(from).isLowSurrogate())
            --from;
        x = line.cursorToX(from);
    }
    const QFont font = block.document()->defaultFont();
    // Characters for the width, counted generously (narrow glyphs, the margin); twice as many
    // where they fall short.
    int count =
        static_cast<int>((right - x) / std::max(1.0, QFontMetricsF(font).averageCharWidth() / 2))
        + 2 * kSliceMargin;
    for (;;) {
        int to = static_cast<int>(std::min<qint64>(length, qint64{from} + count));
        if (to < length && text.at(to).isLowSurrogate())
            ++to;
        // The formats of the slice's characters, and of the line end where the slice reaches it.
        const int end = to == length ? length + 1 : to;
        auto within = [from, end](const QTextLayout::FormatRange& range,
                                  QList<QTextLayout::FormatRange>& into) {
            const int start = std::max(range.start, from);
            const int stop = std::min(range.start + range.length, end);
            if (stop > start)
                into.append({start - from, stop - start, range.format});
        };
        QList<QTextLayout::FormatRange> formats;
        for (const QTextLayout::FormatRange& range : block.textFormats())
            within(range, formats);

        QTextLayout slice(text.mid(from, to - from), font);
        slice.setTextOption(layout->textOption());
        slice.setFormats(formats);
        slice.beginLayout();
        QTextLine part = slice.createLine();
        part.setLeadingIncluded(true);
        part.setNumColumns(to - from);
        // On the line's baseline: the slice may lack the tallest face of the line.
        part.setPosition(QPointF(x, line.y() + line.ascent() - part.ascent()));
        slice.endLayout();
        if (to < length && x + part.naturalTextWidth() < right) {
            count *= 2;
            continue;
        }
        QList<QTextLayout::FormatRange> selected;
        for (const QTextLayout::FormatRange& range : selections)
            within(range, selected);
        slice.draw(&painter, offset, selected, clip);
        return;
    }
}

void CMonitorLinePainter::DrawScreen(QPlainTextEdit& editor, QTextBlock block, QPointF offset,
                                     const QAbstractTextDocumentLayout::PaintContext& context,
                                     const QRegion& region)
{
    QTextDocument* document = editor.document();
    auto* documentLayout = static_cast<QPlainTextDocumentLayout*>(document->documentLayout());
    QWidget* viewport = editor.viewport();
    QPainter painter(viewport);
    const qreal maximumWidth = documentLayout->documentSize().width();
    painter.setBrushOrigin(offset); // where a wave underline starts
    // The right margin stays clear of selections that fill the width.
    const int maxX = static_cast<int>(offset.x() + std::max<qreal>(viewport->width(), maximumWidth)
                                      - document->documentMargin() + editor.cursorWidth());
    const QRegion area = region & QRect(QPoint(0, 0), QPoint(maxX, viewport->height()));
    const QRect clip = area.boundingRect();
    painter.setClipRegion(area);

    painter.setPen(context.palette.text().color());
    const bool caretShown =
        !editor.isReadOnly() || (editor.textInteractionFlags() & Qt::TextSelectableByKeyboard);
    for (; block.isValid(); block = block.next()) {
        const QRectF r = documentLayout->blockBoundingRect(block).translated(offset);
        // A line between the rectangles of the region (the caret's and the appended lines',
        // say) is not drawn.
        const QRect line = QRectF(clip.left(), r.top(), clip.width(), r.height()).toAlignedRect();
        if (block.isVisible() && r.bottom() >= clip.top() && r.top() <= clip.bottom()
            && area.intersects(line)) {
            QTextLayout* layout = block.layout();
            const QBrush background = block.blockFormat().background();
            if (background != Qt::NoBrush) {
                painter.save();
                painter.setBrushOrigin(r.topLeft());
                painter.fillRect(
                    QRectF(r.topLeft(), QSizeF(std::max(r.width(), maximumWidth), r.height())),
                    background);
                painter.restore();
            }
            QList<QTextLayout::FormatRange> selections;
            const int blockStart = block.position();
            const int blockLength = block.length();
            for (const QAbstractTextDocumentLayout::Selection& range : context.selections) {
                const int start = range.cursor.selectionStart() - blockStart;
                const int end = range.cursor.selectionEnd() - blockStart;
                if (start < blockLength && end > 0 && end > start) {
                    selections.append({start, end - start, range.format});
                } else if (!range.cursor.hasSelection()
                           && range.format.hasProperty(QTextFormat::FullWidthSelection)
                           && block.contains(range.cursor.position())) {
                    const QTextLine line =
                        layout->lineForTextPosition(range.cursor.position() - blockStart);
                    int length = line.textLength();
                    if (line.textStart() + length == blockLength - 1)
                        ++length; // the line end
                    selections.append({line.textStart(), length, range.format});
                }
            }
            const int caret = context.cursorPosition;
            const bool drawCaret =
                caretShown && caret >= blockStart && caret < blockStart + blockLength;
            bool caretAsBlock =
                drawCaret && editor.overwriteMode() && caret != blockStart + blockLength - 1;
            if (caretAsBlock) {
                QTextCharFormat format;
                format.setForeground(editor.palette().base());
                format.setBackground(editor.palette().text());
                selections.append({caret - blockStart, 1, format});
            }
            Draw(painter, block, offset, selections, (area & line).boundingRect());
            const bool preedit =
                !editor.isReadOnly() && caret < -1 && !layout->preeditAreaText().isEmpty();
            if ((drawCaret && !caretAsBlock) || preedit) {
                const int at =
                    caret < -1 ? layout->preeditAreaPosition() - (caret + 2) : caret - blockStart;
                layout->drawCursor(&painter, offset, at, editor.cursorWidth());
            }
        }
        offset.ry() += r.height();
        if (offset.y() > viewport->height())
            break;
    }
}
