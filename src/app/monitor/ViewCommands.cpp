#include "app/monitor/ViewCommands.h"

#include "app/monitor/FrameMonitorView.h"
#include "core/base/CommandIds.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

const CommandInfo kViewCommands[] = {
    {ID_FILE_PRINT, QT_TRANSLATE_NOOP("Command", "打印(&P)...\tCtrl+P"), "Ctrl+P",
     QT_TRANSLATE_NOOP("Command", "打印监视窗报文"), QT_TRANSLATE_NOOP("Command", "打印"), nullptr,
     false},
    {ID_FILE_PRINT_PREVIEW, QT_TRANSLATE_NOOP("Command", "打印预览(&V)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "显示整页"), QT_TRANSLATE_NOOP("Command", "打印预览"), nullptr,
     false},
    {ID_FILE_PRINT_SETUP, QT_TRANSLATE_NOOP("Command", "打印设置(&R)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "改变打印机及打印选项"), QT_TRANSLATE_NOOP("Command", "打印设置"),
     nullptr, false},

    {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("Command", "撤消(&U)\tCtrl+Z"), "Ctrl+Z",
     QT_TRANSLATE_NOOP("Command", "撤消最后一步操作"), QT_TRANSLATE_NOOP("Command", "撤消"),
     nullptr, false},
    {ID_EDIT_CUT, QT_TRANSLATE_NOOP("Command", "剪切(&T)\tCtrl+X"), "Ctrl+X",
     QT_TRANSLATE_NOOP("Command", "剪切所选内容并将其放到剪贴板上"),
     QT_TRANSLATE_NOOP("Command", "剪切"), nullptr, false},
    {ID_EDIT_COPY, QT_TRANSLATE_NOOP("Command", "复制(&C)\tCtrl+C"), "Ctrl+C",
     QT_TRANSLATE_NOOP("Command", "复制所选内容并将其放到剪贴板上"),
     QT_TRANSLATE_NOOP("Command", "复制"), nullptr, false},
    {ID_EDIT_PASTE, QT_TRANSLATE_NOOP("Command", "粘贴(&P)\tCtrl+V"), "Ctrl+V",
     QT_TRANSLATE_NOOP("Command", "插入剪贴板内容"), QT_TRANSLATE_NOOP("Command", "粘贴"), nullptr,
     false},
    {ID_EDIT_SELECT_ALL, QT_TRANSLATE_NOOP("Command", "全选(&L)\tCtrl+A"), "Ctrl+A",
     QT_TRANSLATE_NOOP("Command", "选择全部报文"), QT_TRANSLATE_NOOP("Command", "全选"), nullptr,
     false},
    {ID_EDIT_FIND, QT_TRANSLATE_NOOP("Command", "查找(&F)...\tCtrl+F"), "Ctrl+F",
     QT_TRANSLATE_NOOP("Command", "查找指定的文字"), QT_TRANSLATE_NOOP("Command", "查找"), nullptr,
     false},
    {ID_EDIT_REPEAT, QT_TRANSLATE_NOOP("Command", "查找下一个(&I)\tF3"), "F3",
     QT_TRANSLATE_NOOP("Command", "查找下一个"), QT_TRANSLATE_NOOP("Command", "查找下一个"),
     nullptr, false},
    {ID_EDIT_REPLACE, QT_TRANSLATE_NOOP("Command", "替换(&E)\tCtrl+H"), "Ctrl+H",
     QT_TRANSLATE_NOOP("Command", "用其他文字替换指定的文字"), QT_TRANSLATE_NOOP("Command", "替换"),
     nullptr, false},

    {ID_CLEAR_MONITOR, QT_TRANSLATE_NOOP("Command", "清除监视窗报文(&C)"), "Ctrl+D",
     QT_TRANSLATE_NOOP("Command", "清除监视窗报文"), QT_TRANSLATE_NOOP("Command", "清除监视报文"),
     ":/icons/clear.png", false},
    {ID_READ_ONLY, QT_TRANSLATE_NOOP("Command", "只读(&Y)"), "Ctrl+R",
     QT_TRANSLATE_NOOP("Command", "设置监视窗为只读模式"),
     QT_TRANSLATE_NOOP("Command", "切换只读模式"), nullptr, true},
    {ID_WORD_WRAP, QT_TRANSLATE_NOOP("Command", "自动换行(&W)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "设置文字自动换行模式"),
     QT_TRANSLATE_NOOP("Command", "切换自动换行"), nullptr, true},
};

bool IsFocusEditCommand(int id)
{
    return id == ID_EDIT_UNDO || id == ID_EDIT_CUT || id == ID_EDIT_COPY || id == ID_EDIT_PASTE
           || id == ID_EDIT_SELECT_ALL;
}

// QPlainTextEdit and QTextEdit share these slots but no base class that has them.
template <class Edit> void RunFocusEditCommand(Edit& edit, int id)
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

CViewCommands::CViewCommands(CFrameMonitorView& view, QObject* parent)
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
    if (CMonitorView::HandlesCommand(id))
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
    if (CMonitorView::HandlesCommand(id) && !IsFocusEditCommand(id))
        state.m_enabled = m_view.IsCommandEnabled(id);
}
