#pragma once

#include "app/commands/CommandTable.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <span>
#include <string>

class CCommandRouter;
class CFrameHost;
class CLineControl;
class CSettingsBar;
class PortList;
class PortMap;
class PortReceiver;
class QLabel;
class ReceiveInbox;
class SerialDeviceMonitor;
class SerialPort;

// The ports as the user handles them: which port is current (picked in the settings bar),
// opening and closing it with the bar's settings, the port map dialog, the watch for
// adapters plugged in or pulled while the program runs, and the note in the status bar of
// ports whose worker stopped by itself. The frame owns the ports and the map; this unit
// decides what is done with them.
class CPortControl : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    // Everything given here lives as long as the frame. receiver: who a port's worker
    // reports to; inbox: released while a port closes, so that its worker can end; ready:
    // the status-bar label the stopped-port note replaces.
    CPortControl(CFrameHost& host, PortList& ports, PortMap& map, PortReceiver* receiver,
                 ReceiveInbox& inbox, CSettingsBar& bar, CLineControl& lineControl,
                 CCommandRouter& router, QLabel& ready);
    ~CPortControl() override;

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // port -1: the current port.
    int CurrentPort() const { return m_currentPort; }
    bool IsPortOpen(int port = -1) const;
    SerialPort* GetPortRecord(int port = -1) const;

    // The port of the last run (stored): selected in the bar with its settings, and the
    // current port.
    void ShowStoredPort(int port);
    // The user picked a port in the selector.
    void OnPortSelected(int port);
    // Opens the port selected in the bar, or closes it when it is open.
    void OnOpenPort();
    // The worker of a port stopped (reason: why; empty: the note of a port closed by the user
    // goes). A lost port that the line control reopens later shows no note.
    void ShowStoppedPort(unsigned port, const std::string& reason);
    // The bar and the open button after a port was lost or reopened without the user.
    void ShowPortStateInBar(unsigned port);

private:
    void WatchDevices();
    void OnDevicesChanged();
    void ShowPortSettings(int port);
    void ShowSelectedDevice();
    void SetOpenPortImage(bool open);

    CFrameHost& m_host;
    PortList& m_ports;
    PortMap& m_map;
    PortReceiver* m_pReceiver;
    ReceiveInbox& m_inbox;
    CSettingsBar& m_bar;
    CLineControl& m_lineControl;
    CCommandRouter& m_router;
    QLabel& m_ready;
    std::unique_ptr<SerialDeviceMonitor> m_pDeviceMonitor;
    int m_currentPort = 0;
    std::map<unsigned, QString> m_stoppedPorts;
};
