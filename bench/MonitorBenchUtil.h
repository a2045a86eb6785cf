#pragma once
// Helpers shared by the monitor benchmarks: a stall probe for the window thread and the
// process's memory figures.

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace vrlbench {

// Resident and peak resident memory of this process in kB (from /proc/self/status).
struct MemoryUse
{
    long m_rssKb = 0;
    long m_peakKb = 0;

    static MemoryUse Now()
    {
        MemoryUse use;
        if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
            char line[256];
            while (std::fgets(line, sizeof line, f)) {
                if (std::strncmp(line, "VmRSS:", 6) == 0)
                    use.m_rssKb = std::atol(line + 6);
                else if (std::strncmp(line, "VmHWM:", 6) == 0)
                    use.m_peakKb = std::atol(line + 6);
            }
            std::fclose(f);
        }
        return use;
    }
};

// CPU seconds this process has used (all threads): figures per CPU second hold when other
// programs share the machine.
inline double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Counts the paint events of a widget (the view's viewport).
class PaintCounter : public QObject
{
public:
    long m_paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }
};

// A 10 ms timer on the window thread; its worst lateness is the longest time the thread
// was kept from its event loop.
class StallProbe : public QObject
{
public:
    explicit StallProbe(int periodMs = 10) : m_periodMs(periodMs)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(periodMs);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    }
    void Start()
    {
        m_worstMs = 0;
        m_ticks = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    double WorstLatenessMs() const { return m_worstMs; }
    long Ticks() const { return m_ticks; }

private:
    void Tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (m_ticks > 0)
            m_worstMs = std::max(m_worstMs, (now - m_last) / 1e6 - m_periodMs);
        m_last = now;
        ++m_ticks;
    }

    int m_periodMs;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    long m_ticks = 0;
    double m_worstMs = 0;
};

} // namespace vrlbench
