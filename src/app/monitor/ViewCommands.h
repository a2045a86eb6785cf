#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>

#include <span>

class CFrameMonitorView;

// The monitor view's commands: clear, word wrap, read-only, find and replace, printing, and
// the clipboard and undo commands, which act on whichever text editor has the focus (the
// send editor as well as the monitor).
class CViewCommands : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    CViewCommands(CFrameMonitorView& view, QObject* parent);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

private:
    CFrameMonitorView& m_view;
};
