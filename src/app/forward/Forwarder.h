#pragma once

#include "app/commands/CommandTable.h"
#include "core/forward/ForwardQueue.h"
#include "core/receive/ReceivePipeline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <span>

class CFrameHost;
class ForwardTap;
class QTimer;

// Transparent forwarding, and the queues of bytes the program writes to its ports. The
// bytes of the pair cross in the ports' workers through the tap (ForwardTap): this class
// only switches it on and off and shows each message received on one port of the pair as a
// sent line of the other, whatever the display, filter and ASC mode do with it. The pair is
// chosen in CForwardDialog (command 32826); forwarding is off at every start.
//
// The window thread never waits for a port: what the program sends to a port outside the
// pair waits in that port's ForwardQueue and goes out from a short timer; what it sends to a
// port of the pair joins the tap's queue for it. A target that takes nothing for half a
// second is named in the status bar in red; sends dropped at a full queue are counted there.
class CForwarder : public QObject, public CCommandTarget, public ForwardStep
{
    Q_OBJECT
public:
    // How long a target may take nothing while bytes wait before the user is told.
    static constexpr int kBehindMs = 500;

    // Plugs itself into the host's receive pipeline; tap: the ports' tap, which outlives the
    // ports and this.
    CForwarder(CFrameHost& host, ForwardTap& tap,
               std::size_t queueLimit = ForwardQueue::kDefaultLimit);
    ~CForwarder() override;

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    void ForwardReceived(unsigned port, const std::uint8_t* bytes, std::size_t count) override;

    // What the program sends to a port (a sent line, a cycle, an answer) goes through the same
    // queue as forwarded bytes, behind what waits there: the port takes what it can now, the
    // rest goes out later, and the window never waits for a line held back by flow control
    // or a far end that stopped reading. False when the port is closed or refused the bytes,
    // or its queue is full (they are dropped, and the status bar says so).
    bool WriteToPort(unsigned port, const std::uint8_t* bytes, std::size_t count);
    int PartnerOf(unsigned port) const override { return SourceOf(port); }

    // What the dialog's end sets: enable, the 1-based pair, and whether the control lines
    // and BREAK cross too.
    void SetForwarding(bool enable, int portA, int portB, bool lines = false);
    bool IsEnabled() const { return m_bEnabled; }
    bool LinesForwarded() const { return m_bLines; }
    int PortA() const { return m_portA; }
    int PortB() const { return m_portB; }
    // Bytes waiting for a 0-based target port.
    std::size_t Waiting(unsigned port) const;

private:
    struct Target
    {
        explicit Target(std::size_t limit) : m_queue(limit) {}
        ForwardQueue m_queue;
        QElapsedTimer m_sinceProgress; // since the target last took a byte while bytes waited
    };

    void RunDialog();
    Target& TargetOf(unsigned port);
    // Bytes behind what waits for port; null when its queue is full (dropped).
    Target* Enqueue(unsigned port, const std::uint8_t* bytes, std::size_t count);
    ForwardQueue::Writer WriterOf(unsigned port) const;
    void FlushWaiting();
    void ScheduleFlush(bool progress);
    void UpdateNote();
    int SourceOf(unsigned target) const;
    bool InPair(unsigned port) const { return SourceOf(port) >= 0; }

    CFrameHost& m_host;
    ForwardTap& m_tap;
    std::size_t m_queueLimit;
    bool m_bEnabled = false;
    bool m_bLines = false;
    int m_portA = 0; // 1-based
    int m_portB = 0;
    std::map<unsigned, Target> m_targets;
    QTimer* m_pFlushTimer;
    QTimer* m_pNoteTimer; // while forwarding: is a target of the pair behind?
    int m_flushDelayMs = 1;
    QString m_note; // what the status bar shows now
    bool m_bNoteWarning = false;
};
