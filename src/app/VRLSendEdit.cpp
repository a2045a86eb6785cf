#include "VRLSendEdit.h"

#include "CodePage.h"

#include <QKeyEvent>

CVRLSendEdit::CVRLSendEdit(QWidget* parent)
    : CXRichEditCtrl(parent)
{
}

std::uint16_t CVRLSendEdit::AppendCheckCode(CheckKind kind)
{
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QChar('\n'));
    CodePage& cp = CodePage::System();
    const CheckCodeEdit edit = PlanCheckCode(kind, cp.FromUtf8(GetLineText(-1).toStdString()),
                                             cp.FromUtf8(selected.toStdString()));
    if (edit.action == CheckCodeEdit::Refused) {
        ShowMessage(QString::fromStdString(edit.message));
        setFocus(Qt::OtherFocusReason);
        return 0xFFFF;
    }
    InsertText(QString::fromStdString(edit.text),
               edit.action == CheckCodeEdit::ReplaceLine ? ReplaceLine : AtLineEnd, -1);
    return edit.code;
}

bool CVRLSendEdit::IsOwnKey(const QKeyEvent* e) const
{
    return (IsCtrlAlt(e) && e->key() == Qt::Key_N) || CXRichEditCtrl::IsOwnKey(e);
}

bool CVRLSendEdit::HandleKey(QKeyEvent* e)
{
    if (IsCtrlAlt(e) && e->key() == Qt::Key_N) {
        if (!IsReadOnlyMode())
            InsertCommentLine(QStringLiteral("<<--设备：PLC；波特率：9600；校验：无；规约：MODUBUS-->>"));
        return true;
    }
    return CXRichEditCtrl::HandleKey(e);
}
