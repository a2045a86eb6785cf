#include "app/monitor/MonitorView.h"

#include "app/monitor/GlyphFallback.h"
#include "app/monitor/MonitorFile.h"
#include "app/monitor/MonitorFind.h"
#include "app/monitor/MonitorLinePainter.h"
#include "app/monitor/MonitorPrinter.h"
#include "app/monitor/MonitorRefresh.h"
#include "app/monitor/MonitorScrollBar.h"
#include "app/monitor/MonitorText.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPaintEvent>
#include <QPalette>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QThread>

#include <algorithm>

// The text limit. A rich edit control stops at a maximum of its own; QPlainTextEdit has
// none, so the limit comes from what the machine carries. Measured with
// `bench_app_monitor_view --sweep=16 [--size=10] [--files]` (Qt 6.4, bench/README.md):
// appending costs the same at any size, while memory, a find that fails, a save and a load
// grow with the text, and the per-line costs make short lines the dear case. At 8 Mi
// characters: 20 MB with lines of 4096-byte messages, 56 MB with lines of 10-byte messages
// (160,000 lines); a find 0.13 s, a save 0.2 s, a load 1 s. Twice that doubles every
// figure, and a load of 2 s is where a monitor file starts to feel slow to open.
const int CMonitorView::kDefaultTextLimit = 8 * 1024 * 1024;

CMonitorDocument::CMonitorDocument(QObject* parent) : QTextDocument(parent)
{
    setDocumentLayout(new QPlainTextDocumentLayout(this));
}

CMonitorView::CMonitorView(QWidget* parent) : QPlainTextEdit(parent)
{
    m_pDoc = new CMonitorDocument(this);
    setDocument(m_pDoc);
    m_appendCursor = QTextCursor(m_pDoc);
    m_nTextLimit = kDefaultTextLimit;

    const QString face = DefaultFace();
    for (int i = 0; i < kColourCount; ++i) {
        QTextCharFormat& format = m_charFormats[static_cast<std::size_t>(i)];
        format.setFontFamilies(QStringList{face});
        format.setFontPointSize(9);
        format.setForeground(QColor(QRgb(MonitorColourRgb(i))));
    }

    // The control's own font: 12 pixels high, weight 650. The colour formats set face, size
    // and colour only, so the weight shows through in every piece.
    QFont font(face);
    font.setPixelSize(12);
    font.setWeight(QFont::Weight(650));
    // Hex and ASCII lines need no shaping, and shaping is most of what laying out a line of
    // 12,287 characters costs.
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
    m_pGlyphs = std::make_unique<CGlyphFallback>(font);

    setVerticalScrollBar(new CMonitorScrollBar(Qt::Vertical, this));
    setHorizontalScrollBar(new CMonitorScrollBar(Qt::Horizontal, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetWordWrap(0);
    // Neither bar is shown "as needed", so a new range never shows or hides one; yet the
    // scroll area checks at every new range, and the check raises both bars in turn, which
    // repaints them with the frame and the window under them: at every refresh of a growing
    // text.
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        const bool quiet =
            disconnect(bar, SIGNAL(rangeChanged(int, int)), this, SLOT(_q_showOrHideScrollBars()));
        Q_ASSERT(quiet);
    }

    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(230, 230, 230));
    setPalette(pal);

    m_pDoc->setModified(false);
    m_pPrinter = std::make_unique<CMonitorPrinter>(*this);
    m_pFind = std::make_unique<CMonitorFind>(*this);
    connect(m_pFind.get(), &CMonitorFind::textNotFound, this, &CMonitorView::textNotFound);

    // The editor's text control draws the blinking caret. Finding where the caret is walks
    // from the first line on the screen to the caret's line, laying out every line between;
    // with the caret at the end of appends that the screen has not caught up with yet, that
    // is every line appended since the last refresh.
    for (QObject* child : children()) {
        if (child->inherits("QWidgetTextControl")) {
            m_pTextControl = child;
            child->installEventFilter(this);
        }
    }

    connect(&m_refresh, &CMonitorRefresh::due, this,
            [this] { ShowAppended(m_refresh.PinnedBlocks()); });
}

