#pragma once

#include <QList>
#include <QPlainTextEdit>
#include <QTextCharFormat>

#include <functional>

class QAction;
class QMenu;

// The send editor's control: a plain-text editor with coloured runs, addressed by line.
//
// Lines are numbered from 0; -1 or any number outside 0 .. LineCount()-1 names the caret's
// line. Positions (LineStart, LineEnd) are the editor's own character positions; columns
// and error positions are counted in bytes of the system code page, as the user counts
// them (a Chinese character is two), and are converted in ByteColumnOf / PositionOfColumn
// only.
class CSendLineEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    enum InsertMode
    {
        ReplaceLine = 0,
        AtSelectionEnd = 1,
        AtLineEnd = 2,
        AtLineStart = 3,
        LineBefore = 4,
        LineAfter = 5
    };
    // The six character formats; the send side uses the first five.
    enum Format
    {
        Black = 0,
        Green = 1,
        Blue = 2,
        Red = 3,
        Grey = 4,
        SentRed = 5
    };

    explicit CSendLineEditor(QWidget* parent = nullptr);
    ~CSendLineEditor() override;

    // Where the editor's messages go (the main window's message box); without one the
    // editor shows its own box titled "VRL".
    void SetMessageHandler(std::function<void(const QString&)> handler)
    {
        m_messageHandler = std::move(handler);
    }

    int LineCount() const;
    int ResolveLine(int line) const;
    int LineStart(int line) const;
    int LineEnd(int line) const;
    QString GetLineText(int line) const;
    int GetLineText(int line, QString& text) const; // returns the length in characters
    int CaretColumn() const;                        // in code-page bytes

    // Byte column of the editor position `pos` within its line, and back: the position in
    // `line` just after the character holding byte `column` (1-based; clamped to the line).
    int ByteColumnOf(int pos) const;
    int PositionOfColumn(int line, int column) const;

    void InsertText(const QString& text, InsertMode mode, int line = -1);
    void MoveCaretToLine(bool next, int line = -1);
    void ChangeCase(bool upper, int line = -1);
    bool ConvertLine(bool toChars, int line = -1);
    bool CheckLine(int line = -1);

    // Applies one of the six formats to the selection, or to what is typed next.
    void ApplyFormat(int format);
    static QTextCharFormat CharFormat(int format);

    bool IsReadOnlyMode() const { return m_readOnly; }
    void ToggleReadOnly();
    QColor BackgroundColor() const;

    // Posts the position notice now (the bar shows it once right after creation).
    void PostPositionNotice();
    // Rows of the command table that the context menu shows below the editing rows.
    void SetContextActions(QList<QAction*> actions) { m_contextActions = std::move(actions); }
    // The context menu at pos (the caller owns it).
    QMenu* CreateContextMenu(const QPoint& pos);

Q_SIGNALS:
    // The caret's (or the dragged selection end's) line and byte column, posted after every
    // click, key, text change and selection drag.
    void EditPosition(int line, int column);

protected:
    bool event(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

    // Keys examined before the control's own handling; true when consumed.
    virtual bool HandleKey(QKeyEvent* e);
    virtual bool IsOwnKey(const QKeyEvent* e) const;

    static bool IsCtrlAlt(const QKeyEvent* e);
    static bool IsCtrlOnly(const QKeyEvent* e);
    void ShowMessage(const QString& text);
    // Starts a comment-style line: a fresh empty line at the caret, green, holding `text`.
    void InsertCommentLine(const QString& text);

private:
    void ScheduleNotice(bool selectionEnd);
    void DeliverNotice();
    void SelectWholeLineIfEmpty();

    bool m_readOnly = false;
    bool m_noticePending = false;
    bool m_noticeSelectionEnd = false;
    std::function<void(const QString&)> m_messageHandler;
    QList<QAction*> m_contextActions;
};
