#include "app/ports/LineControl.h"

#include "app/host/FrameHost.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/base/SettingsStore.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortList.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"
#include "core/text/CodePage.h"
#include "core/text/TextEncoding.h"
#include "core/text/UiLanguage.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

namespace {

const CommandInfo kCommands[] = {
    {ID_LINE_DTR, "DTR", nullptr,
     QT_TRANSLATE_NOOP("Command", "置位或复位当前串口的DTR线（数据终端就绪）"), "DTR",
     ":/icons/line_dtr.png", true},
    {ID_LINE_RTS, "RTS", nullptr,
     QT_TRANSLATE_NOOP("Command", "置位或复位当前串口的RTS线（请求发送）"), "RTS",
     ":/icons/line_rts.png", true},
    {ID_AUTO_RECONNECT, QT_TRANSLATE_NOOP("Command", "断开后自动重新打开(&U)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "串口设备拔出后再插入时自动重新打开串口"),
     QT_TRANSLATE_NOOP("Command", "自动重新打开"), nullptr, true},
    {ID_TEXT_GBK, QT_TRANSLATE_NOOP("Command", "GBK(&G)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ASC模式收发的文本按GBK编码"), "GBK", nullptr, true},
    {ID_TEXT_UTF8, QT_TRANSLATE_NOOP("Command", "UTF-8(&U)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "ASC模式收发的文本按UTF-8编码"), "UTF-8", nullptr, true},
};

} // namespace

CLineControl::CLineControl(CFrameHost& host, PortList& ports, PortReceiver* receiver)
    : QObject(host.Window()), m_host(host), m_ports(ports), m_pReceiver(receiver),
      m_pCheckTimer(new QTimer(this))
{
    for (auto& lines : m_inputLines)
        lines = kLinesUnknown;
    m_bReconnect = m_host.Store().ReadInt(kSection, kReconnectValue, 1) != 0;
    CodePage::SetSystemChoice(
        TextEncoding::Decide(m_host.Store(), UiLanguage::Decide(m_host.Store())));
    m_pCheckTimer->setInterval(kCheckIntervalMs);
    connect(m_pCheckTimer, &QTimer::timeout, this, &CLineControl::CheckReconnect);
}

std::span<const CommandInfo> CLineControl::Commands()
{
    return kCommands;
}

void CLineControl::OnCommand(int id)
{
    switch (id) {
    case ID_LINE_DTR: ToggleOutputLine(ModemLines::kDtr); return;
    case ID_LINE_RTS: ToggleOutputLine(ModemLines::kRts); return;
    case ID_TEXT_GBK:
    case ID_TEXT_UTF8: {
        const auto choice = id == ID_TEXT_UTF8 ? CodePage::Choice::Utf8 : CodePage::Choice::Gbk;
        CodePage::SetSystemChoice(choice);
        TextEncoding::Store(m_host.Store(), choice);
        return;
    }
    case ID_AUTO_RECONNECT:
        m_bReconnect = !m_bReconnect;
        m_host.Store().WriteInt(kSection, kReconnectValue, m_bReconnect ? 1 : 0);
        if (!m_bReconnect) {
            m_reconnect.Clear();
            // Remote ports that still call their server stop calling: closed, as a lost
            // local port stays closed with the switch off.
            for (const auto& [port, path] :
                 std::map<unsigned, std::string>(std::move(m_redialing))) {
                m_ports.ClosePort(port);
                if (m_reopened)
                    m_reopened(port);
            }
            m_redialing.clear();
            UpdateReconnectNote();
        }
        return;
    default: break;
    }
}

void CLineControl::OnUpdateCommand(int id, CommandState& state)
{
    switch (id) {
    case ID_LINE_DTR:
    case ID_LINE_RTS: {
        const SerialPort* port = m_host.GetPortRecord(-1);
        const unsigned line = id == ID_LINE_DTR ? ModemLines::kDtr : ModemLines::kRts;
        state.m_enabled = port && port->IsOpen();
        state.m_checked = state.m_enabled && (port->OutputLines() & line);
        if (id == ID_LINE_DTR)
            UpdateInputLinesNote(); // the current port may have changed since
        break;
    }
    case ID_AUTO_RECONNECT: state.m_checked = m_bReconnect; break;
    case ID_TEXT_GBK: state.m_checked = CodePage::SystemChoice() == CodePage::Choice::Gbk; break;
    case ID_TEXT_UTF8: state.m_checked = CodePage::SystemChoice() == CodePage::Choice::Utf8; break;
    default: break;
    }
}

// The choice is the port's: kept in its record for the next open and stored with the port.
void CLineControl::ToggleOutputLine(unsigned line)
{
    SerialPort* port = m_host.GetPortRecord(-1);
    if (!port || !port->IsOpen())
        return;
    const bool on = (port->OutputLines() & line) == 0;
    if (!port->SetOutputLine(line, on) && m_inputLines[port->m_uiPortNo % 256] == kLinesNone)
        m_host.ShowStatusMessage(
            QCoreApplication::translate("CLineControl", "%1 没有调制解调器控制线")
                .arg(QString::fromStdString(PortName(port->m_uiPortNo))));
    SaveModemOutputs(m_host.Store(), port->m_uiPortNo, port->OutputLines());
}

void CLineControl::OnModemLines(unsigned uiPortNo, bool available, unsigned lines)
{
    if (uiPortNo >= m_inputLines.size())
        return;
    m_inputLines[uiPortNo] = available ? static_cast<int>(lines) : kLinesNone;
    QMetaObject::invokeMethod(
        this, [this] { UpdateInputLinesNote(); }, Qt::QueuedConnection);
}

QString CLineControl::InputLinesNote() const
{
    const int current = m_host.CurrentPort();
    if (current < 0 || current >= static_cast<int>(m_inputLines.size())
        || !m_host.IsPortOpen(current))
        return QString();
    const int lines = m_inputLines[static_cast<std::size_t>(current)];
    if (lines == kLinesUnknown)
        return QString();
    return QString::fromStdString(PortName(current)) + QLatin1Char(' ')
           + QString::fromStdString(
               InputLinesText(lines != kLinesNone, lines < 0 ? 0u : static_cast<unsigned>(lines)));
}

void CLineControl::UpdateInputLinesNote()
{
    const QString note = InputLinesNote();
    if (note == m_shownLinesNote)
        return;
    m_shownLinesNote = note;
    m_host.SetStatusNote(QStringLiteral("modem"), note);
}

bool CLineControl::TakeLostPort(unsigned uiPortNo, const std::string& reason)
{
    SerialPort* port = m_ports.Find(uiPortNo);
    if (port && port->IsOpen() && port->IsRemote() && !port->HasConnected()
        && !m_redialing.count(uiPortNo)) {
        m_ports.ClosePort(uiPortNo);
        AppendNotice(PortName(uiPortNo) + " " + reason);
        m_host.SetStatusNote(QStringLiteral("openError"),
                             tr("%1（%2）：%3")
                                 .arg(QString::fromStdString(PortName(uiPortNo)),
                                      QString::fromStdString(port->DevicePath()),
                                      QString::fromStdString(reason)),
                             true);
        return true;
    }
    if (!m_bReconnect || !port || !port->IsOpen())
        return false;
    if (port->IsRemote()) {
        // The worker has ended; a new one calls the server until it answers.
        if (!port->Redial(m_pReceiver))
            return false;
        m_redialing[uiPortNo] = port->DevicePath();
        AppendNotice(PortName(uiPortNo) + " " + reason);
        UpdateReconnectNote();
        return true;
    }
    // The worker has ended (its notice was its last act), so the close does not wait.
    m_ports.ClosePort(uiPortNo);
    m_reconnect.Lost(uiPortNo, port->DevicePath(), port->DeviceNode());
    AppendNotice(tr("%1 设备已断开").arg(QString::fromStdString(PortName(uiPortNo))).toStdString());
    UpdateReconnectNote();
    return true;
}

void CLineControl::ForgetPort(unsigned uiPortNo)
{
    if (!m_reconnect.IsWaiting(uiPortNo) && !m_redialing.erase(uiPortNo))
        return;
    m_reconnect.Forget(uiPortNo);
    UpdateReconnectNote();
}

void CLineControl::OnPortConnected(unsigned uiPortNo)
{
    QMetaObject::invokeMethod(
        this,
        [this, uiPortNo] {
            if (!m_redialing.erase(uiPortNo))
                return;
            AppendNotice(
                tr("%1 已重新打开").arg(QString::fromStdString(PortName(uiPortNo))).toStdString());
            if (m_reopened)
                m_reopened(uiPortNo);
            UpdateReconnectNote();
        },
        Qt::QueuedConnection);
}

void CLineControl::OnPortNotice(unsigned uiPortNo, const std::string& text)
{
    QMetaObject::invokeMethod(
        this, [this, line = PortName(uiPortNo) + " " + text] { AppendNotice(line); },
        Qt::QueuedConnection);
}

void CLineControl::CheckReconnect()
{
    bool reopened = false;
    for (unsigned port : m_reconnect.Check()) {
        if (!m_ports.ReopenPort(port, m_pReceiver))
            continue; // tried again at the next look
        m_reconnect.Forget(port);
        AppendNotice(tr("%1 已重新打开").arg(QString::fromStdString(PortName(port))).toStdString());
        if (m_reopened)
            m_reopened(port);
        reopened = true;
    }
    if (reopened)
        UpdateReconnectNote();
}

// Stamped as the monitor stamps its lines, so that a night's log says when a link dropped.
void CLineControl::AppendNotice(const std::string& text)
{
    m_host.AppendNoticeLine(m_host.Pipeline().NoticeStamp() + text);
}

void CLineControl::UpdateReconnectNote()
{
    QStringList parts;
    for (unsigned port : m_reconnect.WaitingPorts()) {
        parts << QCoreApplication::translate("CLineControl", "%1 等待设备重新连接（%2）")
                     .arg(QString::fromStdString(PortName(port)),
                          QString::fromStdString(m_reconnect.PathOf(port)));
    }
    for (const auto& [port, path] : m_redialing) {
        parts << QCoreApplication::translate("CLineControl", "%1 等待设备重新连接（%2）")
                     .arg(QString::fromStdString(PortName(port)), QString::fromStdString(path));
    }
    m_host.SetStatusNote(QStringLiteral("reconnect"), parts.join(QStringLiteral("；")), true);
    if (m_reconnect.IsEmpty()) // remote ports call their server from their own worker
        m_pCheckTimer->stop();
    else if (!m_pCheckTimer->isActive())
        m_pCheckTimer->start();
}

void CLineControl::SaveAtExit()
{
    m_reconnect.Clear();
    m_redialing.clear();
    m_pCheckTimer->stop();
}