CMonitorView::~CMonitorView() = default;

QString CMonitorView::DefaultFace()
{
    return CGlyphFallback::MonitorFace();
}

const QTextCharFormat& CMonitorView::GetCharFormat(int colourIndex) const
{
    const int i = std::clamp(colourIndex, 0, kColourCount - 1);
    return m_charFormats[static_cast<std::size_t>(i)];
}

int CMonitorView::GetTextLength() const
{
    // characterCount() counts the document's final paragraph mark too.
    return m_pDoc->characterCount() - 1;
}

void CMonitorView::SetTextLimit(int limit)
{
    m_nTextLimit = std::max(1, limit);
}

void CMonitorView::BeginAppend()
{
    // Port data reaches the window thread through queued calls; nothing else may append.
    Q_ASSERT_X(QThread::currentThread() == thread(), "CMonitorView::BeginAppend",
               "called on the window's thread");
    if (m_nAppendDepth++ > 0)
        return;
    // Appends are not recorded for undo: a log of megabytes would be kept twice, and the
    // document frees removed text only while undo is off. A change that is not recorded
    // leaves the positions of the recorded ones wrong, so the history goes, as it does in
    // a rich edit control.
    m_pDoc->setUndoRedoEnabled(false);
    // QPlainTextEdit lays out the last screenful of lines whenever the document's size
    // changes, to fit its scroll bar; for lines of 12,287 characters (a 4096-byte message)
    // that costs more than the append. The layout's notifications are held while appending
    // and given once per refresh instead.
    m_pDoc->documentLayout()->blockSignals(true);
    m_appendCursor.beginEditBlock();
}

void CMonitorView::EndAppend()
{
    if (m_nAppendDepth == 0)
        return;
    if (--m_nAppendDepth > 0)
        return;
    m_appendCursor.endEditBlock();
    m_pDoc->documentLayout()->blockSignals(false);
    m_bLayoutChanged = true;
    m_pDoc->setUndoRedoEnabled(true);
    m_pDoc->setModified(true);
    PlaceCaretAtEnd();
    m_refresh.Schedule();
}

void CMonitorView::AppendText(const QString& text, int colourIndex)
{
    QString piece = text;
    // A rich edit control takes "\r\n" as one line end; the document would make two.
    if (piece.contains(QLatin1Char('\r')))
        piece.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    BeginAppend();
    // The limit is tested per piece: the piece that reaches it empties the text and starts
    // the new one, even in the middle of a line.
    if (static_cast<qint64>(GetTextLength()) + piece.size() >= m_nTextLimit) {
        // The view hears of this one at once: its scroll range and first line must not
        // point past the end of the emptied text.
        m_appendCursor.endEditBlock();
        ReplaceDocument();
        // Under a flood the cut comes several times a second: the start of the new text
        // would be laid out and painted only to be scrolled past at the refresh, which
        // comes soon (this append schedules it) and paints the screen whole.
        if (!m_bCutUnshown) {
            m_bCutUnshown = true;
            viewport()->setUpdatesEnabled(false);
        }
        m_pDoc->setUndoRedoEnabled(false);
        m_pDoc->documentLayout()->blockSignals(true);
        m_appendCursor.beginEditBlock();
    }
    // setPosition inside the edit, not movePosition: moving lays the line out first, and a
    // line of a 4096-byte message has 12,287 characters.
    m_appendCursor.setPosition(GetTextLength());
    if (colourIndex >= 0 && colourIndex < kColourCount)
        m_pGlyphs->Insert(m_appendCursor, piece,
                          m_charFormats[static_cast<std::size_t>(colourIndex)]);
    else
        m_appendCursor.insertText(piece);
    EndAppend();
}

void CMonitorView::ReplaceDocument()
{
    CMonitorDocument* full = m_pDoc;
    m_pDoc = new CMonitorDocument(this);
    m_pDoc->setDefaultFont(full->defaultFont());
    m_pDoc->setModified(full->isModified());
    m_appendCursor = QTextCursor(m_pDoc);
    setDocument(m_pDoc);
    m_refresh.Unpin();
    m_nRefreshedBlocks = m_pDoc->blockCount();
    // Nothing on the window thread refers to the full document any more (the editor has let
    // go of it, the append cursor is on the new one); with no thread of its own it has no
    // events to wait for and may be deleted on the disposer's.
    full->setParent(nullptr);
    full->moveToThread(nullptr);
    m_disposer.Dispose([full] { delete full; });
}

