#include "app/forward/Forwarder.h"

#include "app/forward/ForwardDialog.h"
#include "app/host/FrameHost.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/forward/ForwardTap.h"
#include "core/receive/MonitorLine.h"
#include "core/serial/SerialPort.h"
#include "core/settings/FrameOptions.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QTimer>

#include <algorithm>

namespace {

const CommandInfo kForwardCommands[] = {
    {ID_TRANSMIT, QT_TRANSLATE_NOOP("Command", "转发设置(&Z)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "在两个串口之间透明转发收到的报文"),
     QT_TRANSLATE_NOOP("Command", "转发设置"), nullptr, false},
};

const QString kNoteKey = QStringLiteral("forward");

// The first retry of a target that took nothing comes soon; while it keeps taking nothing
// the retries space out, so that a stopped far end costs next to no CPU.
constexpr int kFirstRetryMs = 1;
constexpr int kLongestRetryMs = 32;

QString SizeText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return QCoreApplication::translate("CForwarder", "%1 字节").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

} // namespace

CForwarder::CForwarder(CFrameHost& host, ForwardTap& tap, std::size_t queueLimit)
    : QObject(host.Window()), m_host(host), m_tap(tap), m_queueLimit(queueLimit),
      m_pFlushTimer(new QTimer(this)), m_pNoteTimer(new QTimer(this))
{
    m_pFlushTimer->setSingleShot(true);
    m_pFlushTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pFlushTimer, &QTimer::timeout, this, &CForwarder::FlushWaiting);
    m_pNoteTimer->setInterval(kBehindMs / 2);
    connect(m_pNoteTimer, &QTimer::timeout, this, &CForwarder::UpdateNote);
    m_host.Pipeline().SetForwarding(this);
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

void CForwarder::RunDialog()
{
    CForwardDialog dialog(
        m_host.Store(), [this](const QString& text) { m_host.ShowMessage(text); }, m_host.Window());
    // Looking at the settings must not switch a running tap off: the dialog starts from
    // what is in force, and leaving it without "应用" keeps that.
    if (m_bEnabled) {
        dialog.m_lines = m_bLines ? 1 : 0;
        dialog.ShowRunning(static_cast<std::uint8_t>(m_portA), static_cast<std::uint8_t>(m_portB));
    }
    if (dialog.exec() == CForwardDialog::kCancelResult)
        SetForwarding(dialog.m_enable != 0, dialog.m_portA, dialog.m_portB, dialog.m_lines != 0);
}

void CForwarder::SetForwarding(bool enable, int portA, int portB, bool lines)
{
    m_bEnabled = enable;
    m_bLines = enable && lines;
    m_portA = portA;
    m_portB = portB;
    // What waits here for a port that joins the pair goes ahead of the bytes forwarded to it.
    m_tap.SetPair(enable, portA - 1, portB - 1, m_bLines, [this](unsigned port) {
        auto it = m_targets.find(port);
        return it == m_targets.end() ? std::vector<std::uint8_t>() : it->second.m_queue.Take();
    });
    for (auto& [port, target] : m_targets)
        target.m_queue.ResetDropped();
    // Moved bytes whose partner is not read are pumped from here (FlushWaiting).
    if (enable
        && (Waiting(static_cast<unsigned>(portA - 1)) > 0
            || Waiting(static_cast<unsigned>(portB - 1)) > 0)
        && !m_pFlushTimer->isActive())
        ScheduleFlush(true);
    if (enable)
        m_pNoteTimer->start();
    else
        m_pNoteTimer->stop();
    UpdateNote();
}

std::size_t CForwarder::Waiting(unsigned port) const
{
    if (InPair(port))
        return m_tap.Waiting(port);
    auto it = m_targets.find(port);
    return it == m_targets.end() ? 0 : it->second.m_queue.Waiting();
}

CForwarder::Target& CForwarder::TargetOf(unsigned port)
{
    auto it = m_targets.find(port);
    if (it == m_targets.end())
        it = m_targets.try_emplace(port, m_queueLimit).first;
    return it->second;
}

ForwardQueue::Writer CForwarder::WriterOf(unsigned port) const
{
    SerialPort* record = m_host.GetPortRecord(static_cast<int>(port));
    return [record](const std::uint8_t* bytes, std::size_t count) -> std::ptrdiff_t {
        return record ? record->WriteSome(bytes, count) : -1;
    };
}

// The bytes crossed in the source's worker already (the tap): here the window only shows the
// copy, as a sent line of the target.
void CForwarder::ForwardReceived(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    const int target = SourceOf(port);
    if (target < 0 || !m_host.IsPortOpen(target))
        return;
    const auto to = static_cast<unsigned>(target);
    if (!m_host.Pipeline().IsShown(to, 0))
        return;
    // The received line's text is the same text: made once for both lines.
    if (const std::string* text = m_host.Pipeline().ReceivedText())
        m_host.AppendMonitorLine(*text, to, 0);
    else
        m_host.AppendMonitorLine(ReceivedMessageText(bytes, count,
                                                     m_host.Options().m_ascReceive != 0,
                                                     m_host.Options().m_ascEveryByte != 0),
                                 to, 0);
}

CForwarder::Target* CForwarder::Enqueue(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    Target& t = TargetOf(port);
    if (t.m_queue.IsEmpty())
        t.m_sinceProgress.start();
    if (!t.m_queue.Append(bytes, count)) {
        UpdateNote(); // dropped at the limit: the status bar says so
        return nullptr;
    }
    return &t;
}

bool CForwarder::WriteToPort(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    if (!m_host.IsPortOpen(static_cast<int>(port)))
        return false;
    if (InPair(port)) {
        // Behind the bytes forwarded to it, never inside a write of theirs.
        const bool taken = m_tap.Send(port, bytes, count);
        if (m_tap.Waiting(port) > 0 && !m_pFlushTimer->isActive())
            ScheduleFlush(true);
        UpdateNote();
        return taken;
    }
    Target* queued = Enqueue(port, bytes, count);
    if (!queued)
        return false;
    Target& t = *queued;
    // Out at once as far as the port takes it, so that a line is on its way before whatever
    // the user does next (closing the port, say).
    const std::ptrdiff_t written = t.m_queue.Flush(WriterOf(port));
    if (written < 0)
        return false;
    if (written > 0)
        t.m_sinceProgress.start();
    if (!t.m_queue.IsEmpty() && !m_pFlushTimer->isActive())
        ScheduleFlush(true);
    UpdateNote();
    return true;
}

void CForwarder::FlushWaiting()
{
    bool progress = false;
    bool waiting = false;
    // The program's sends to a pair port whose partner is not read (closed): nobody else
    // pumps them.
    for (const int p : {m_portA - 1, m_portB - 1}) {
        if (!m_bEnabled || p < 0 || m_tap.Waiting(static_cast<unsigned>(p)) == 0)
            continue;
        const std::size_t before = m_tap.Waiting(static_cast<unsigned>(p));
        m_tap.Pump(static_cast<unsigned>(p));
        const std::size_t after = m_tap.Waiting(static_cast<unsigned>(p));
        progress = progress || after < before;
        waiting = waiting || after > 0;
    }
    for (auto& [port, t] : m_targets) {
        if (t.m_queue.IsEmpty())
            continue;
        // A closed target drops its share, as a chunk that arrives while it is closed would.
        if (!m_host.IsPortOpen(static_cast<int>(port))) {
            t.m_queue.Clear();
            continue;
        }
        if (t.m_queue.Flush(WriterOf(port)) > 0) {
            progress = true;
            t.m_sinceProgress.start();
        }
        waiting = waiting || !t.m_queue.IsEmpty();
    }
    UpdateNote();
    if (waiting)
        ScheduleFlush(progress);
}

void CForwarder::ScheduleFlush(bool progress)
{
    m_flushDelayMs =
        progress ? kFirstRetryMs : std::clamp(m_flushDelayMs * 2, kFirstRetryMs, kLongestRetryMs);
    m_pFlushTimer->start(m_flushDelayMs);
}

int CForwarder::SourceOf(unsigned target) const
{
    if (!m_bEnabled)
        return -1;
    if (static_cast<int>(target) + 1 == m_portA)
        return m_portB - 1;
    if (static_cast<int>(target) + 1 == m_portB)
        return m_portA - 1;
    return -1;
}

void CForwarder::UpdateNote()
{
    QString trouble;
    for (const int p : {m_portA - 1, m_portB - 1}) {
        if (m_bEnabled && p >= 0 && m_tap.StalledMs(static_cast<unsigned>(p)) >= kBehindMs)
            trouble += QCoreApplication::translate("CForwarder", "，%1 未及时取走，待写 %2")
                           .arg(QString::fromStdString(PortName(p)),
                                SizeText(m_tap.Waiting(static_cast<unsigned>(p))));
    }
    for (const auto& [port, t] : m_targets) {
        const QString name = QString::fromStdString(PortName(port));
        if (t.m_queue.Dropped() > 0) {
            trouble += QCoreApplication::translate("CForwarder", "，%1 积压超过 %2，已丢弃 %3")
                           .arg(name, SizeText(t.m_queue.Limit()), SizeText(t.m_queue.Dropped()));
        } else if (!t.m_queue.IsEmpty() && t.m_sinceProgress.isValid()
                   && t.m_sinceProgress.elapsed() >= kBehindMs) {
            trouble += QCoreApplication::translate("CForwarder", "，%1 未及时取走，待写 %2")
                           .arg(name, SizeText(t.m_queue.Waiting()));
        }
    }
    QString text;
    if (m_bEnabled)
        text = QCoreApplication::translate("CForwarder", "转发: %1 ⇄ %2")
                   .arg(QString::fromStdString(PortName(m_portA - 1)),
                        QString::fromStdString(PortName(m_portB - 1)))
               + trouble;
    else if (!trouble.isEmpty())
        text = trouble.mid(1); // sent lines that wait, without forwarding
    const bool warning = !trouble.isEmpty();
    if (text == m_note && warning == m_bNoteWarning)
        return;
    m_note = text;
    m_bNoteWarning = warning;
    m_host.SetStatusNote(kNoteKey, text, warning);
}
