#include "app/modbus/ModbusDecoding.h"

#include "app/host/FrameHost.h"
#include "app/modbus/ModbusFrameTable.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/forward/ForwardTap.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/protocols/ProgramDecoders.h"
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
    // Frames are cut by the settings the port runs with; a port not open goes by its stored ones.
    m_listener = WireDecoding(
        m_decoders, m_host.Pipeline(), m_host.Store(),
        [this](unsigned port, PortSettings& settings) {
            if (const SerialPort* record = m_host.GetPortRecord(static_cast<int>(port))) {
                settings = *record;
                return true;
            }
            return LoadPortSettings(m_host.Store(), port, settings);
        },
        [&host](unsigned port) { return host.Tap().PartnerOf(port); });
    // The table shows local time: a frame's steady-clock time is taken back from now.
    m_decoders.AddListener([this](const DecodedRecord& decoded) {
        const auto* record = dynamic_cast<const ModbusRecord*>(&decoded);
        if (!record)
            return;
        const std::int64_t ago = SteadyMilliseconds() - record->m_frame.m_endMs;
        m_log.Add(*record, QDateTime::currentMSecsSinceEpoch() - std::max<std::int64_t>(0, ago));
    });
    connect(m_pTable, &CModbusFrameTable::clearRequested, this, [this] { m_log.Clear(); });
    m_pPollTimer->setInterval(kPollMs);
    connect(m_pPollTimer, &QTimer::timeout, this, [this] { m_host.Pipeline().PollDecoding(); });
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
    else if (id == ID_MODBUS_TABLE && m_pTable->isVisibleTo(m_host.Window()))
        m_pTable->hide();
    else if (id == ID_MODBUS_TABLE)
        m_pTable->ShowReadable();
}

void CModbusDecoding::OnUpdateCommand(int id, CommandState& state)
{
    const int port = m_host.CurrentPort();
    if (id == ID_MODBUS_DECODE) {
        UpdateNote(); // ports open and close without telling this unit
        state.m_enabled = port >= 0;
        state.m_checked = port >= 0 && IsDecoding(static_cast<unsigned>(port));
    } else if (id == ID_MODBUS_TABLE) {
        state.m_checked = m_pTable->isVisibleTo(m_host.Window());
    }
}

bool CModbusDecoding::IsDecoding(unsigned port) const
{
    return m_decoders.IsEnabled(ModbusDecoder::kName, port);
}

void CModbusDecoding::SetDecoding(unsigned port, bool on)
{
    if (port >= kPorts)
        return;
    m_decoders.SetEnabled(ModbusDecoder::kName, port, on);
    SaveDecoderSwitch(m_host.Store(), port, ModbusDecoder::kName, on);
    UpdateNote();
}

void CModbusDecoding::UpdateNote()
{
    QStringList ports;
    bool decoding = false; // by any decoder
    for (unsigned port = 0; port < kPorts; ++port) {
        // A closed port decodes nothing: naming it would promise lines that never come.
        if (IsDecoding(port) && m_host.IsPortOpen(static_cast<int>(port)))
            ports << QString::fromStdString(PortName(port));
        decoding = decoding || m_decoders.IsDecoding(port);
    }
    if (!decoding)
        m_pPollTimer->stop();
    else if (!m_pPollTimer->isActive())
        m_pPollTimer->start();
    const QString note =
        ports.isEmpty() ? QString() : tr("MODBUS 解析: %1").arg(ports.join(QStringLiteral(", ")));
    if (note != m_note) {
        m_note = note;
        m_host.SetStatusNote(QStringLiteral("modbus"), note);
    }
}
