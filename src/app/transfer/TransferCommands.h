#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>
#include <QPointer>

#include <span>

class CFrameHost;
class CTransferDialog;

// 文件 → "发送文件 (XMODEM/YMODEM)..." and "接收文件...": the transfer dialog for the current
// port, while it is open; one transfer at a time.
class CTransferCommands : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    explicit CTransferCommands(CFrameHost& host);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;
    // The dialog shown last (null before the first), for the tests.
    CTransferDialog* Dialog() const;
    // The window closes: a running transfer is cancelled and the dialog goes.
    void EndAtExit();

private:
    CFrameHost& m_host;
    QPointer<CTransferDialog> m_pDialog;
};
