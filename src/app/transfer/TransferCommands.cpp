#include "app/transfer/TransferCommands.h"

#include "app/host/FrameHost.h"
#include "app/transfer/TransferDialog.h"
#include "core/base/CommandIds.h"

#include <QCoreApplication>
#include <QMainWindow>

namespace {

const CommandInfo kCommands[] = {
    {ID_SEND_TRANSFER_FILE, QT_TRANSLATE_NOOP("Command", "发送文件 (XMODEM/YMODEM)..."), nullptr,
     QT_TRANSLATE_NOOP("Command",
                       "用 XMODEM、XMODEM-1K 或 YMODEM 向当前串口发送文件，如给引导程序的固件"),
     QT_TRANSLATE_NOOP("Command", "发送文件"), nullptr, false},
    {ID_RECEIVE_TRANSFER_FILE, QT_TRANSLATE_NOOP("Command", "接收文件..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "用 XMODEM、XMODEM-1K 或 YMODEM 从当前串口接收文件"),
     QT_TRANSLATE_NOOP("Command", "接收文件"), nullptr, false},
};

} // namespace

CTransferCommands::CTransferCommands(CFrameHost& host) : QObject(host.Window()), m_host(host) {}

CTransferDialog* CTransferCommands::Dialog() const
{
    return m_pDialog;
}

void CTransferCommands::EndAtExit()
{
    delete m_pDialog; // its transfer cancels itself, the far end hears CAN
}

std::span<const CommandInfo> CTransferCommands::Commands()
{
    return kCommands;
}

void CTransferCommands::OnCommand(int id)
{
    if (m_pDialog && m_pDialog->IsRunning()) {
        m_pDialog->raise();
        m_pDialog->activateWindow();
        return;
    }
    if (!m_host.IsPortOpen()) {
        m_host.ShowMessage(tr("请先打开串口，再传送文件。"));
        return;
    }
    if (m_pDialog)
        m_pDialog->deleteLater();
    m_pDialog = new CTransferDialog(m_host, id == ID_SEND_TRANSFER_FILE, m_host.Window());
    m_pDialog->setAttribute(Qt::WA_DeleteOnClose);
    m_pDialog->show();
}

void CTransferCommands::OnUpdateCommand(int, CommandState& state)
{
    state.m_enabled = m_host.IsPortOpen() && !(m_pDialog && m_pDialog->IsRunning());
}