void CMonitorView::ShowCutText()
{
    if (!m_bCutUnshown)
        return;
    m_bCutUnshown = false;
    viewport()->setUpdatesEnabled(true);
}

void CMonitorView::PlaceCaretAtEnd()
{
    QTextCursor caret = textCursor();
    if (caret.hasSelection() || !caret.atEnd()) {
        caret.setPosition(GetTextLength());
        setTextCursor(caret);
    }
    // What the user types next is black.
    setCurrentCharFormat(m_charFormats[0]);
}

void CMonitorView::Refresh()
{
    ShowAppended(-1);
}

void CMonitorView::ShowAppended(int pinnedBlocks)
{
    QElapsedTimer work;
    work.start();
    m_refresh.Stop();
    // The scroll bars are repainted once at the end, and only if they look different.
    const std::array<CMonitorScrollBar*, 2> bars{
        static_cast<CMonitorScrollBar*>(verticalScrollBar()),
        static_cast<CMonitorScrollBar*>(horizontalScrollBar())};
    for (CMonitorScrollBar* bar : bars)
        bar->HoldRepaint();
    const bool follow = textCursor().atEnd();
    // The screen that the refresh laid out ahead ends before the end of the text: it is shown,
    // and the lines after it at the next refresh. The editor hears of the new size only then,
    // for it would lay out the last screen of the text to size its scroll bar.
    const bool pinned =
        follow && m_nWordWrap == 0 && pinnedBlocks > 0 && pinnedBlocks < m_pDoc->blockCount();
    const bool changed = m_bLayoutChanged;
    if (changed && !pinned) {
        m_bLayoutChanged = false;
        QAbstractTextDocumentLayout* layout = m_pDoc->documentLayout();
        Q_EMIT layout->documentSizeChanged(layout->documentSize());
    }
    QScrollBar* bar = verticalScrollBar();
    const int screenLines = m_refresh.ScreenLines();
    // Without wrap, a line of the text is a line of the screen.
    const int top = pinned ? std::max(0, pinnedBlocks - screenLines) : bar->maximum();
    if (top > bar->maximum())
        bar->setMaximum(top);
    // Scrolling a painting view moves the pixels already drawn and paints only the lines
    // that come in, but to know how far, it walks (and lays out) every line it passes; and
    // so does finding the caret, from the first line on the screen. A screen that is more
    // than a screenful behind the end jumps there instead, with updates off, and is
    // repainted whole.
    const bool jump = follow && top - bar->value() > screenLines;
    if (jump)
        viewport()->setUpdatesEnabled(false);
    if (follow)
        bar->setValue(top);
    if (!pinned)
        ensureCursorVisible();
    if (m_bCutUnshown) {
        // Painted now: a repaint left for later would meet the next cut of a flood first.
        m_bCutUnshown = false;
        viewport()->setUpdatesEnabled(true);
        viewport()->repaint();
    } else if (jump) {
        viewport()->setUpdatesEnabled(true);
    } else if (changed) {
        // The new text: from the line that was the last at the previous refresh down.
        const QTextBlock from = m_pDoc->findBlockByNumber(m_nRefreshedBlocks - 1);
        int top = 0;
        if (from.isValid() && from.blockNumber() >= firstVisibleBlock().blockNumber())
            top = static_cast<int>(blockBoundingGeometry(from).translated(contentOffset()).top());
        viewport()->update(0, std::max(0, top), viewport()->width(), viewport()->height());
    }
    for (CMonitorScrollBar* bar : bars)
        bar->Release();
    m_nRefreshedBlocks = pinned ? pinnedBlocks : m_pDoc->blockCount();
    if (!pinned)
        m_lastCaretRect = cursorRect();
    m_refresh.Done(work.nsecsElapsed());
    if (pinned)
        m_refresh.Schedule();
}

