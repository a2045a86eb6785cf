#pragma once

#include "app/commands/CommandTable.h"
#include "core/serial/PortReconnect.h"

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <span>
#include <string>

class CFrameHost;
class PortList;
class PortReceiver;
class QTimer;

// What bench users of a serial line switch besides the port settings: DTR and RTS of the
// current port, with its input lines shown in the status bar; the text encoding of the line
// (GBK or UTF-8; without a stored choice UTF-8 unless the language is Chinese); and reopening a port whose adapter was pulled and plugged back. A lost port is closed (so that the re-plugged adapter
// gets its old node) and waits; every device event, and a look once a second while a port
// waits, checks whether its path leads to a device again, and reopens it with its settings.
// A port the user opens or closes by hand waits no more.
class CLineControl : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kReconnectValue = "AutoReconnect"; // 1 on (default), 0 off
    static constexpr int kCheckIntervalMs = 1000;

    // ports and receiver: what a reopen needs (the frame's). Loads the stored switches.
    CLineControl(CFrameHost& host, PortList& ports, PortReceiver* receiver);

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // The worker of an open port stopped by itself. With reconnect on, the port is closed
    // and waits for its device; true then (the frame shows no stopped-port note for it).
    // A remote port stays open and calls its server again once a second; one that never
    // reached its server is an open that failed: closed, with the reason, whatever the
    // switch says.
    bool TakeLostPort(unsigned uiPortNo, const std::string& reason = {});
    // A remote port's worker reached its server, or has news about it (worker thread).
    void OnPortConnected(unsigned uiPortNo);
    void OnPortNotice(unsigned uiPortNo, const std::string& text);
    // The user opened or closed the port: it waits no more.
    void ForgetPort(unsigned uiPortNo);
    // A device came or went (udev), or the one-second look: reopens the ports that are back.
    void CheckReconnect();
    // Called after a port was reopened, so that the frame shows it open.
    void SetPortReopened(std::function<void(unsigned)> reopened)
    {
        m_reopened = std::move(reopened);
    }

    // A port's worker reports its input lines (worker thread): kept, and shown in the status
    // bar from the window thread when the port is the current one.
    void OnModemLines(unsigned uiPortNo, bool available, unsigned lines);
    // The status-bar text of the input lines of the current port; empty while it is closed.
    QString InputLinesNote() const;

    bool IsReconnectOn() const { return m_bReconnect; }
    const PortReconnect& Reconnect() const { return m_reconnect; }
    QTimer* CheckTimer() const { return m_pCheckTimer; }

    // At exit: nothing waits any more.
    void SaveAtExit();

private:
    void AppendNotice(const std::string& text);
    void UpdateReconnectNote();
    void UpdateInputLinesNote();
    void ToggleOutputLine(unsigned line);

    static constexpr int kLinesUnknown = -1;
    static constexpr int kLinesNone = -2; // the device has no modem lines

    CFrameHost& m_host;
    PortList& m_ports;
    PortReceiver* m_pReceiver;
    PortReconnect m_reconnect;
    QTimer* m_pCheckTimer;
    std::function<void(unsigned)> m_reopened;
    std::map<unsigned, std::string> m_redialing; // remote ports calling their server again
    bool m_bReconnect = true;
    std::array<std::atomic<int>, 256>
        m_inputLines; // per port: kLinesUnknown, kLinesNone or the bits
    QString m_shownLinesNote;
};
