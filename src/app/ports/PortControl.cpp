#include "app/ports/PortControl.h"

#include "app/commands/CommandRouter.h"
#include "app/host/FrameHost.h"
#include "app/ports/LineControl.h"
#include "app/ports/PortMapDialog.h"
#include "app/ports/SettingsBar.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/receive/ReceiveInbox.h"
#include "core/serial/PortList.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialDeviceMonitor.h"
#include "core/serial/SerialPort.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QShortcut>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

constexpr int kDeviceRescanMs = 3000;

// The line settings as terminal programs write them: "115200 8N1".
std::string LineSettingsText(const PortSettings& s)
{
    static constexpr char kParity[] = "NOEMS";
    const char parity = s.m_nParity >= 0 && s.m_nParity < 5 ? kParity[s.m_nParity] : '?';
    const char* stop = s.m_nStopBits == 1 ? "1.5" : s.m_nStopBits == 2 ? "2" : "1";
    return std::to_string(s.m_dwBaudRate) + ' ' + std::to_string(s.m_nDataBits) + parity + stop;
}

const CommandInfo kCommands[] = {
    {ID_OPEN_PORT, QT_TRANSLATE_NOOP("Command", "打开串口(&O)"), "F5",
     QT_TRANSLATE_NOOP("Command", "打开COM1"), QT_TRANSLATE_NOOP("Command", "打开COM1"),
     ":/icons/port_closed.png", false},
    {ID_DEFAULT_SETTINGS, QT_TRANSLATE_NOOP("Command", "默认参数(&D)"), nullptr,
     QT_TRANSLATE_NOOP("Command", "当前串口恢复默认参数"), QT_TRANSLATE_NOOP("Command", "默认参数"),
     nullptr, false},
    {ID_PORT_MAP, QT_TRANSLATE_NOOP("Command", "端口映射(&M)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "设置各COM编号对应的串口设备"),
     QT_TRANSLATE_NOOP("Command", "端口映射"), nullptr, false},
};

} // namespace

CPortControl::CPortControl(CFrameHost& host, PortList& ports, PortMap& map, PortReceiver* receiver,
                           ReceiveInbox& inbox, CSettingsBar& bar, CLineControl& lineControl,
                           CCommandRouter& router, QLabel& ready)
    : QObject(host.Window()), m_host(host), m_ports(ports), m_map(map), m_pReceiver(receiver),
      m_inbox(inbox), m_bar(bar), m_lineControl(lineControl), m_router(router), m_ready(ready)
{
    m_ready.setText(tr("就绪"));
    WatchDevices();
    connect(&m_bar, &CSettingsBar::portSelected, this, &CPortControl::OnPortSelected);
    m_lineControl.SetPortReopened([this](unsigned port) { ShowPortStateInBar(port); });

    // Ctrl+Alt+C: into the port selector.
    auto* focusPorts = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+C")), host.Window());
    connect(focusPorts, &QShortcut::activated, this,
            [this] { m_bar.Combo(ID_PORT_SELECT)->setFocus(Qt::ShortcutFocusReason); });
}

CPortControl::~CPortControl() = default;

std::span<const CommandInfo> CPortControl::Commands()
{
    return kCommands;
}

void CPortControl::OnCommand(int id)
{
    switch (id) {
    case ID_DEFAULT_SETTINGS:
        if (!IsPortOpen(-1))
            m_bar.ShowDefaultsInBar();
        return;
    case ID_OPEN_PORT: OnOpenPort(); return;
    case ID_PORT_MAP: {
        CPortMapDialog dlg(m_map, m_host.Window());
        dlg.exec();
        m_bar.SetPortDevice(QString::fromStdString(
            m_map.PathOf(static_cast<unsigned>(std::max(0, m_bar.SelectedPort())))));
        return;
    }
    default: return;
    }
}

void CPortControl::OnUpdateCommand(int id, CommandState& state)
{
    if (id == ID_DEFAULT_SETTINGS) {
        state.m_enabled = !IsPortOpen(-1);
    } else if (id == ID_OPEN_PORT) {
        const bool open = IsPortOpen(-1);
        state.m_prompt = state.m_tip = (open ? tr("关闭%1") : tr("打开%1"))
                                           .arg(QString::fromStdString(PortName(m_currentPort)));
        state.m_text = (open ? tr("关闭%1(&O)") : tr("打开%1(&O)"))
                           .arg(QString::fromStdString(PortName(m_currentPort)));
    }
}

bool CPortControl::IsPortOpen(int port) const
{
    const int p = port < 0 ? m_currentPort : port;
    return p >= 0 && m_ports.IsOpen(static_cast<unsigned>(p));
}

SerialPort* CPortControl::GetPortRecord(int port) const
{
    const int p = port < 0 ? m_currentPort : port;
    return p >= 0 ? m_ports.Find(static_cast<unsigned>(p)) : nullptr;
}

void CPortControl::ShowStoredPort(int port)
{
    m_bar.SelectPort(port);
    m_bar.MarkPortsOf(m_map);
    if (port < 0 || port >= 256)
        return;
    // Every command that names the current port acts on what the bar shows from the start.
    m_currentPort = port;
    PortSettings settings;
    if (LoadPortSettings(m_host.Store(), static_cast<unsigned>(port), settings))
        m_bar.ShowSettingsInBar(settings);
    m_bar.SetPortDevice(QString::fromStdString(m_map.PathOf(static_cast<unsigned>(port))));
}

