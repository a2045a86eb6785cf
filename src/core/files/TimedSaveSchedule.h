#pragma once

#include <cstdint>

// When the timed save and clear of the monitor is due, against a steady millisecond clock.
// A period runs up to 60000 minutes (3.6e9 ms), more than a signed 32-bit timer interval
// holds; the window's timer therefore waits at most kMaxWaitMs at a time and asks here
// whether the deadline has come, so the period is kept exactly however it is waited out.
class TimedSaveSchedule
{
public:
    static constexpr int kMinMinutes = 1;
    static constexpr int kMaxMinutes = 60000;
    // Longest single wait of the window's timer.
    static constexpr std::int64_t kMaxWaitMs = 60LL * 60 * 1000;

    // The first deadline is one period after nowMs. minutes is clamped to 1 to 60000.
    void Start(std::int64_t nowMs, int minutes);
    void Stop() { m_bRunning = false; }
    bool IsRunning() const { return m_bRunning; }
    std::int64_t PeriodMs() const { return m_nPeriodMs; }
    std::int64_t DeadlineMs() const { return m_nDeadlineMs; }

    // True when the deadline has come; the next one is then one period later, or, when
    // whole periods were missed (the machine slept), the first one after nowMs: a missed
    // period gives one save, not a burst.
    bool TakeDue(std::int64_t nowMs);
    // How long the timer waits before asking again: until the deadline, at most kMaxWaitMs.
    std::int64_t WaitMs(std::int64_t nowMs) const;

private:
    bool m_bRunning = false;
    std::int64_t m_nPeriodMs = 60000;
    std::int64_t m_nDeadlineMs = 0;
};
