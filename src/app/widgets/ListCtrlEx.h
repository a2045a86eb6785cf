#pragma once

#include <QLineEdit>
#include <QTableWidget>

#include <vector>

class CListCtrlEx;

// The in-place editor of one cell. It ends when it loses the focus: Return and a click
// elsewhere store its text, Escape cancels. The list deletes it once it has ended.
class CListCellEdit : public QLineEdit
{
    Q_OBJECT
public:
    CListCellEdit(CListCtrlEx& list, int row, int column, const QString& initialText);

    int Row() const { return m_nRow; }
    int Column() const { return m_nColumn; }
    bool IsCancelled() const { return m_bCancelled; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void WidenToText();

    CListCtrlEx& m_list;
    int m_nRow;
    int m_nColumn;
    QString m_strInitText;
    bool m_bCancelled = false;
};

// A report list whose cells in the editable columns are edited in place by a click. The list
// only keeps text; its owner checks and converts the texts when it uses them.
class CListCtrlEx : public QTableWidget
{
    Q_OBJECT
public:
    explicit CListCtrlEx(QWidget* parent = nullptr);

    // Inserts a column before column (at the end when column is past it). alignment: how
    // the column and its editor align their text.
    int InsertColumn(int column, const QString& title, Qt::Alignment alignment, int width,
                     bool editable);
    // Inserts a row before row (at the end when row is past it) with the text of column 0.
    int InsertItem(int row, const QString& text);
    void SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool IsColumnEditable(int column) const;

    // The row under a point of the viewport, or -1 (a point below the last row or right of
    // the last column hits nothing); column gets the column, 0 when there is none.
    int CellFromPoint(const QPoint& point, int* column) const;
    // Opens the editor on a cell; nullptr when the cell does not exist or its column is
    // narrower than 5 pixels. The editor is the list's: do not keep it.
    CListCellEdit* EditCell(int row, int column);
    CListCellEdit* Editor() const { return m_pEditor; }
    // Tab and Shift+Tab in the editor: stores its text and opens the next (previous)
    // editable cell, row after row; past the last one the focus leaves the list.
    void EditNextCell(CListCellEdit* editor, bool forward);

Q_SIGNALS:
    // A cell's text was stored by its editor (also when unchanged or empty).
    void cellTextStored(int row, int column, const QString& text);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class CListCellEdit;
    // Called once by the editor when it ends: stores its text unless cancelled.
    void EndEdit(CListCellEdit* editor);

    struct ColumnInfo
    {
        Qt::Alignment m_alignment;
        bool m_bEditable;
    };
    std::vector<ColumnInfo> m_columns;
    CListCellEdit* m_pEditor = nullptr;
};