// Adapters plugged in while the program runs get their COM numbers at once (udev events,
// or a rescan every few seconds where there is no udev).
void CPortControl::WatchDevices()
{
    m_pDeviceMonitor = std::make_unique<SerialDeviceMonitor>();
    if (m_pDeviceMonitor->Fd() >= 0) {
        auto* notifier = new QSocketNotifier(m_pDeviceMonitor->Fd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (m_pDeviceMonitor->Drain())
                OnDevicesChanged();
        });
    } else {
        auto* rescan = new QTimer(this);
        rescan->setInterval(kDeviceRescanMs);
        connect(rescan, &QTimer::timeout, this, [this] {
            if (m_pDeviceMonitor->Rescan())
                OnDevicesChanged();
        });
        rescan->start();
    }
}

void CPortControl::OnDevicesChanged()
{
    const std::vector<unsigned> added = m_map.Discover();
    QStringList names;
    for (unsigned port : added)
        names << tr("%1（%2）")
                     .arg(QString::fromStdString(PortName(port)),
                          QString::fromStdString(m_map.PathOf(port)));
    if (!names.isEmpty())
        m_host.ShowStatusMessage(tr("发现新的串口设备：") + names.join(tr("，")), 10000);
    m_lineControl.CheckReconnect();
    const int selected = m_bar.SelectedPort();
    if (selected >= 0)
        m_bar.SetPortDevice(QString::fromStdString(m_map.PathOf(static_cast<unsigned>(selected))));
}

void CPortControl::OnOpenPort()
{
    const int p = m_bar.SelectedPort();
    if (p < 0)
        return;
    const auto port = static_cast<unsigned>(p);
    m_lineControl.ForgetPort(port); // the user's open or close: no more reopening
    if (!m_ports.IsOpen(port)) {
        // The bar gives five settings; the flow-control code stays the record's (or the
        // stored one for a port not opened in this run).
        PortSettings settings;
        if (SerialPort* record = m_ports.Find(port))
            settings = *record;
        else
            LoadPortSettings(m_host.Store(), port, settings);
        m_bar.ReadSettingsFromBar(settings);
        if (m_ports.OpenPort(port, settings, m_pReceiver)) {
            m_bar.EnableSettingsBar(false);
            m_currentPort = p;
            m_host.ShowStatusMessage(tr("%1 已打开，%2")
                                         .arg(QString::fromStdString(PortName(port)),
                                              QString::fromStdString(LineSettingsText(settings))));
        }
    } else {
        m_inbox.SetReleased(true);
        const bool closed = m_ports.ClosePort(port);
        m_inbox.SetReleased(false);
        if (closed) {
            m_bar.EnableSettingsBar(true);
            m_host.ShowStatusMessage(tr("%1 已关闭").arg(QString::fromStdString(PortName(port))));
        }
    }
    if (!m_ports.IsOpen(port) && m_stoppedPorts.erase(port))
        ShowStoppedPort(port, {});
    SetOpenPortImage(m_ports.IsOpen(port));
}

void CPortControl::ShowPortStateInBar(unsigned port)
{
    if (static_cast<int>(port) != m_bar.SelectedPort())
        return;
    ShowPortSettings(static_cast<int>(port));
    SetOpenPortImage(IsPortOpen(static_cast<int>(port)));
}

void CPortControl::OnPortSelected(int port)
{
    m_bar.SelectPort(port);
    if (port < 0)
        return;
    m_currentPort = port;
    ShowPortSettings(port);
    m_bar.SetPortDevice(QString::fromStdString(m_map.PathOf(static_cast<unsigned>(port))));
    SetOpenPortImage(IsPortOpen(port));
    m_router.UpdateAllCommands();
}

void CPortControl::ShowPortSettings(int port)
{
    if (SerialPort* record = m_ports.Find(static_cast<unsigned>(port))) {
        m_bar.ShowSettingsInBar(*record);
        m_bar.EnableSettingsBar(!record->IsOpen());
        return;
    }
    m_bar.EnableSettingsBar(true);
    PortSettings settings;
    if (LoadPortSettings(m_host.Store(), static_cast<unsigned>(port), settings))
        m_bar.ShowSettingsInBar(settings);
    else
        m_bar.ShowDefaultsInBar();
}

void CPortControl::SetOpenPortImage(bool open)
{
    if (QAction* a = m_router.Action(ID_OPEN_PORT)) {
        a->setIcon(QIcon(open ? QStringLiteral(":/icons/port_open.png")
                              : QStringLiteral(":/icons/port_closed.png")));
    }
}

void CPortControl::ShowStoppedPort(unsigned port, const std::string& reason)
{
    if (!reason.empty() && m_lineControl.TakeLostPort(port, reason)) {
        ShowPortStateInBar(port);
        return;
    }
    // News that arrives after the user closed the port concerns nothing any more: kept, it
    // would ask to close a closed port, and stay through its next open.
    if (m_ports.IsOpen(port))
        m_stoppedPorts[port] = QString::fromStdString(reason);
    if (m_stoppedPorts.empty()) {
        m_ready.setText(tr("就绪"));
        m_ready.setStyleSheet(QString());
        return;
    }
    QStringList parts;
    for (const auto& [p, why] : m_stoppedPorts)
        parts << tr("%1 已停止接收（%2），请关闭后重新打开")
                     .arg(QString::fromStdString(PortName(p)), why);
    m_ready.setText(parts.join(QStringLiteral("；")));
    m_ready.setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
}