bool CMonitorView::eventFilter(QObject* watched, QEvent* event)
{
    // The caret blinks again at the refresh, a moment later.
    if (watched == m_pTextControl && event->type() == QEvent::Timer && m_bLayoutChanged)
        return true;
    return QPlainTextEdit::eventFilter(watched, event);
}

QVariant CMonitorView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Where the caret was at the last refresh will do until the next (see eventFilter).
    if (m_bLayoutChanged && (query == Qt::ImCursorRectangle || query == Qt::ImAnchorRectangle))
        return m_lastCaretRect;
    return QPlainTextEdit::inputMethodQuery(query);
}

void CMonitorView::paintEvent(QPaintEvent* event)
{
    // A repaint asked for before the cut: the new text's start would be laid out for
    // nothing; the background alone shows the emptied text until the refresh.
    if (m_bCutUnshown)
        return;
    QElapsedTimer work;
    work.start();
    if (m_pDoc->isEmpty())
        QPlainTextEdit::paintEvent(event); // the placeholder text
    else
        CMonitorLinePainter::DrawScreen(*this, firstVisibleBlock(), contentOffset(),
                                        getPaintContext(), event->region());
    m_refresh.AddPaintCost(work.nsecsElapsed());
}

void CMonitorView::ClearAll(bool emptyUndo)
{
    ShowCutText();
    if (emptyUndo && m_nAppendDepth == 0) {
        // An empty document at once, the full one freed on the disposer (a removal that can
        // no longer be undone would leave the text in the document's buffer). The timed clear
        // comes here while ports receive.
        ReplaceDocument();
        m_pDoc->setModified(false);
        Q_EMIT cleared();
        return;
    }
    QTextCursor cursor(m_pDoc);
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    if (emptyUndo)
        m_pDoc->clearUndoRedoStacks();
    m_nRefreshedBlocks = m_pDoc->blockCount();
    Q_EMIT cleared();
}

