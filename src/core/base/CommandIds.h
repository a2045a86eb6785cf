#pragma once

// Command identifiers of the menus, toolbars and keys. They keep the numbers the program
// has always used: menu and toolbar commands are routed by number, and the stored layout
// and the tests name them by number too.
enum CommandId : int
{
    ID_SETTINGS_BAR = 135, // show or hide the port settings bar

    ID_ESCAPE = 32768, // Esc: no handler serves it

    // The port settings bar's lists.
    ID_PORT_SELECT = 32771,
    ID_BAUD_RATE = 32772,
    ID_PARITY = 32773,
    ID_DATA_BITS = 32774,
    ID_STOP_BITS = 32775,
    ID_PACK_INTERVAL = 32776,
    ID_FLOW_CONTROL = 32777,

    // Port commands and frame options.
    ID_DEFAULT_SETTINGS = 32778,
    ID_OPEN_PORT = 32779,
    ID_CLEAR_MONITOR = 32780,
    ID_PAUSE = 32781,
    ID_ASC_RECEIVE = 32783,
    ID_ASC_SEND = 32784,
    ID_WORD_WRAP = 32785,
    ID_SHOW_PORT = 32786,
    ID_SHOW_SENT = 32787,
    ID_SHOW_TIME = 32788,
    ID_ADD_CR = 32789,
    ID_ADD_STX = 32790,
    ID_ADD_ETX = 32791,
    ID_READ_ONLY = 32792,
    ID_JUMP_NEXT_LINE = 32793,
    ID_SEND_LINE = 32794,
    ID_ADD_LF = 32795,

    ID_SEND_WINDOW = 32797,

    // Check codes appended to the send editor's line.
    ID_CHECK_SUM8 = 32799,
    ID_CHECK_SUM16 = 32800,
    ID_CHECK_MODBUS = 32801,
    ID_CHECK_CCITT16 = 32802,
    ID_CHECK_CCITT8 = 32803,
    ID_CHECK_ANSI16 = 32804,
    ID_CHECK_CDT = 32805,

    ID_SETTINGS_BUTTON = 32814,
    ID_SAVE_MONITOR = 32816,

    // Window placement.
    ID_WINDOW_CENTER = 32817,
    ID_WINDOW_TOP_HALF = 32818,
    ID_WINDOW_BOTTOM_HALF = 32819,
    ID_WINDOW_LEFT_HALF = 32820,
    ID_WINDOW_RIGHT_HALF = 32821,
    ID_ALWAYS_ON_TOP = 32822,

    ID_SEND_SETTINGS = 32823,
    ID_CYCLIC_SEND = 32824,
    ID_TRIGGER_SEND = 32825,
    ID_TRANSMIT = 32826,
    ID_AUTO_SAVE = 32827,
    ID_FILTER = 32828,
    ID_OPEN_SEND_FILE = 32830,
    ID_SAVE_SEND_FILE = 32831,

    // Linux only: which device each COM number names.
    ID_PORT_MAP = 32840,

    // Linux only: modem lines, reconnect after re-plug, the text encoding.
    ID_LINE_DTR = 32850,
    ID_LINE_RTS = 32851,
    ID_AUTO_RECONNECT = 32852,
    ID_TEXT_GBK = 32853,
    ID_TEXT_UTF8 = 32854,
    // Linux only: protocol decoding.
    ID_MODBUS_DECODE = 32860,
    ID_MODBUS_TABLE = 32861,

    // Linux only: how time stamps and ASC text are shown.
    ID_CLOCK_MILLISECONDS = 32870,
    ID_ASC_EVERY_BYTE = 32871,
    // Linux only: reopen at start the ports open at the last exit.
    ID_REOPEN_AT_START = 32872,
    // Linux only: the language of the windows (stored, in effect at the next start).
    ID_LANGUAGE_CHINESE = 32880,
    ID_LANGUAGE_ENGLISH = 32881,
    ID_LANGUAGE_NOTE = 32882,
    // Linux only: the send editor's line check (Ctrl+Alt+P) as a menu row.
    ID_CHECK_LINE = 32890,
    // Linux only: the text settings of a plain terminal in one choice.
    ID_TEXT_TERMINAL = 32900,
    // Linux only: the dock of Lua scripts.
    ID_SCRIPT = 32910,
    // Linux only: files sent and received with XMODEM and YMODEM.
    ID_SEND_TRANSFER_FILE = 32920,
    ID_RECEIVE_TRANSFER_FILE = 32921,
    // Linux only: pcapng files for Wireshark.
    ID_EXPORT_PCAPNG = 32940,
    ID_RECORD_PCAPNG = 32941,
    ID_REPLAY_PCAPNG = 32942,
    // Linux only: the plot of the values the ports carry.
    ID_PLOT = 32950,

    // The framework's standard commands.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FIRST = 57616,
    ID_FILE_MRU_LAST = 57631,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_PASTE_SPECIAL = 57639,
    ID_EDIT_REPEAT = 57640,
    ID_EDIT_REPLACE = 57641,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};
