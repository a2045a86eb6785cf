#pragma once

#include <QString>

#include <span>

// One command of the menus, toolbars and keys: its identifier and its texts. Texts are
// UTF-8. A menu item, toolbar button or key exists only for a command that some unit has
// added to the frame's table, so each unit brings its own rows with its behaviour.
struct CommandInfo
{
    int m_id;
    const char* m_menuText; // as the menu shows it, a shown key after "\t"
    const char* m_key;      // key sequence in QKeySequence's portable form, or nullptr
    const char* m_prompt;   // status-bar prompt
    const char* m_tip;      // tooltip of the toolbar button
    const char* m_icon;     // resource path of the toolbar image, or nullptr
    bool m_checkable;
};

// What an update rule decides for a command: enabled, checked and, where the text changes
// with the state, the menu text, status prompt and tooltip (empty keeps the table's).
struct CommandState
{
    bool m_enabled = true;
    bool m_checked = false;
    QString m_text;
    QString m_prompt;
    QString m_tip;
};

// A unit that serves commands: the frame routes each command and each update by identifier
// to the target that added the command's row.
class CCommandTarget
{
public:
    virtual ~CCommandTarget() = default;
    virtual void OnCommand(int id) = 0;
    // state comes filled with the defaults (enabled, unchecked, the table's texts).
    virtual void OnUpdateCommand(int id, CommandState& state) = 0;
};

// Where items go in the main menu: the full layout of the program's menus. An item whose
// command no unit has added is left out, and so are separators that would then stand at an
// edge or next to each other, and menus left empty.
struct MenuLayoutItem
{
    enum Kind
    {
        Popup,
        SubMenu,
        EndSubMenu,
        Item,
        Separator,
        RecentFiles
    };
    Kind m_kind;
    int m_id;           // Item
    const char* m_text; // Popup, SubMenu
};

std::span<const MenuLayoutItem> MainMenuLayout();

// The main toolbar, left to right; 0 marks a separator.
std::span<const int> MainToolbarLayout();

// The frame's own commands: the port and option commands, the window commands, exit and
// about. The view's commands are CViewCommands'.
std::span<const CommandInfo> MonitorCommands();
