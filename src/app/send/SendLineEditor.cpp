#include "app/send/SendLineEditor.h"

#include "app/host/UserNotices.h"
#include "core/send/LineColumn.h"
#include "core/text/CodePage.h"
#include "core/text/HexText.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

namespace {

const QColor kFormatColours[6] = {
    QColor(0, 0, 0),   QColor(0, 128, 0),     QColor(0, 0, 200),
    QColor(200, 0, 0), QColor(128, 128, 128), QColor(200, 0, 0),
};

const QColor kStartBackground(240, 240, 240);
const QColor kReadOnlyBackground(210, 210, 210);
const QColor kEditableBackground(230, 230, 230);

std::u16string_view View(const QString& s)
{
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

std::string ToCodePage(const QString& s)
{
    return CodePage::System().FromUtf8(s.toStdString());
}

QString FromCodePage(const std::string& bytes)
{
    return QString::fromStdString(CodePage::System().ToUtf8(bytes));
}

} // namespace

CSendLineEditor::CSendLineEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::StyledPanel);

    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    font.setWeight(QFont::Weight(650));
    setFont(font);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, kStartBackground);
    setPalette(pal);

    connect(document(), &QTextDocument::contentsChanged, this, [this] { ScheduleNotice(false); });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { ScheduleNotice(false); });
}

CSendLineEditor::~CSendLineEditor() = default;

int CSendLineEditor::LineCount() const
{
    return document()->blockCount();
}

int CSendLineEditor::ResolveLine(int line) const
{
    if (line >= 0 && line < LineCount())
        return line;
    return textCursor().blockNumber();
}

int CSendLineEditor::LineStart(int line) const
{
    return document()->findBlockByNumber(ResolveLine(line)).position();
}

int CSendLineEditor::LineEnd(int line) const
{
    const QTextBlock block = document()->findBlockByNumber(ResolveLine(line));
    return block.position() + block.length() - 1;
}

QString CSendLineEditor::GetLineText(int line) const
{
    // The block's text is the line without its break; no selection needs to move for it.
    return document()->findBlockByNumber(ResolveLine(line)).text();
}

int CSendLineEditor::GetLineText(int line, QString& text) const
{
    text = GetLineText(line);
    return static_cast<int>(text.size());
}

int CSendLineEditor::ByteColumnOf(int pos) const
{
    const QTextBlock block = document()->findBlock(pos);
    if (!block.isValid())
        return 0;
    return static_cast<int>(
        ByteColumn(View(block.text()), static_cast<std::size_t>(pos - block.position())));
}

int CSendLineEditor::PositionOfColumn(int line, int column) const
{
    const QTextBlock block = document()->findBlockByNumber(ResolveLine(line));
    const std::size_t units =
        UnitIndexOfByteColumn(View(block.text()), static_cast<std::size_t>(std::max(column, 0)));
    return block.position() + static_cast<int>(units);
}

int CSendLineEditor::CaretColumn() const
{
    const QTextCursor c = textCursor();
    return ByteColumnOf(c.hasSelection() ? c.selectionEnd() : c.position());
}

void CSendLineEditor::InsertText(const QString& text, InsertMode mode, int line)
{
    line = ResolveLine(line);
    const QTextBlock block = document()->findBlockByNumber(line);
    const int start = block.position();
    const int end = start + block.length() - 1;
    if ((mode == LineBefore || mode == LineAfter) && block.length() == 1)
        mode = ReplaceLine;

    QTextCursor c = textCursor();
    QString insert = text;
    int anchor = 0;
    int pos = 0;
    switch (mode) {
    case ReplaceLine:
        anchor = start;
        pos = end;
        break;
    case AtSelectionEnd: anchor = pos = c.selectionEnd(); break;
    case AtLineEnd: anchor = pos = end; break;
    case LineAfter:
        insert.prepend(QChar('\n'));
        anchor = pos = end;
        break;
    case AtLineStart: anchor = pos = start; break;
    case LineBefore:
        insert.append(QChar('\n'));
        anchor = pos = start;
        break;
    }
    // Moving the cursor drops a format chosen for the text typed next; keep the cursor
    // where it already stands so that such a format reaches the inserted text.
    if (c.anchor() != anchor || c.position() != pos) {
        c.setPosition(anchor);
        c.setPosition(pos, QTextCursor::KeepAnchor);
    }
    c.beginEditBlock();
    c.insertText(insert);
    c.endEditBlock();
    setTextCursor(c);
}

void CSendLineEditor::MoveCaretToLine(bool next, int line)
{
    line = ResolveLine(line);
    if (next && line < LineCount() - 1)
        ++line;
    QTextCursor c = textCursor();
    c.setPosition(document()->findBlockByNumber(line).position());
    setTextCursor(c);
}

