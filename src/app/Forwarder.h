#pragma once

#include "CommandTable.h"
#include "ForwardQueue.h"
#include "ReceivePipeline.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdint>
#include <map>
#include <set>
#include <span>

class CFrameHost;
class QTimer;

// Transparent forwarding, and the queues of bytes the program writes to its ports: every
// message received on one port of the pair is written unchanged to the other and shown there as a sent line, whatever the display, filter and
// ASC mode do with it. The pair is chosen in CTransmitDlg (command 32826); forwarding is off
// at every start.
//
// The window thread never waits for a target port: forwarded bytes wait in the target's
// ForwardQueue, in order, and go out in one write once the current turn of received messages
// is over; what the port does not take then is retried from a short timer. A target that
// takes nothing for half a second is named in the status bar in red. While 256 KB wait for a
// target, its source port is not read, so that the sender is held back rather than bytes
// lost; should the queue still reach its limit, whole messages are dropped, counted and named
// in the status bar until the pair is set again.
class CForwarder : public QObject, public CCommandTarget, public ForwardStep
{
    Q_OBJECT
public:
    // How long a target may take nothing while bytes wait before the user is told.
    static constexpr int kBehindMs = 500;
    // While this much waits for a target, its source port is not read (the sender is held
    // back where the line allows it), until no more than kResumeBytes wait.
    static constexpr std::size_t kHoldBytes = 256 * 1024;
    static constexpr std::size_t kResumeBytes = 64 * 1024;

    // Plugs itself into the host's receive pipeline.
    explicit CForwarder(CFrameHost& host, std::size_t queueLimit = ForwardQueue::kDefaultLimit);
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

    // What the dialog's end sets: enable and the 1-based pair.
    void SetForwarding(bool enable, int portA, int portB);
    bool IsEnabled() const { return m_bEnabled; }
    int PortA() const { return m_portA; }
    int PortB() const { return m_portB; }
    // Bytes waiting for a 0-based target port.
    std::size_t Waiting(unsigned port) const;
    // Ports whose reading is held because their target is behind.
    const std::set<unsigned>& HeldSources() const { return m_heldSources; }

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
    void UpdateHolds();

    CFrameHost& m_host;
    std::size_t m_queueLimit;
    bool m_bEnabled = false;
    int m_portA = 0; // 1-based
    int m_portB = 0;
    std::map<unsigned, Target> m_targets;
    std::set<unsigned> m_heldSources;
    QTimer* m_pFlushTimer;
    int m_flushDelayMs = 1;
    QString m_note; // what the status bar shows now
    bool m_bNoteWarning = false;
};
