#pragma once

#include "app/commands/CommandTable.h"
#include "core/traffic/TrafficListener.h"

#include <QObject>
#include <QString>

#include <span>

class CFrameHost;
class CPortSender;
class ForwardTap;
class QTimer;

// Transparent forwarding. The bytes of the pair cross in the ports' workers through the tap
// (ForwardTap), which holds the one copy of the pair: this class only switches it on and off
// (CForwardDialog, command 32826; off at every start) and, as a window listener of the
// traffic, shows each message received on one port of the pair as a sent line of the other,
// whatever the display, filter and ASC mode do with it, and hands that copy on to the window
// listeners after it. A port of the pair that takes nothing for half a second is named in
// the status bar in red.
class CForwarder : public QObject, public CCommandTarget, public TrafficListener
{
    Q_OBJECT
public:
    // Listens to the host's traffic; tap: the ports' tap, sender: where the program's own
    // bytes wait (what waits for a port that joins the pair goes to the tap first); both
    // outlive this.
    CForwarder(CFrameHost& host, ForwardTap& tap, CPortSender& sender);
    ~CForwarder() override;

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    void OnTraffic(const TrafficMessage& message) override;

    // What the dialog's end sets: enable, the 1-based pair, and whether the control lines
    // and BREAK cross too.
    void SetForwarding(bool enable, int portA, int portB, bool lines = false);
    bool IsEnabled() const;
    bool LinesForwarded() const;
    // The 1-based pair while forwarding is on, else 0.
    int PortA() const;
    int PortB() const;
    // Bytes waiting for a 0-based port of the pair (the tap's queue), else for any port.
    std::size_t Waiting(unsigned port) const;

private:
    void RunDialog();
    void UpdateNote();

    CFrameHost& m_host;
    ForwardTap& m_tap;
    CPortSender& m_sender;
    QTimer* m_pNoteTimer; // while forwarding: is a port of the pair behind?
    QString m_note;       // what the status bar shows now
    bool m_bNoteWarning = false;
};