void CSendLineEditor::ChangeCase(bool upper, int line)
{
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        line = ResolveLine(line);
        c.setPosition(LineStart(line));
        c.setPosition(LineEnd(line), QTextCursor::KeepAnchor);
    }
    // selectedText() gives line breaks as U+2029; insertText turns them back into breaks.
    const QString text = c.selectedText();
    if (text.isEmpty())
        return;
    c.beginEditBlock();
    c.insertText(upper ? text.toUpper() : text.toLower());
    c.endEditBlock();
    setTextCursor(c);
}

bool CSendLineEditor::ConvertLine(bool toChars, int line)
{
    line = ResolveLine(line);
    const std::string text = ToCodePage(GetLineText(line));
    std::string result;
    if (!ConvertLineText(text, result, toChars))
        return false;
    InsertText(FromCodePage(result), ReplaceLine, line);
    return true;
}

bool CSendLineEditor::CheckLine(int line)
{
    line = ResolveLine(line);
    const std::string text = ToCodePage(GetLineText(line));
    std::string message;
    int position = 0;
    if (CheckHexText(text, message, position))
        return true;
    ShowMessage(QString::fromStdString(HexLineErrorText(line, message)));
    setFocus(Qt::OtherFocusReason);
    QTextCursor c = textCursor();
    c.setPosition(PositionOfColumn(line, position));
    setTextCursor(c);
    return false;
}

QTextCharFormat CSendLineEditor::CharFormat(int format)
{
    QTextCharFormat f;
    f.setFontFamilies({QStringLiteral("宋体")});
    f.setFontPointSize(9);
    f.setForeground(kFormatColours[format >= 0 && format < 6 ? format : 0]);
    return f;
}

void CSendLineEditor::ApplyFormat(int format)
{
    // Face, size and colour only: bold, italic and the rest stay as they are.
    mergeCurrentCharFormat(CharFormat(format));
}

void CSendLineEditor::ToggleReadOnly()
{
    m_readOnly = !m_readOnly;
    setReadOnly(m_readOnly);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, m_readOnly ? kReadOnlyBackground : kEditableBackground);
    setPalette(pal);
}

QColor CSendLineEditor::BackgroundColor() const
{
    return palette().color(QPalette::Base);
}

