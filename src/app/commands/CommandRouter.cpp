#include "app/commands/CommandRouter.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <vector>

CCommandRouter::CCommandRouter(QMainWindow& window, QToolBar& toolBar, CCommandTarget& fallback)
    : QObject(&window), m_window(window), m_toolBar(toolBar), m_fallback(fallback)
{
}

void CCommandRouter::AddCommands(std::span<const CommandInfo> rows, CCommandTarget* target)
{
    for (const CommandInfo& row : rows) {
        CommandEntry& entry = m_commands[row.m_id];
        entry.m_info = row;
        entry.m_target = target;
        ActionFor(entry);
    }
}

QAction* CCommandRouter::ActionFor(CommandEntry& entry)
{
    const CommandInfo& info = entry.m_info;
    if (!entry.m_action) {
        entry.m_action = new QAction(&m_window);
        const int id = info.m_id;
        connect(entry.m_action, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_window.addAction(entry.m_action); // keys work while the menu bar or toolbar is hidden
    }
    QAction* action = entry.m_action;
    action->setData(info.m_id);
    action->setText(QCoreApplication::translate("Command", info.m_menuText));
    action->setStatusTip(QCoreApplication::translate("Command", info.m_prompt));
    action->setToolTip(QCoreApplication::translate("Command", info.m_tip));
    action->setCheckable(info.m_checkable);
    action->setShortcut(info.m_key ? QKeySequence(QString::fromUtf8(info.m_key)) : QKeySequence());
    action->setIcon(info.m_icon ? QIcon(QString::fromUtf8(info.m_icon)) : QIcon());
    return action;
}

QAction* CCommandRouter::Action(int id) const
{
    auto it = m_commands.find(id);
    return it == m_commands.end() ? nullptr : it->second.m_action;
}

const CommandInfo* CCommandRouter::FindCommand(int id) const
{
    auto it = m_commands.find(id);
    return it == m_commands.end() ? nullptr : &it->second.m_info;
}

std::vector<const CommandInfo*> CCommandRouter::Rows() const
{
    std::vector<const CommandInfo*> rows;
    for (const auto& [id, entry] : m_commands)
        rows.push_back(&entry.m_info);
    return rows;
}

QMenu* CCommandRouter::MenuOf(const QString& title) const
{
    for (QAction* a : m_window.menuBar()->actions()) {
        if (a->menu() && a->text() == title)
            return a->menu();
    }
    return nullptr;
}

void CCommandRouter::RebuildMenus()
{
    QMenuBar* bar = m_window.menuBar();
    for (QAction* a : bar->actions()) {
        if (QMenu* m = a->menu())
            m->deleteLater();
    }
    bar->clear();

    // A separator is only placed between two items of the same menu.
    struct Level
    {
        QMenu* m_menu;
        bool m_hasItems = false;
        bool m_pendingSeparator = false;
    };
    std::vector<Level> stack;
    auto addItem = [&](auto add) {
        Level& level = stack.back();
        if (level.m_pendingSeparator && level.m_hasItems)
            level.m_menu->addSeparator();
        level.m_pendingSeparator = false;
        level.m_hasItems = true;
        add(level.m_menu);
    };
    auto closeMenu = [&]() {
        Level done = stack.back();
        stack.pop_back();
        if (!done.m_hasItems) {
            delete done.m_menu;
            return;
        }
        if (stack.empty())
            bar->addMenu(done.m_menu);
        else
            addItem([&](QMenu* parent) { parent->addMenu(done.m_menu); });
        connect(done.m_menu, &QMenu::aboutToShow, this, [this, menu = done.m_menu] {
            for (QAction* a : menu->actions()) {
                bool ok = false;
                const int id = a->data().toInt(&ok);
                if (ok && m_commands.count(id))
                    UpdateCommand(id);
            }
        });
    };

    for (const MenuLayoutItem& item : MainMenuLayout()) {
        switch (item.m_kind) {
        case MenuLayoutItem::Popup:
            while (!stack.empty())
                closeMenu();
            stack.push_back(
                {new QMenu(QCoreApplication::translate("Command", item.m_text), &m_window)});
            break;
        case MenuLayoutItem::SubMenu:
            stack.push_back(
                {new QMenu(QCoreApplication::translate("Command", item.m_text), &m_window)});
            break;
        case MenuLayoutItem::EndSubMenu: closeMenu(); break;
        case MenuLayoutItem::Separator: stack.back().m_pendingSeparator = true; break;
        case MenuLayoutItem::Item:
            if (QAction* a = Action(item.m_id))
                addItem([a](QMenu* menu) { menu->addAction(a); });
            break;
        case MenuLayoutItem::RecentFiles:
            if (m_fillRecentFiles)
                addItem([this](QMenu* menu) { m_fillRecentFiles(menu); });
            break;
        }
    }
    while (!stack.empty())
        closeMenu();

    m_toolBar.clear();
    bool pendingSeparator = false;
    for (int id : MainToolbarLayout()) {
        if (id == 0) {
            pendingSeparator = !m_toolBar.actions().isEmpty();
            continue;
        }
        if (QAction* a = Action(id)) {
            if (pendingSeparator)
                m_toolBar.addSeparator();
            pendingSeparator = false;
            m_toolBar.addAction(a);
        }
    }
    UpdateAllCommands();
}

void CCommandRouter::OnCommand(int id)
{
    auto it = m_commands.find(id);
    if (it == m_commands.end())
        return;
    CCommandTarget* target = it->second.m_target ? it->second.m_target : &m_fallback;
    target->OnCommand(id);
    UpdateAllCommands();
}

CommandState CCommandRouter::UpdateCommand(int id)
{
    CommandState state;
    auto it = m_commands.find(id);
    if (it == m_commands.end() || m_bStopped)
        return state;
    CommandEntry& entry = it->second;
    CCommandTarget* target = entry.m_target ? entry.m_target : &m_fallback;
    target->OnUpdateCommand(id, state);

    QAction* a = entry.m_action;
    a->setEnabled(state.m_enabled);
    if (a->isCheckable())
        a->setChecked(state.m_checked);
    a->setText(state.m_text.isEmpty()
                   ? QCoreApplication::translate("Command", entry.m_info.m_menuText)
                   : state.m_text);
    a->setStatusTip(state.m_prompt.isEmpty()
                        ? QCoreApplication::translate("Command", entry.m_info.m_prompt)
                        : state.m_prompt);
    a->setToolTip(state.m_tip.isEmpty() ? QCoreApplication::translate("Command", entry.m_info.m_tip)
                                        : state.m_tip);
    return state;
}

void CCommandRouter::UpdateAllCommands()
{
    if (m_bStopped)
        return;
    for (auto& [id, entry] : m_commands)
        UpdateCommand(id);
}
