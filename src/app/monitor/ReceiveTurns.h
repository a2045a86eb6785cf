#pragma once

#include "core/receive/ReceiveInbox.h"
#include "core/receive/ReceiveStallGuard.h"

#include <QObject>
#include <QTimer>

#include <cstdint>

class ReceivePipeline;

// Runs the receive pipeline's turns on the window thread. The inbox wakes it once per batch
// (from a worker, delivered queued); a turn runs from a zero timer, so that at most one waits
// at a time and a flood takes its turns between the window's other timers and repaints
// instead of piling up queued calls that run back to back. A turn that leaves messages, in
// the pipeline or in the inbox, schedules the next one; while a stream runs, the inbox wakes
// nobody and a turn looks again after a few milliseconds. The stall guard looks every half
// second for messages that wait with nothing scheduled (a wake-up gone missing) and runs a
// turn itself.
class CReceiveTurns : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTurnMs = 15;
    static constexpr int kGuardLookMs = 500;

    explicit CReceiveTurns(ReceivePipeline& pipeline, QObject* parent = nullptr);

    ReceiveInbox& Inbox() { return m_inbox; }
    // Shows waiting messages for at most one turn (the timer runs it; tests may too).
    void RunTurn();
    // No turn runs any more: the window is closing.
    void Stop();
    bool IsTurnScheduled() const { return m_turnTimer.isActive(); }
    // Turns the guard had to run; a benchmark reports them.
    std::uint64_t Stalls() const { return m_guard.Stalls(); }

Q_SIGNALS:
    // Messages arrived in the inbox (emitted on a worker thread, delivered queued).
    void waiting();

private:
    void LookForStall();

    ReceivePipeline& m_pipeline;
    ReceiveInbox m_inbox;
    QTimer m_turnTimer;
    QTimer m_guardTimer;
    ReceiveStallGuard m_guard;
    bool m_stopped = false;
};
