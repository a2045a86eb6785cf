#include "app/commands/CommandTable.h"

#include <QCoreApplication>

#include "core/base/CommandIds.h"

namespace {

using M = MenuLayoutItem;

const MenuLayoutItem kMainMenu[] = {
    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "文件(&F)")},
    {M::Item, ID_FILE_OPEN, nullptr},
    {M::Item, ID_SAVE_MONITOR, nullptr},
    {M::Item, ID_AUTO_SAVE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_EXPORT_PCAPNG, nullptr},
    {M::Item, ID_RECORD_PCAPNG, nullptr},
    {M::Item, ID_REPLAY_PCAPNG, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_OPEN_SEND_FILE, nullptr},
    {M::Item, ID_SAVE_SEND_FILE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SEND_TRANSFER_FILE, nullptr},
    {M::Item, ID_RECEIVE_TRANSFER_FILE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_FILE_PRINT, nullptr},
    {M::Item, ID_FILE_PRINT_PREVIEW, nullptr},
    {M::Item, ID_FILE_PRINT_SETUP, nullptr},
    {M::Separator, 0, nullptr},
    {M::RecentFiles, ID_FILE_MRU_FIRST, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_APP_EXIT, nullptr},

    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "编辑(&E)")},
    {M::Item, ID_EDIT_UNDO, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_EDIT_CUT, nullptr},
    {M::Item, ID_EDIT_COPY, nullptr},
    {M::Item, ID_EDIT_PASTE, nullptr},
    {M::Item, ID_EDIT_SELECT_ALL, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_EDIT_FIND, nullptr},
    {M::Item, ID_EDIT_REPEAT, nullptr},
    {M::Item, ID_EDIT_REPLACE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_CHECK_LINE, nullptr},

    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "视图(&V)")},
    {M::Item, ID_PAUSE, nullptr},
    {M::Item, ID_FILTER, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SHOW_PORT, nullptr},
    {M::Item, ID_SHOW_SENT, nullptr},
    {M::Item, ID_SHOW_TIME, nullptr},
    {M::Item, ID_CLOCK_MILLISECONDS, nullptr},
    {M::Item, ID_ASC_EVERY_BYTE, nullptr},
    {M::Item, ID_TEXT_TERMINAL, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_CLEAR_MONITOR, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_READ_ONLY, nullptr},
    {M::Item, ID_WORD_WRAP, nullptr},

    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "工具(&T)")},
    {M::Item, ID_OPEN_PORT, nullptr},
    {M::Item, ID_DEFAULT_SETTINGS, nullptr},
    {M::Item, ID_PORT_MAP, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SEND_LINE, nullptr},
    {M::Item, ID_JUMP_NEXT_LINE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_ASC_RECEIVE, nullptr},
    {M::Item, ID_ASC_SEND, nullptr},
    {M::SubMenu, 0, QT_TRANSLATE_NOOP("Command", "ASC模式发送时")},
    {M::Item, ID_ADD_STX, nullptr},
    {M::Item, ID_ADD_ETX, nullptr},
    {M::Item, ID_ADD_CR, nullptr},
    {M::Item, ID_ADD_LF, nullptr},
    {M::EndSubMenu, 0, nullptr},
    {M::SubMenu, 0, QT_TRANSLATE_NOOP("Command", "文本编码")},
    {M::Item, ID_TEXT_GBK, nullptr},
    {M::Item, ID_TEXT_UTF8, nullptr},
    {M::EndSubMenu, 0, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_LINE_DTR, nullptr},
    {M::Item, ID_LINE_RTS, nullptr},
    {M::Item, ID_AUTO_RECONNECT, nullptr},
    {M::Item, ID_REOPEN_AT_START, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_CYCLIC_SEND, nullptr},
    {M::Item, ID_TRIGGER_SEND, nullptr},
    {M::Item, ID_SEND_SETTINGS, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_TRANSMIT, nullptr},
    {M::Item, ID_MODBUS_DECODE, nullptr},
    {M::Item, ID_SCRIPT, nullptr},
    {M::Separator, 0, nullptr},
    {M::SubMenu, 0, "语言 / Language"},
    {M::Item, ID_LANGUAGE_CHINESE, nullptr},
    {M::Item, ID_LANGUAGE_ENGLISH, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_LANGUAGE_NOTE, nullptr},
    {M::EndSubMenu, 0, nullptr},

    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "添加校验(&P)")},
    {M::Item, ID_CHECK_SUM8, nullptr},
    {M::Item, ID_CHECK_SUM16, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_CHECK_MODBUS, nullptr},
    {M::Item, ID_CHECK_CCITT16, nullptr},
    {M::Item, ID_CHECK_CCITT8, nullptr},
    {M::Item, ID_CHECK_ANSI16, nullptr},
    {M::Item, ID_CHECK_CDT, nullptr},

    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "窗口(&W)")},
    {M::Item, ID_VIEW_TOOLBAR, nullptr},
    {M::Item, ID_VIEW_STATUS_BAR, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SEND_WINDOW, nullptr},
    {M::Item, ID_SETTINGS_BAR, nullptr},
    {M::Item, ID_MODBUS_TABLE, nullptr},
    {M::Item, ID_PLOT, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_ALWAYS_ON_TOP, nullptr},
    {M::Item, ID_WINDOW_CENTER, nullptr},
    {M::SubMenu, 0, QT_TRANSLATE_NOOP("Command", "窗口位于屏幕")},
    {M::Item, ID_WINDOW_TOP_HALF, nullptr},
    {M::Item, ID_WINDOW_BOTTOM_HALF, nullptr},
    {M::Item, ID_WINDOW_LEFT_HALF, nullptr},
    {M::Item, ID_WINDOW_RIGHT_HALF, nullptr},
    {M::EndSubMenu, 0, nullptr},

    {M::Popup, 0, QT_TRANSLATE_NOOP("Command", "帮助(&H)")},
    {M::Item, ID_APP_ABOUT, nullptr},
};

