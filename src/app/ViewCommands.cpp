#include "ViewCommands.h"

#include "CommandIds.h"
#include "VRLView.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const CommandInfo kViewCommands[] = {
    {ID_FILE_PRINT, "打印(&P)...\tCtrl+P", "Ctrl+P", "打印监视窗报文", "打印", nullptr, false},
    {ID_FILE_PRINT_PREVIEW, "打印预览(&V)", nullptr, "显示整页", "打印预览", nullptr, false},
    {ID_FILE_PRINT_SETUP, "打印设置(&R)...", nullptr, "改变打印机及打印选项", "打印设置", nullptr, false},

    {ID_EDIT_UNDO, "撤消(&U)\tCtrl+Z", "Ctrl+Z", "撤消最后一步操作", "撤消", nullptr, false},
    {ID_EDIT_CUT, "剪切(&T)\tCtrl+X", "Ctrl+X", "剪切所选内容并将其放到剪贴板上", "剪切", nullptr, false},
    {ID_EDIT_COPY, "复制(&C)\tCtrl+C", "Ctrl+C", "复制所选内容并将其放到剪贴板上", "复制", nullptr, false},
    {ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V", "Ctrl+V", "插入剪贴板内容", "粘贴", nullptr, false},
    {ID_EDIT_SELECT_ALL, "全选(&L)\tCtrl+A", "Ctrl+A", "选择全部报文", "全选", nullptr, false},
    {ID_EDIT_FIND, "查找(&F)...\tCtrl+F", "Ctrl+F", "查找指定的文字", "查找", nullptr, false},
    {ID_EDIT_REPEAT, "查找下一个(&I)\tF3", "F3", "查找下一个", "查找下一个", nullptr, false},
    {ID_EDIT_REPLACE, "替换(&E)\tCtrl+H", "Ctrl+H", "用其他文字替换指定的文字", "替换", nullptr, false},

    {ID_CLEAR_MONITOR, "清除监视窗报文(&C)", "Ctrl+D", "清除监视窗报文", "清除监视报文", ":/icons/clear.png", false},
    {ID_READ_ONLY, "只读(&Y)", "Ctrl+R", "设置监视窗为只读模式", "切换只读模式", nullptr, true},
    {ID_WORD_WRAP, "自动换行(&W)", nullptr, "设置文字自动换行模式", "切换自动换行", nullptr, true},
};

bool IsFocusEditCommand(int id)
{
    return id == ID_EDIT_UNDO || id == ID_EDIT_CUT || id == ID_EDIT_COPY || id == ID_EDIT_PASTE
        || id == ID_EDIT_SELECT_ALL;
}

// QPlainTextEdit and QTextEdit share these slots but no base class that has them.
template <class Edit>
void RunFocusEditCommand(Edit& edit, int id)
{
    switch (id) {
    case ID_EDIT_UNDO: edit.undo(); break;
    case ID_EDIT_CUT: edit.cut(); break;
    case ID_EDIT_COPY: edit.copy(); break;
    case ID_EDIT_PASTE: edit.paste(); break;
    default: edit.selectAll(); break;
    }
}

} // namespace

CViewCommands::CViewCommands(CVRLView& view, QObject* parent)
    : QObject(parent), m_view(view)
{
}

std::span<const CommandInfo> CViewCommands::Commands()
{
    return kViewCommands;
}

void CViewCommands::OnCommand(int id)
{
    switch (id) {
    case ID_CLEAR_MONITOR:
        m_view.ClearAll(true);
        m_view.SetModified(false);
        return;
    case ID_WORD_WRAP: m_view.SetWordWrap(m_view.GetWordWrap() == 0 ? 1 : 0); return;
    case ID_READ_ONLY: m_view.SetReadOnly(!m_view.GetReadOnly()); return;
    default: break;
    }
    if (IsFocusEditCommand(id)) {
        QWidget* focus = QApplication::focusWidget();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(focus); edit && edit != &m_view) {
            RunFocusEditCommand(*edit, id);
            return;
        }
        if (auto* edit = qobject_cast<QTextEdit*>(focus)) {
            RunFocusEditCommand(*edit, id);
            return;
        }
    }
    if (CXRichEditView::HandlesCommand(id))
        m_view.OnCommand(id);
}

void CViewCommands::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_WORD_WRAP: state.m_checked = m_view.GetWordWrap() != 0; return;
    case ID_READ_ONLY: state.m_checked = m_view.GetReadOnly(); return;
    default: break;
    }
    // The focus commands stay enabled: they act on whichever editor has the focus.
    if (CXRichEditView::HandlesCommand(id) && !IsFocusEditCommand(id))
        state.m_enabled = m_view.IsCommandEnabled(id);
}
