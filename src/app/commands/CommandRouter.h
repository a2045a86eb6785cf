#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>

#include <functional>
#include <map>
#include <span>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The command table at run time: one action per command row, the menu bar and the main
// toolbar built from the layout, and the routing of every command and update by identifier
// to the unit that added the row. Keys work through the actions, which live on the window.
class CCommandRouter : public QObject
{
    Q_OBJECT
public:
    // window: where the actions, menu bar and toolbar live; fallback serves rows added with
    // no target (the frame's own commands).
    CCommandRouter(QMainWindow& window, QToolBar& toolBar, CCommandTarget& fallback);

    // Adds rows; target serves them (nullptr: the fallback). Call RebuildMenus afterwards
    // when the window is up.
    void AddCommands(std::span<const CommandInfo> rows, CCommandTarget* target);
    // Builds the menu bar and the main toolbar from the layout again.
    void RebuildMenus();
    // Fills the recent-file place of the File menu.
    void SetRecentFilesFiller(std::function<void(QMenu*)> filler)
    {
        m_fillRecentFiles = std::move(filler);
    }

    // Runs command id as a menu item, key or button would, then updates every command.
    void OnCommand(int id);
    // The state of command id now, applied to its action.
    CommandState UpdateCommand(int id);
    void UpdateAllCommands();
    // After this, commands and updates do nothing (the window is shutting down).
    void Stop() { m_bStopped = true; }

    QAction* Action(int id) const;
    const CommandInfo* FindCommand(int id) const;
    // Every row added, in identifier order.
    std::vector<const CommandInfo*> Rows() const;
    QMenu* MenuOf(const QString& title) const;

private:
    struct CommandEntry
    {
        CommandInfo m_info;
        CCommandTarget* m_target = nullptr;
        QAction* m_action = nullptr;
    };

    QAction* ActionFor(CommandEntry& entry);

    QMainWindow& m_window;
    QToolBar& m_toolBar;
    CCommandTarget& m_fallback;
    std::map<int, CommandEntry> m_commands;
    std::function<void(QMenu*)> m_fillRecentFiles;
    bool m_bStopped = false;
};
