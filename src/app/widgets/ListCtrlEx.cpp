#include "app/widgets/ListCtrlEx.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

// Room the editor needs beside its text: the frame and the line edit's own margins, and the
// few pixels that keep the caret clear of the edge.
constexpr int kEditorSpare = 5 + 8;

bool IsEditorKey(const QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete: return true;
    default: return (e->modifiers() & Qt::ControlModifier) != 0;
    }
}

} // namespace

// --- CListCellEdit ----------------------------------------------------------------------

CListCellEdit::CListCellEdit(CListCtrlEx& list, int row, int column, const QString& initialText)
    : QLineEdit(initialText, list.viewport()), m_list(list), m_nRow(row), m_nColumn(column),
      m_strInitText(initialText)
{
    setObjectName(QStringLiteral("listCellEdit"));
    setFont(list.font());
    connect(this, &QLineEdit::textChanged, this, &CListCellEdit::WidenToText);
}

bool CListCellEdit::event(QEvent* e)
{
    // Return, Escape, Delete and Ctrl keys belong to the editor, not to the shortcuts of the
    // window around the list (nor to a dialog's default button, see keyPressEvent).
    if (e->type() == QEvent::ShortcutOverride && IsEditorKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    // Tab walks the cells as in a spreadsheet; the widget would otherwise take it to move
    // the focus before keyPressEvent sees it.
    if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_list.EditNextCell(this, key->key() == Qt::Key_Tab
                                          && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CListCellEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Accepted here, so that the key never reaches the dialog that holds the list,
        // where Return would press the default button and Escape would close it.
        e->accept();
        m_bCancelled = key == Qt::Key_Escape;
        m_list.setFocus(Qt::OtherFocusReason);
        // In a window that is not active the focus does not move; end the edit anyway.
        m_list.EndEdit(this);
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CListCellEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // The editor's own context menu takes the focus for a moment: the edit goes on.
    if (e->reason() == Qt::PopupFocusReason)
        return;
    m_list.EndEdit(this);
}

void CListCellEdit::WidenToText()
{
    const int needed = fontMetrics().horizontalAdvance(text()) + kEditorSpare;
    if (needed <= width())
        return;
    const int room = parentWidget()->width() - x();
    const int wanted = std::min(needed, room);
    if (wanted > width())
        resize(wanted, height());
}

// --- CListCtrlEx ------------------------------------------------------------------------

CListCtrlEx::CListCtrlEx(QWidget* parent) : QTableWidget(0, 0, parent)
{
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Editing is the list's own (a click on an editable cell), not the view's.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setShowGrid(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

int CListCtrlEx::InsertColumn(int column, const QString& title, Qt::Alignment alignment, int width,
                              bool editable)
{
    column = std::clamp(column, 0, columnCount());
    insertColumn(column);
    auto* header = new QTableWidgetItem(title);
    header->setTextAlignment(alignment | Qt::AlignVCenter);
    setHorizontalHeaderItem(column, header);
    setColumnWidth(column, width);
    m_columns.insert(m_columns.begin() + column, ColumnInfo{alignment, editable});
    return column;
}

int CListCtrlEx::InsertItem(int row, const QString& text)
{
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    SetItemText(row, 0, text);
    return row;
}

void CListCtrlEx::SetItemText(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        it->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        it->setTextAlignment(m_columns[static_cast<std::size_t>(column)].m_alignment
                             | Qt::AlignVCenter);
        setItem(row, column, it);
    }
    it->setText(text);
}

QString CListCtrlEx::GetItemText(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

bool CListCtrlEx::IsColumnEditable(int column) const
{
    return column >= 0 && column < static_cast<int>(m_columns.size())
           && m_columns[static_cast<std::size_t>(column)].m_bEditable;
}

int CListCtrlEx::CellFromPoint(const QPoint& point, int* column) const
{
    const int row = rowAt(point.y());
    const int col = columnAt(point.x());
    if (column)
        *column = row < 0 || col < 0 ? 0 : col;
    return col < 0 ? -1 : row;
}

CListCellEdit* CListCtrlEx::EditCell(int row, int column)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()
        || columnWidth(column) < 5)
        return nullptr;
    if (m_pEditor) {
        setFocus(Qt::OtherFocusReason);
        if (m_pEditor)
            EndEdit(m_pEditor);
    }

    // Bring the row into view, but move sideways only when the column's left edge is out of
    // view, and then so that the column starts at the left edge.
    const QModelIndex index = model()->index(row, column);
    QScrollBar* hbar = horizontalScrollBar();
    const int hold = hbar->value();
    scrollTo(index);
    hbar->setValue(hold);
    const int left = columnViewportPosition(column);
    if (left < 0 || left > viewport()->width())
        hbar->setValue(hold + left);

    QRect rect = visualRect(index);
    rect.setRight(std::min(rect.right(), viewport()->width() - 1));
    auto* editor = new CListCellEdit(*this, row, column, GetItemText(row, column));
    editor->setAlignment(m_columns[static_cast<std::size_t>(column)].m_alignment
                         | Qt::AlignVCenter);
    editor->setGeometry(rect);
    m_pEditor = editor;
    editor->show();
    editor->setFocus(Qt::MouseFocusReason);
    editor->selectAll();
    return editor;
}

void CListCtrlEx::EditNextCell(CListCellEdit* editor, bool forward)
{
    if (editor != m_pEditor)
        return;
    const int columns = columnCount();
    int cell = editor->Row() * columns + editor->Column();
    do
        cell += forward ? 1 : -1;
    while (cell >= 0 && cell < rowCount() * columns && !IsColumnEditable(cell % columns));
    if (cell >= 0 && cell < rowCount() * columns && EditCell(cell / columns, cell % columns))
        return;
    setFocus(Qt::TabFocusReason);
    if (m_pEditor)
        EndEdit(m_pEditor);
    focusNextPrevChild(forward);
}

void CListCtrlEx::EndEdit(CListCellEdit* editor)
{
    if (editor != m_pEditor)
        return;
    m_pEditor = nullptr;
    editor->hide();
    editor->deleteLater();
    if (editor->IsCancelled())
        return;
    const int row = editor->Row();
    const int column = editor->Column();
    const QString text = editor->text();
    SetItemText(row, column, text);
    Q_EMIT cellTextStored(row, column, text);
}

void CListCtrlEx::mousePressEvent(QMouseEvent* e)
{
    // The click first moves the focus to the list, which ends (and stores) an open edit.
    QTableWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    int column = 0;
    const int row = CellFromPoint(e->position().toPoint(), &column);
    if (row != -1 && IsColumnEditable(column))
        EditCell(row, column);
}

void CListCtrlEx::scrollContentsBy(int dx, int dy)
{
    // The editor does not travel with its cell: a scroll ends the edit and keeps the text.
    if (m_pEditor) {
        setFocus(Qt::OtherFocusReason);
        if (m_pEditor)
            EndEdit(m_pEditor);
    }
    QTableWidget::scrollContentsBy(dx, dy);
}
