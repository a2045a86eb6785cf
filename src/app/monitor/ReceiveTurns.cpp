#include "app/monitor/ReceiveTurns.h"

#include "core/receive/ReceivePipeline.h"

#include <QElapsedTimer>

CReceiveTurns::CReceiveTurns(ReceivePipeline& pipeline, QObject* parent)
    : QObject(parent), m_pipeline(pipeline), m_inbox([this] { Q_EMIT waiting(); })
{
    m_turnTimer.setSingleShot(true);
    connect(&m_turnTimer, &QTimer::timeout, this, &CReceiveTurns::RunTurn);
    // A wake-up that finds a turn scheduled may go: that turn looks at the inbox before it
    // ends and schedules another while anything waits.
    connect(
        this, &CReceiveTurns::waiting, this,
        [this] {
            if (!m_stopped && !m_turnTimer.isActive())
                m_turnTimer.start(0);
        },
        Qt::QueuedConnection);
    m_guardTimer.setInterval(kGuardLookMs);
    connect(&m_guardTimer, &QTimer::timeout, this, &CReceiveTurns::LookForStall);
    m_guardTimer.start();
}

void CReceiveTurns::RunTurn()
{
    if (m_stopped)
        return;
    m_guard.TurnRan();
    QElapsedTimer turn;
    turn.start();
    if (m_pipeline.ProcessTurn(m_inbox, [&turn] { return turn.elapsed() >= kTurnMs; }))
        m_turnTimer.start(0);
    else if (const int later = m_inbox.LookAgainMs(); later >= 0)
        m_turnTimer.start(later); // a stream runs: no wake-up comes for its messages
}

void CReceiveTurns::Stop()
{
    m_stopped = true;
    m_turnTimer.stop();
    m_guardTimer.stop();
}

void CReceiveTurns::LookForStall()
{
    if (m_guard.Check(m_inbox.HasWaiting(), IsTurnScheduled()))
        RunTurn();
}
