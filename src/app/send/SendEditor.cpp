#include "app/send/SendEditor.h"

#include "core/text/CodePage.h"

#include <QCoreApplication>
#include <QKeyEvent>

CSendEditor::CSendEditor(QWidget* parent) : CSendLineEditor(parent) {}

std::uint16_t CSendEditor::AppendCheckCode(CheckKind kind)
{
    // A read-only editor keeps its text, as it does for the editing keys.
    if (IsReadOnlyMode())
        return 0xFFFF;
    // MODBUS always works on the whole caret line, the others on the selection if any.
    QString text = textCursor().selectedText();
    if (kind == CheckKind::Modbus || text.isEmpty())
        text = GetLineText(-1);
    text.replace(QChar::ParagraphSeparator, QChar('\n')); // a selection over lines fails
    const CheckCodeEdit edit =
        MakeCheckCodeEdit(kind, CodePage::System().FromUtf8(text.toStdString()));
    if (!edit.bOk) {
        ShowMessage(QString::fromStdString(edit.message));
        setFocus(Qt::OtherFocusReason);
        return 0xFFFF;
    }
    InsertText(QString::fromStdString(edit.text), edit.bReplaceLine ? ReplaceLine : AtLineEnd, -1);
    return edit.code;
}

bool CSendEditor::IsOwnKey(const QKeyEvent* e) const
{
    return (IsCtrlAlt(e) && e->key() == Qt::Key_N) || CSendLineEditor::IsOwnKey(e);
}

bool CSendEditor::HandleKey(QKeyEvent* e)
{
    if (IsCtrlAlt(e) && e->key() == Qt::Key_N) {
        if (!IsReadOnlyMode())
            InsertCommentLine(QCoreApplication::translate(
                "CSendEditor", "<<--设备：PLC；波特率：9600；校验：无；规约：MODUBUS-->>"));
        return true;
    }
    return CSendLineEditor::HandleKey(e);
}