void CSendLineEditor::SelectWholeLineIfEmpty()
{
    QTextCursor c = textCursor();
    if (c.hasSelection())
        return;
    const int line = ResolveLine(-1);
    c.setPosition(LineStart(line));
    c.setPosition(LineEnd(line), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void CSendLineEditor::InsertCommentLine(const QString& text)
{
    // One undo step for the whole key, the deletion of the selection included.
    QTextCursor step = textCursor();
    step.beginEditBlock();
    QTextCursor c = textCursor();
    if (c.hasSelection()) {
        c.removeSelectedText();
        setTextCursor(c);
    }
    if (!GetLineText(-1).isEmpty())
        InsertText(QString(), LineAfter, -1);
    c = textCursor();
    c.setPosition(LineStart(-1));
    setTextCursor(c);
    ApplyFormat(Green);
    InsertText(text, LineAfter, -1);
    step.endEditBlock();
}

bool CSendLineEditor::IsCtrlAlt(const QKeyEvent* e)
{
    return (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
           == (Qt::ControlModifier | Qt::AltModifier);
}

bool CSendLineEditor::IsCtrlOnly(const QKeyEvent* e)
{
    return (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
           == Qt::ControlModifier;
}

bool CSendLineEditor::IsOwnKey(const QKeyEvent* e) const
{
    if (IsCtrlAlt(e)) {
        switch (e->key()) {
        case Qt::Key_Space:
        case Qt::Key_A:
        case Qt::Key_H:
        case Qt::Key_B:
        case Qt::Key_G:
        case Qt::Key_R:
        case Qt::Key_T:
        case Qt::Key_Y:
        case Qt::Key_L:
        case Qt::Key_U:
        case Qt::Key_P: return true;
        default: return false;
        }
    }
    if (IsCtrlOnly(e)) {
        switch (e->key()) {
        case Qt::Key_A:
        case Qt::Key_C:
        case Qt::Key_X:
        case Qt::Key_V:
        case Qt::Key_Z:
        case Qt::Key_R: return true;
        default: return false;
        }
    }
    return false;
}

bool CSendLineEditor::HandleKey(QKeyEvent* e)
{
    if (IsCtrlOnly(e)) {
        if (e->key() == Qt::Key_R) {
            ToggleReadOnly();
            return true;
        }
        return false; // select all, copy, cut, paste and undo: the control's own
    }
    if (!IsCtrlAlt(e))
        return false;

    const int key = e->key();
    if (key == Qt::Key_P) {
        CheckLine(-1);
        return true;
    }
    if (!IsOwnKey(e))
        return false;
    // The remaining keys change the text; a read-only editor keeps it.
    if (m_readOnly)
        return true;
    switch (key) {
    case Qt::Key_Space: InsertCommentLine(QStringLiteral("<<--    -->>")); break;
    case Qt::Key_A: ConvertLine(true, -1); break;
    case Qt::Key_H: ConvertLine(false, -1); break;
    case Qt::Key_B:
        SelectWholeLineIfEmpty();
        ApplyFormat(Blue);
        break;
    case Qt::Key_G:
        SelectWholeLineIfEmpty();
        ApplyFormat(Green);
        break;
    case Qt::Key_R:
        SelectWholeLineIfEmpty();
        ApplyFormat(Red);
        break;
    case Qt::Key_T:
        SelectWholeLineIfEmpty();
        ApplyFormat(Black);
        break;
    case Qt::Key_Y:
        SelectWholeLineIfEmpty();
        ApplyFormat(Grey);
        break;
    case Qt::Key_L: ChangeCase(false, -1); break;
    case Qt::Key_U: ChangeCase(true, -1); break;
    default: return false;
    }
    return true;
}

bool CSendLineEditor::event(QEvent* e)
{
    // The editor's keys come before the main window's shortcuts; everything else (F2,
    // Ctrl+M, Ctrl+F11 ...) still reaches the shortcuts while the editor has the focus.
    if (e->type() == QEvent::ShortcutOverride && IsOwnKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QPlainTextEdit::event(e);
}

QMenu* CSendLineEditor::CreateContextMenu(const QPoint& pos)
{
    QMenu* menu = createStandardContextMenu(pos);
    if (!m_contextActions.isEmpty()) {
        menu->addSeparator();
        menu->addActions(m_contextActions);
    }
    return menu;
}

void CSendLineEditor::contextMenuEvent(QContextMenuEvent* e)
{
    std::unique_ptr<QMenu> menu(CreateContextMenu(e->pos()));
    menu->exec(e->globalPos());
}

void CSendLineEditor::keyPressEvent(QKeyEvent* e)
{
    if (HandleKey(e)) {
        e->accept();
        ScheduleNotice(false);
        return;
    }
    if (e->matches(QKeySequence::InsertLineSeparator)) {
        // Shift+Enter would put a soft break inside the line: the user sees two lines, but
        // F2, the caption and the line numbers see one. Every break here starts a line.
        QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(),
                        e->isAutoRepeat(), static_cast<ushort>(e->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
    } else {
        QPlainTextEdit::keyPressEvent(e);
    }
    ScheduleNotice(false);
}

void CSendLineEditor::mousePressEvent(QMouseEvent* e)
{
    QPlainTextEdit::mousePressEvent(e);
    if (e->button() == Qt::LeftButton)
        ScheduleNotice(false);
}

void CSendLineEditor::mouseMoveEvent(QMouseEvent* e)
{
    QPlainTextEdit::mouseMoveEvent(e);
    if (textCursor().hasSelection())
        ScheduleNotice(true);
}

void CSendLineEditor::insertFromMimeData(const QMimeData* source)
{
    // Plain text only: colours and fonts of the source document stay behind.
    if (!source || !source->hasText())
        return;
    // A Unicode line separator would stay inside the line as a soft break.
    QString text = source->text();
    text.replace(QChar::LineSeparator, QChar('\n'));
    insertPlainText(text);
}

void CSendLineEditor::ShowMessage(const QString& text)
{
    if (m_messageHandler) {
        m_messageHandler(text);
        return;
    }
    CUserNotices::ShowWarning(this, text);
}

void CSendLineEditor::PostPositionNotice()
{
    ScheduleNotice(false);
}

void CSendLineEditor::ScheduleNotice(bool selectionEnd)
{
    m_noticeSelectionEnd = selectionEnd;
    if (m_noticePending)
        return;
    m_noticePending = true;
    // Posted, not sent: the caption follows the caret once the event has been processed,
    // and a burst of changes gives one notice.
    QMetaObject::invokeMethod(this, &CSendLineEditor::DeliverNotice, Qt::QueuedConnection);
}

void CSendLineEditor::DeliverNotice()
{
    m_noticePending = false;
    const QTextCursor c = textCursor();
    if (m_noticeSelectionEnd && c.hasSelection()) {
        int end = c.selectionEnd();
        // A selection dragged to the start of a line names the end of the line before.
        if (document()->characterAt(end - 1) == QChar::ParagraphSeparator)
            --end;
        const QTextBlock block = document()->findBlock(end);
        Q_EMIT EditPosition(block.blockNumber(), ByteColumnOf(end));
        return;
    }
    Q_EMIT EditPosition(ResolveLine(-1), CaretColumn());
}
