#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>

#include <span>

class CFrameHost;

// Two choices of the 视图 menu about what a monitor line shows, beside the program's own
// forms: the clock's milliseconds in time stamps (instead of the milliseconds since the
// previous stamp), and every byte of an ASC message with control bytes escaped (instead of
// the characters up to the first zero byte). Both are off by default and stored at once.
class CViewChoices : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    // Loads the stored choices into the host's options.
    explicit CViewChoices(CFrameHost& host);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

private:
    int* FlagOf(int id) const;

    CFrameHost& m_host;
};
