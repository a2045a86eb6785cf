#include "app/modbus/ModbusDecoding.h"

#include "app/host/FrameHost.h"
#include "app/modbus/ModbusFrameTable.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/receive/MonitorLine.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <algorithm>

namespace {

const CommandInfo kCommands[] = {
    {ID_MODBUS_DECODE, QT_TRANSLATE_NOOP("Command", "MODBUS 解析(&B)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "把当前串口收发的报文按 MODBUS RTU 解析，在报文下方显示其含义"),
     QT_TRANSLATE_NOOP("Command", "MODBUS 解析"), nullptr, true},
    {ID_MODBUS_TABLE, QT_TRANSLATE_NOOP("Command", "MODBUS 帧表(&M)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "显示或隐藏 MODBUS 帧表（可导出为 CSV）"),
     QT_TRANSLATE_NOOP("Command", "MODBUS 帧表"), nullptr, true},
};

constexpr unsigned kPorts = 256;

} // namespace

CModbusDecoding::CModbusDecoding(CFrameHost& host)
    : QObject(host.Window()), m_host(host), m_pTable(new CModbusFrameTable(host, m_log)),
      m_pPollTimer(new QTimer(this))
{
    // The table shows local time: a frame's steady-clock time is taken back from now.
    m_monitor.SetRecordSink([this](const ModbusRecord& record) {
        const std::int64_t ago =
            record.m_delayMs < 0 ? 0 : SteadyMilliseconds() - record.m_frame.m_endMs;
        const QDateTime at = QDateTime::currentDateTime().addMSecs(-std::max<std::int64_t>(0, ago));
        m_log.Add(record, at.toString(QStringLiteral("HH:mm:ss.zzz")).toStdString());
    });
    connect(m_pTable, &CModbusFrameTable::clearRequested, this, [this] { m_log.Clear(); });
    // Frames are cut by the settings the port runs with; a port not open goes by its stored ones.
    m_monitor.SetLineSource([this](unsigned port, PortSettings& settings) {
        if (const SerialPort* record = m_host.GetPortRecord(static_cast<int>(port))) {
            settings = *record;
            return true;
        }
        return LoadPortSettings(m_host.Store(), port, settings);
    });
    for (unsigned port = 0; port < kPorts; ++port)
        m_monitor.SetEnabled(port, LoadModbusDecoding(m_host.Store(), port));
    m_pPollTimer->setInterval(kPollMs);
    connect(m_pPollTimer, &QTimer::timeout, this, [this] { m_host.Pipeline().PollDecoding(); });
    m_host.Pipeline().SetDecoding(&m_monitor);
    UpdateNote();
}

std::span<const CommandInfo> CModbusDecoding::Commands()
{
    return kCommands;
}

void CModbusDecoding::OnCommand(int id)
{
    const int port = m_host.CurrentPort();
    if (id == ID_MODBUS_DECODE && port >= 0)
        SetDecoding(static_cast<unsigned>(port), !IsDecoding(static_cast<unsigned>(port)));
    else if (id == ID_MODBUS_TABLE)
        m_pTable->setVisible(!m_pTable->isVisibleTo(m_host.Window()));
}

void CModbusDecoding::OnUpdateCommand(int id, CommandState& state)
{
    const int port = m_host.CurrentPort();
    if (id == ID_MODBUS_DECODE) {
        state.m_enabled = port >= 0;
        state.m_checked = port >= 0 && IsDecoding(static_cast<unsigned>(port));
    } else if (id == ID_MODBUS_TABLE) {
        state.m_checked = m_pTable->isVisibleTo(m_host.Window());
    }
}

void CModbusDecoding::SetDecoding(unsigned port, bool on)
{
    if (port >= kPorts)
        return;
    m_monitor.SetEnabled(port, on);
    SaveModbusDecoding(m_host.Store(), port, on);
    UpdateNote();
}

void CModbusDecoding::UpdateNote()
{
    QStringList ports;
    for (unsigned port = 0; port < kPorts; ++port) {
        if (IsDecoding(port))
            ports << QString::fromStdString(PortName(port));
    }
    if (ports.isEmpty()) {
        m_pPollTimer->stop();
        m_host.SetStatusNote(QStringLiteral("modbus"), QString());
        return;
    }
    if (!m_pPollTimer->isActive())
        m_pPollTimer->start();
    m_host.SetStatusNote(QStringLiteral("modbus"),
                         tr("MODBUS 解析: %1").arg(ports.join(QStringLiteral(", "))));
}
