#pragma once

#include <QAbstractTextDocumentLayout>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QTextLayout>

class QPainter;
class QPlainTextEdit;
class QTextBlock;

// Draws one line of the monitor's text. A line wider than the screen is drawn from a layout of
// the characters that the clip rectangle shows (and a few either side), placed where the line's
// own layout puts them: a 4096-byte message is a line of 12,287 characters of which about 130
// fit a window, and drawing the whole line costs about a hundred times the visible part.
class CMonitorLinePainter
{
public:
    // Lines shorter than this are drawn whole (a slice's own layout would cost more).
    static constexpr int kSliceFrom = 1024;

    // Draws block, already laid out as one line (no wrap), at offset with its selections
    // (positions in the block), as QTextLayout::draw would within clip. Blocks laid out in
    // several lines are drawn whole.
    static void Draw(QPainter& painter, const QTextBlock& block, const QPointF& offset,
                     const QList<QTextLayout::FormatRange>& selections, const QRectF& clip);
    // The editor's screen as QPlainTextEdit paints it (its background off) from block, its
    // first visible block, at offset, each line through Draw, with the selections and caret of
    // context; only within region, and only the lines that cross it.
    static void DrawScreen(QPlainTextEdit& editor, QTextBlock block, QPointF offset,
                           const QAbstractTextDocumentLayout::PaintContext& context,
                           const QRegion& region);
};
