#include "CommandTable.h"

#include "CommandIds.h"

namespace {

using M = MenuLayoutItem;

const MenuLayoutItem kMainMenu[] = {
    {M::Popup, 0, "文件(&F)"},
    {M::Item, ID_FILE_OPEN, nullptr},
    {M::Item, ID_SAVE_MONITOR, nullptr},
    {M::Item, ID_AUTO_SAVE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_OPEN_SEND_FILE, nullptr},
    {M::Item, ID_SAVE_SEND_FILE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_FILE_PRINT, nullptr},
    {M::Item, ID_FILE_PRINT_PREVIEW, nullptr},
    {M::Item, ID_FILE_PRINT_SETUP, nullptr},
    {M::Separator, 0, nullptr},
    {M::RecentFiles, ID_FILE_MRU_FIRST, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_APP_EXIT, nullptr},

    {M::Popup, 0, "编辑(&E)"},
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

    {M::Popup, 0, "视图(&V)"},
    {M::Item, ID_PAUSE, nullptr},
    {M::Item, ID_FILTER, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SHOW_PORT, nullptr},
    {M::Item, ID_SHOW_SENT, nullptr},
    {M::Item, ID_SHOW_TIME, nullptr},
    {M::Item, ID_CLOCK_MILLISECONDS, nullptr},
    {M::Item, ID_ASC_EVERY_BYTE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_CLEAR_MONITOR, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_READ_ONLY, nullptr},
    {M::Item, ID_WORD_WRAP, nullptr},

    {M::Popup, 0, "工具(&T)"},
    {M::Item, ID_OPEN_PORT, nullptr},
    {M::Item, ID_DEFAULT_SETTINGS, nullptr},
    {M::Item, ID_PORT_MAP, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SEND_LINE, nullptr},
    {M::Item, ID_JUMP_NEXT_LINE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_ASC_RECEIVE, nullptr},
    {M::Item, ID_ASC_SEND, nullptr},
    {M::SubMenu, 0, "ASC模式发送时"},
    {M::Item, ID_ADD_STX, nullptr},
    {M::Item, ID_ADD_ETX, nullptr},
    {M::Item, ID_ADD_CR, nullptr},
    {M::Item, ID_ADD_LF, nullptr},
    {M::EndSubMenu, 0, nullptr},
    {M::SubMenu, 0, "文本编码"},
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

    {M::Popup, 0, "添加校验(&P)"},
    {M::Item, ID_CHECK_SUM8, nullptr},
    {M::Item, ID_CHECK_SUM16, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_CHECK_MODBUS, nullptr},
    {M::Item, ID_CHECK_CCITT16, nullptr},
    {M::Item, ID_CHECK_CCITT8, nullptr},
    {M::Item, ID_CHECK_ANSI16, nullptr},
    {M::Item, ID_CHECK_CDT, nullptr},

    {M::Popup, 0, "窗口(&W)"},
    {M::Item, ID_VIEW_TOOLBAR, nullptr},
    {M::Item, ID_VIEW_STATUS_BAR, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_SEND_WINDOW, nullptr},
    {M::Item, ID_SETTINGS_BAR, nullptr},
    {M::Item, ID_MODBUS_TABLE, nullptr},
    {M::Separator, 0, nullptr},
    {M::Item, ID_ALWAYS_ON_TOP, nullptr},
    {M::Item, ID_WINDOW_CENTER, nullptr},
    {M::SubMenu, 0, "窗口位于屏幕"},
    {M::Item, ID_WINDOW_TOP_HALF, nullptr},
    {M::Item, ID_WINDOW_BOTTOM_HALF, nullptr},
    {M::Item, ID_WINDOW_LEFT_HALF, nullptr},
    {M::Item, ID_WINDOW_RIGHT_HALF, nullptr},
    {M::EndSubMenu, 0, nullptr},

    {M::Popup, 0, "帮助(&H)"},
    {M::Item, ID_APP_ABOUT, nullptr},
};

const int kMainToolbar[] = {
    ID_SAVE_MONITOR, ID_SEND_WINDOW, 0,
    ID_OPEN_PORT, ID_PAUSE, ID_CLEAR_MONITOR, ID_FILTER, 0,
    ID_SEND_LINE, ID_CYCLIC_SEND, ID_TRIGGER_SEND, 0,
    ID_ASC_RECEIVE, ID_ASC_SEND, 0,
    ID_LINE_DTR, ID_LINE_RTS,
};

// Prompt and tooltip as the string table pairs them. 32779 and 32781 get theirs from their
// update rules.
const CommandInfo kMonitorCommands[] = {
    {ID_APP_EXIT, "退出(&X)", nullptr, "退出应用程序", "退出", nullptr, false},

    {ID_PAUSE, "暂停报文显示(&P)", "Pause", "暂停报文监视", "暂停报文监视", ":/icons/pause.png", true},
    {ID_SHOW_PORT, "显示端口(&P)", nullptr, "在报文前显示端口号及收发方向", "显示端口", nullptr, true},
    {ID_SHOW_SENT, "显示发送报文(&D)", nullptr, "在监视窗中显示发送的报文", "显示发送报文", nullptr, true},
    {ID_SHOW_TIME, "显示时间(&T)", nullptr, "在报文前显示接收或发送的时间", "显示时间", nullptr, true},

    {ID_OPEN_PORT, "打开串口(&O)", "F5", "打开COM1", "打开COM1", ":/icons/port_closed.png", false},
    {ID_DEFAULT_SETTINGS, "默认参数(&D)", nullptr, "当前串口恢复默认参数", "默认参数", nullptr, false},
    {ID_PORT_MAP, "端口映射(&M)...", nullptr, "设置各COM编号对应的串口设备", "端口映射", nullptr, false},
    {ID_ASC_RECEIVE, "ASC模式接收(&R)", nullptr, "把接收的报文作为字符显示", "ASC模式接收", ":/icons/asc_receive.png", true},

    {ID_VIEW_TOOLBAR, "工具栏(&T)", nullptr, "显示或隐藏工具栏", "显隐工具栏", nullptr, true},
    {ID_VIEW_STATUS_BAR, "状态栏(&S)", nullptr, "显示或隐藏状态栏", "显隐状态栏", nullptr, true},
    {ID_SETTINGS_BAR, "串口设置栏(&C)", "Ctrl+B", "显示或隐藏串口设置栏", "串口设置栏", nullptr, true},
    {ID_ALWAYS_ON_TOP, "总在最上面(&A)", "Ctrl+T", "使窗口总在其他窗口的上面", "总在最上面", nullptr, true},
    {ID_WINDOW_CENTER, "居中(&G)", nullptr, "窗口位于屏幕中央", "居中", nullptr, false},
    {ID_WINDOW_TOP_HALF, "上半部(&H)", nullptr, "窗口位于屏幕上半部", "上半部", nullptr, false},
    {ID_WINDOW_BOTTOM_HALF, "下半部(&B)", nullptr, "窗口位于屏幕下半部", "下半部", nullptr, false},
    {ID_WINDOW_LEFT_HALF, "左半部(&L)", nullptr, "窗口位于屏幕左半部", "左半部", nullptr, false},
    {ID_WINDOW_RIGHT_HALF, "右半部(&R)", nullptr, "窗口位于屏幕右半部", "右半部", nullptr, false},

    {ID_APP_ABOUT, "关于 VRL(&A)...", nullptr, "显示程序信息、版本号和版权", "关于", nullptr, false},
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

QString PortName(int port)
{
    return QStringLiteral("COM%1").arg(port + 1);
}
