#include "core/files/TimedSaveSchedule.h"

#include <algorithm>

void TimedSaveSchedule::Start(std::int64_t nowMs, int minutes)
{
    m_nPeriodMs =
        static_cast<std::int64_t>(std::clamp(minutes, kMinMinutes, kMaxMinutes)) * 60 * 1000;
    m_nDeadlineMs = nowMs + m_nPeriodMs;
    m_bRunning = true;
}

bool TimedSaveSchedule::TakeDue(std::int64_t nowMs)
{
    if (!m_bRunning || nowMs < m_nDeadlineMs)
        return false;
    m_nDeadlineMs += m_nPeriodMs;
    if (m_nDeadlineMs <= nowMs)
        m_nDeadlineMs += (nowMs - m_nDeadlineMs) / m_nPeriodMs * m_nPeriodMs + m_nPeriodMs;
    return true;
}

std::int64_t TimedSaveSchedule::WaitMs(std::int64_t nowMs) const
{
    return std::clamp<std::int64_t>(m_nDeadlineMs - nowMs, 0, kMaxWaitMs);
}