const int kMainToolbar[] = {
    ID_SAVE_MONITOR,
    ID_SEND_WINDOW,
    0,
    ID_OPEN_PORT,
    ID_PAUSE,
    ID_CLEAR_MONITOR,
    ID_FILTER,
    0,
    ID_SEND_LINE,
    ID_CYCLIC_SEND,
    ID_TRIGGER_SEND,
    0,
    ID_ASC_RECEIVE,
    ID_ASC_SEND,
    0,
    ID_LINE_DTR,
    ID_LINE_RTS,
};

// Prompt and tooltip as the string table pairs them. 32779 and 32781 get theirs from their
// update rules.
const CommandInfo kMonitorCommands[] = {
    {ID_APP_EXIT, QT_TRANSLATE_NOOP("Command", "退出(&X)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "退出应用程序"), QT_TRANSLATE_NOOP("Command", "退出"), nullptr,
     false},

    {ID_PAUSE, QT_TRANSLATE_NOOP("Command", "暂停报文显示(&P)"), "Pause",
     QT_TRANSLATE_NOOP("Command", "暂停报文监视"), QT_TRANSLATE_NOOP("Command", "暂停报文监视"),
     ":/icons/pause.png", true},
    {ID_SHOW_PORT, QT_TRANSLATE_NOOP("Command", "显示端口(&P)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "在报文前显示端口号及收发方向"),
     QT_TRANSLATE_NOOP("Command", "显示端口"), nullptr, true},
    {ID_SHOW_SENT, QT_TRANSLATE_NOOP("Command", "显示发送报文(&D)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "在监视窗中显示发送的报文"),
     QT_TRANSLATE_NOOP("Command", "显示发送报文"), nullptr, true},
    {ID_SHOW_TIME, QT_TRANSLATE_NOOP("Command", "显示时间(&T)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "在报文前显示接收或发送的时间"),
     QT_TRANSLATE_NOOP("Command", "显示时间"), nullptr, true},

    {ID_ASC_RECEIVE, QT_TRANSLATE_NOOP("Command", "ASC模式接收(&R)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "把接收的报文作为字符显示"),
     QT_TRANSLATE_NOOP("Command", "ASC模式接收"), ":/icons/asc_receive.png", true},

    {ID_VIEW_TOOLBAR, QT_TRANSLATE_NOOP("Command", "工具栏(&T)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "显示或隐藏工具栏"), QT_TRANSLATE_NOOP("Command", "显隐工具栏"),
     nullptr, true},
    {ID_VIEW_STATUS_BAR, QT_TRANSLATE_NOOP("Command", "状态栏(&S)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "显示或隐藏状态栏"), QT_TRANSLATE_NOOP("Command", "显隐状态栏"),
     nullptr, true},
    {ID_SETTINGS_BAR, QT_TRANSLATE_NOOP("Command", "串口设置栏(&C)"), "Ctrl+B",
     QT_TRANSLATE_NOOP("Command", "显示或隐藏串口设置栏"),
     QT_TRANSLATE_NOOP("Command", "串口设置栏"), nullptr, true},
    {ID_ALWAYS_ON_TOP, QT_TRANSLATE_NOOP("Command", "总在最上面(&A)"), "Ctrl+T",
     QT_TRANSLATE_NOOP("Command", "使窗口总在其他窗口的上面"),
     QT_TRANSLATE_NOOP("Command", "总在最上面"), nullptr, true},
    {ID_WINDOW_CENTER, QT_TRANSLATE_NOOP("Command", "居中(&G)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "窗口位于屏幕中央"), QT_TRANSLATE_NOOP("Command", "居中"),
     nullptr, false},
    {ID_WINDOW_TOP_HALF, QT_TRANSLATE_NOOP("Command", "上半部(&H)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "窗口位于屏幕上半部"), QT_TRANSLATE_NOOP("Command", "上半部"),
     nullptr, false},
    {ID_WINDOW_BOTTOM_HALF, QT_TRANSLATE_NOOP("Command", "下半部(&B)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "窗口位于屏幕下半部"), QT_TRANSLATE_NOOP("Command", "下半部"),
     nullptr, false},
    {ID_WINDOW_LEFT_HALF, QT_TRANSLATE_NOOP("Command", "左半部(&L)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "窗口位于屏幕左半部"), QT_TRANSLATE_NOOP("Command", "左半部"),
     nullptr, false},
    {ID_WINDOW_RIGHT_HALF, QT_TRANSLATE_NOOP("Command", "右半部(&R)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "窗口位于屏幕右半部"), QT_TRANSLATE_NOOP("Command", "右半部"),
     nullptr, false},

    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("Command", "关于 VRL(&A)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "显示程序信息、版本号和版权"),
     QT_TRANSLATE_NOOP("Command", "关于"), nullptr, false},
};

} // namespace

std::span<const MenuLayoutItem> MainMenuLayout()
{
    return kMainMenu;
}

std::span<const int> MainToolbarLayout()
{
    return kMainToolbar;
}

std::span<const CommandInfo> MonitorCommands()
{
    return kMonitorCommands;
}