void CMonitorView::SetWordWrap(int mode)
{
    m_nWordWrap = mode != 0 ? 1 : 0;
    setLineWrapMode(m_nWordWrap != 0 ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    // Scroll bars that come and go with the text change the width of the text area, and
    // every such change lays the visible lines out anew.
    setHorizontalScrollBarPolicy(m_nWordWrap != 0 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
}

void CMonitorView::SetReadOnly(bool flag)
{
    m_bReadOnly = flag;
    setReadOnly(flag);
    // The user can still move through the text and select from the keyboard.
    if (flag)
        setTextInteractionFlags(textInteractionFlags() | Qt::TextSelectableByKeyboard);
}

void CMonitorView::SetModified(bool flag)
{
    m_pDoc->setModified(flag);
}

bool CMonitorView::IsModified() const
{
    return m_pDoc->isModified();
}

bool CMonitorView::HandlesCommand(int id)
{
    static constexpr CommandId kCommands[] = {
        ID_FILE_PRINT_SETUP, ID_FILE_PRINT,   ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW,
        ID_EDIT_COPY,        ID_EDIT_CUT,     ID_EDIT_FIND,         ID_EDIT_PASTE,
        ID_EDIT_REPEAT,      ID_EDIT_REPLACE, ID_EDIT_SELECT_ALL,   ID_EDIT_UNDO,
    };
    return std::ranges::find(kCommands, id) != std::end(kCommands);
}

bool CMonitorView::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_PRINT_SETUP: m_pPrinter->PrintSetup(); return true;
    case ID_FILE_PRINT: m_pPrinter->Print(); return true;
    case ID_FILE_PRINT_DIRECT: m_pPrinter->PrintDirect(); return true;
    case ID_FILE_PRINT_PREVIEW: m_pPrinter->PrintPreview(); return true;
    case ID_EDIT_COPY: OnEditCopy(); return true;
    case ID_EDIT_CUT: OnEditCut(); return true;
    case ID_EDIT_FIND: m_pFind->OpenDialog(false); return true;
    case ID_EDIT_PASTE: OnEditPaste(); return true;
    case ID_EDIT_REPEAT: OnEditRepeat(); return true;
    case ID_EDIT_REPLACE:
        if (!m_bReadOnly)
            m_pFind->OpenDialog(true);
        return true;
    case ID_EDIT_SELECT_ALL: OnEditSelectAll(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    default: return false;
    }
}

bool CMonitorView::IsCommandEnabled(int id) const
{
    const bool hasText = !m_pDoc->isEmpty();
    const bool hasSelection = textCursor().hasSelection();
    switch (id) {
    case ID_EDIT_UNDO: return !m_bReadOnly && m_pDoc->isUndoAvailable();
    case ID_EDIT_CUT: return !m_bReadOnly && hasSelection;
    case ID_EDIT_COPY: return hasSelection;
    case ID_EDIT_PASTE: return !m_bReadOnly && canPaste();
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_FIND: return hasText;
    case ID_EDIT_REPEAT: return hasText && !GetFindText().isEmpty();
    case ID_EDIT_REPLACE: return hasText && !m_bReadOnly;
    case ID_FILE_PRINT_SETUP:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: return true;
    default: return false;
    }
}

void CMonitorView::OnEditUndo()
{
    if (!m_bReadOnly)
        undo();
}

void CMonitorView::OnEditCut()
{
    if (!m_bReadOnly)
        cut();
}

void CMonitorView::OnEditCopy()
{
    copy();
}

QMimeData* CMonitorView::createMimeDataFromSelection() const
{
    // Plain text only, taken from the document: the editor's own copy renders the selection
    // as HTML and OpenDocument as well, about 12 s for a whole monitor of 5 MB; and lines cut
    // for the screen are copied whole. Copy, cut, drag and the selection clipboard come here.
    const QTextCursor selection = textCursor();
    auto* data = new QMimeData;
    data->setText(
        CMonitorText::PlainText(*m_pDoc, selection.selectionStart(), selection.selectionEnd()));
    return data;
}

void CMonitorView::OnEditPaste()
{
    // The editor pastes plain text only; it takes the format of the insertion point.
    if (!m_bReadOnly)
        paste();
}

void CMonitorView::OnEditSelectAll()
{
    selectAll();
}

// --- Find and replace -----------------------------------------------------------------------

bool CMonitorView::FindText(const QString& what, bool matchCase, bool wholeWord, bool forward)
{
    return m_pFind->FindText(what, matchCase, wholeWord, forward);
}

bool CMonitorView::ReplaceText(const QString& what, const QString& with, bool matchCase,
                               bool wholeWord)
{
    return m_pFind->ReplaceText(what, with, matchCase, wholeWord);
}

int CMonitorView::ReplaceAll(const QString& what, const QString& with, bool matchCase,
                             bool wholeWord)
{
    return m_pFind->ReplaceAll(what, with, matchCase, wholeWord);
}

const QString& CMonitorView::GetFindText() const
{
    return m_pFind->GetFindText();
}

void CMonitorView::OnEditRepeat()
{
    m_pFind->FindAgain();
}

// --- Printing -------------------------------------------------------------------------------

const QMarginsF& CMonitorView::GetPrintMargins() const
{
    return m_pPrinter->Margins();
}

void CMonitorView::PrintTo(QPrinter& printer) const
{
    m_pPrinter->PrintTo(printer);
}

// --- Monitor files ----------------------------------------------------------------------------

bool CMonitorView::SaveFile(const QString& path)
{
    if (!CMonitorFile::Save(*m_pDoc, path, DefaultFace(), m_strFileError))
        return false;
    m_pDoc->setModified(false);
    return true;
}

bool CMonitorView::LoadFile(const QString& path)
{
    // A refresh due for the text that the load replaced has nothing left to show.
    if (!CMonitorFile::Load(path, *m_pDoc, DefaultFace(), m_nTextLimit, m_strFileError))
        return false;
    m_refresh.Stop();
    m_bLayoutChanged = false;
    ShowCutText();
    m_nRefreshedBlocks = m_pDoc->blockCount();
    m_pDoc->setModified(false);
    moveCursor(QTextCursor::Start);
    return true;
}
