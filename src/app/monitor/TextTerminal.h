#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>

#include <span>

class CCommandRouter;
class CFrameHost;

// 视图 → 文本终端: the settings that make the program work with a device that talks text,
// as a plain terminal program does, in one choice: ASC send with CR after each line (what a
// terminal's Enter sends), ASC receive showing every byte, UTF-8 text. Each setting is
// changed through its own command, so it is kept as that command keeps it; switching the
// choice off puts back what was set before. A setting changed by hand meanwhile ends the
// choice and nothing is put back. The choice and the settings before it are stored.
class CTextTerminal : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    CTextTerminal(CFrameHost& host, CCommandRouter& router);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

private:
    bool IsOn(int row) const;
    void SetRow(int row, bool on);
    bool Matches() const;
    void Store() const;

    CFrameHost& m_host;
    CCommandRouter& m_router;
    bool m_bOn = false;
    unsigned m_before = 0; // bit per setting: on before the choice
    bool m_bSwitching = false;
};
