#include "app/send/PortSender.h"

#include "app/host/FrameHost.h"
#include "core/base/PortName.h"
#include "core/serial/SerialPort.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>

namespace {

const QString kNoteKey = QStringLiteral("send");

// The first retry of a port that took nothing comes soon; while it keeps taking nothing the
// retries space out, so that a stopped far end costs next to no CPU.
constexpr int kFirstRetryMs = 1;
constexpr int kLongestRetryMs = 32;

} // namespace

QString CPortSender::SizeText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return QCoreApplication::translate("CForwarder", "%n 字节", nullptr, int(bytes));
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(static_cast<double>(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

CPortSender::CPortSender(CFrameHost& host, ForwardTap& tap, std::size_t queueLimit)
    : QObject(host.Window()), m_host(host),
      m_queues(
          tap,
          [&host](unsigned port) -> ForwardEnd* {
              SerialPort* record = host.GetPortRecord(static_cast<int>(port));
              return record && record->IsOpen() ? record : nullptr;
          },
          queueLimit),
      m_service(host.Pipeline(), m_queues,
                SendService::Hooks{[this] {
                                       QMetaObject::invokeMethod(
                                           this, [this] { m_service.RunPosted(); },
                                           Qt::QueuedConnection);
                                   },
                                   [this] { AfterWrite(); }}),
      m_pFlushTimer(new QTimer(this)), m_pNoteTimer(new QTimer(this))
{
    m_pFlushTimer->setSingleShot(true);
    m_pFlushTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pFlushTimer, &QTimer::timeout, this, &CPortSender::FlushWaiting);
    m_pNoteTimer->setInterval(kBehindMs / 2);
    connect(m_pNoteTimer, &QTimer::timeout, this, &CPortSender::UpdateNote);
}

bool CPortSender::Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text,
                       bool showLine)
{
    return m_service.Send(port, std::move(bytes), std::move(text), showLine);
}

void CPortSender::AfterWrite()
{
    if (m_queues.IsWaiting() && !m_pFlushTimer->isActive())
        ScheduleFlush(true);
    UpdateNote();
}

void CPortSender::FlushWaiting()
{
    const SendQueues::Flushed flushed = m_queues.Flush();
    UpdateNote();
    if (flushed.m_waiting)
        ScheduleFlush(flushed.m_progress);
}

void CPortSender::ScheduleFlush(bool progress)
{
    m_flushDelayMs =
        progress ? kFirstRetryMs : std::clamp(m_flushDelayMs * 2, kFirstRetryMs, kLongestRetryMs);
    m_pFlushTimer->start(m_flushDelayMs);
}

void CPortSender::UpdateNote()
{
    QString text;
    for (const SendQueues::Trouble& t : m_queues.Troubles(kBehindMs)) {
        const QString name = QString::fromStdString(PortName(t.m_port));
        if (t.m_dropped > 0)
            text += QCoreApplication::translate("CForwarder", "，%1 积压超过 %2，已丢弃 %3")
                        .arg(name, SizeText(t.m_limit), SizeText(t.m_dropped));
        else
            text += QCoreApplication::translate("CForwarder", "，%1 未及时取走，待写 %2")
                        .arg(name, SizeText(t.m_waiting));
    }
    text = text.mid(1).trimmed(); // the separator before the first
    // Looked at again while bytes wait, so that a port that stops taking them is named.
    if (m_queues.IsWaiting())
        m_pNoteTimer->start();
    else if (text.isEmpty())
        m_pNoteTimer->stop();
    if (text == m_note)
        return;
    m_note = text;
    m_host.SetStatusNote(kNoteKey, text, !text.isEmpty());
}
