#include "app/forward/Forwarder.h"

#include "app/forward/ForwardDialog.h"
#include "app/host/FrameHost.h"
#include "app/send/PortSender.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/forward/ForwardTap.h"
#include "core/receive/MonitorLine.h"
#include "core/receive/ReceivePipeline.h"
#include "core/settings/FrameOptions.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QTimer>

namespace {

const CommandInfo kForwardCommands[] = {
    {ID_TRANSMIT, QT_TRANSLATE_NOOP("Command", "转发设置(&Z)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "在两个串口之间透明转发收到的报文"),
     QT_TRANSLATE_NOOP("Command", "转发设置"), nullptr, false},
};

const QString kNoteKey = QStringLiteral("forward");

} // namespace

CForwarder::CForwarder(CFrameHost& host, ForwardTap& tap, CPortSender& sender)
    : QObject(host.Window()), m_host(host), m_tap(tap), m_sender(sender),
      m_pNoteTimer(new QTimer(this))
{
    m_pNoteTimer->setInterval(CPortSender::kBehindMs / 2);
    connect(m_pNoteTimer, &QTimer::timeout, this, &CForwarder::UpdateNote);
    m_host.Pipeline().Traffic().Add(*this, PortTraffic::Runs::OnWindow, PortTraffic::kRankForward);
}

// The pipeline goes before the window's children; nothing to undo here.
CForwarder::~CForwarder() = default;

std::span<const CommandInfo> CForwarder::Commands()
{
    return kForwardCommands;
}

void CForwarder::OnCommand(int id)
{
    if (id == ID_TRANSMIT)
        RunDialog();
}

void CForwarder::OnUpdateCommand(int, CommandState&) {}

bool CForwarder::IsEnabled() const
{
    return m_tap.IsEnabled();
}

bool CForwarder::LinesForwarded() const
{
    return m_tap.LinesForwarded();
}

int CForwarder::PortA() const
{
    return m_tap.PairPort(0) + 1;
}

int CForwarder::PortB() const
{
    return m_tap.PairPort(1) + 1;
}

void CForwarder::RunDialog()
{
    CForwardDialog dialog(
        m_host.Store(), [this](const QString& text) { m_host.ShowMessage(text); }, m_host.Window());
    // Looking at the settings must not switch a running tap off: the dialog starts from
    // what is in force, and leaving it without "应用" keeps that.
    if (IsEnabled()) {
        dialog.m_lines = LinesForwarded() ? 1 : 0;
        dialog.ShowRunning(static_cast<std::uint8_t>(PortA()), static_cast<std::uint8_t>(PortB()));
    }
    if (dialog.exec() == CForwardDialog::kCancelResult)
        SetForwarding(dialog.m_enable != 0, dialog.m_portA, dialog.m_portB, dialog.m_lines != 0);
}

void CForwarder::SetForwarding(bool enable, int portA, int portB, bool lines)
{
    // What waits for a port that joins the pair goes ahead of the bytes forwarded to it.
    SendQueues& queues = m_sender.Queues();
    m_tap.SetPair(enable, portA - 1, portB - 1, enable && lines,
                  [&queues](unsigned port) { return queues.TakeWaiting(port); });
    queues.ResetDropped();
    // Moved bytes whose partner is not read are pumped by the sender's timer.
    if (enable)
        m_sender.FlushSoon();
    if (IsEnabled())
        m_pNoteTimer->start();
    else
        m_pNoteTimer->stop();
    UpdateNote();
}

std::size_t CForwarder::Waiting(unsigned port) const
{
    return m_sender.Waiting(port);
}

// The bytes crossed in the source's worker already (the tap): here the window only shows the
// copy, as a sent line of the target, and tells the listeners after it.
void CForwarder::OnTraffic(const TrafficMessage& message)
{
    if (message.m_direction != 1 || message.m_forwarded)
        return;
    const int target = m_tap.OpenPartnerOf(message.m_port);
    if (target < 0 || !m_host.IsPortOpen(target))
        return;
    const auto to = static_cast<unsigned>(target);
    std::string made;
    const std::string* text = message.m_text;
    ReceivePipeline& pipeline = m_host.Pipeline();
    if (pipeline.IsShown(to, 0)) {
        // The received line's text is the same text: made once for both lines.
        if (!text) {
            made = ReceivedMessageText(message.m_bytes, message.m_count,
                                       m_host.Options().m_ascReceive != 0,
                                       m_host.Options().m_ascEveryByte != 0);
            text = &made;
        }
        m_host.AppendMonitorLine(*text, to, 0);
    }
    TrafficMessage copy = message;
    copy.m_port = to;
    copy.m_direction = 0;
    copy.m_forwarded = true;
    copy.m_text = text;
    pipeline.Traffic().PublishToWindow(copy);
}

void CForwarder::UpdateNote()
{
    QString trouble;
    const bool enabled = IsEnabled();
    for (const int p : {m_tap.PairPort(0), m_tap.PairPort(1)}) {
        if (enabled && p >= 0
            && m_tap.StalledMs(static_cast<unsigned>(p)) >= CPortSender::kBehindMs)
            trouble += QCoreApplication::translate("CForwarder", "，%1 未及时取走，待写 %2")
                           .arg(QString::fromStdString(PortName(p)),
                                CPortSender::SizeText(m_tap.Waiting(static_cast<unsigned>(p))));
    }
    QString text;
    if (enabled)
        text = QCoreApplication::translate("CForwarder", "转发: %1 ⇄ %2")
                   .arg(QString::fromStdString(PortName(PortA() - 1)),
                        QString::fromStdString(PortName(PortB() - 1)))
               + trouble;
    const bool warning = !trouble.isEmpty();
    if (text == m_note && warning == m_bNoteWarning)
        return;
    m_note = text;
    m_bNoteWarning = warning;
    m_host.SetStatusNote(kNoteKey, text, warning);
}
