// Cyclic and triggered send, timed at the far end of a pseudo-terminal: the real main window,
// the port opened with F5's command, the settings applied through the send dialog.
//
//  1. Cyclic send of one 8-byte line every 20 ms, 1,000 ticks, with sent lines and time
//     stamps shown in the monitor: the intervals between arrivals at the far end (mean,
//     median, 99th percentile, worst). Optionally the same while a second port receives a
//     10-byte message every 5 ms (the monitor busy with received lines too).
//  2. Trigger with delay 0: the far end writes a query, the answer comes back. Time from the
//     message's delivery to the window (the inbox's signal, on the port's worker) to the
//     answer's arrival at the far end; and from the query's write, packing interval included.
//
// Run (offscreen, or with a display under xvfb-run):
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_AutoSend [ticks] [queries]
#include "BenchFrame.h"
#include "BenchPty.h"
#include "app/frame/MainFrm.h"
#include "app/send/AutoSend.h"
#include "app/send/AutoSendDialog.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFrameWnd.h"
#include "app/widgets/ListCtrlEx.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <numeric>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the window's event loop until done() or timeoutMs. The thread sleeps between events
// (a loop of processEvents would spin and lose the CPU to the scheduler's fairness, which
// then delays the very timers measured here); done() is asked every 10 ms.
void RunUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QElapsedTimer t;
    t.start();
    QTimer check;
    check.setInterval(10);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || t.elapsed() >= timeoutMs)
            loop.quit();
    });
    check.start();
    if (!done())
        loop.exec();
}

void Spin(double seconds)
{
    RunUntil([] { return false; }, static_cast<int>(seconds * 1000));
}

// Reads the far end on its own thread and notes when each run of bytes arrived.
class Arrivals
{
public:
    explicit Arrivals(int fd) : m_fd(fd), m_thread([this] { Run(); }) {}
    ~Arrivals()
    {
        m_stop = true;
        m_thread.join();
    }
    std::size_t Count() const { return m_count.load(); }
    // Valid once Count() has been read.
    const std::vector<Clock::time_point>& Times() const { return m_times; }

private:
    void Run()
    {
        m_times.reserve(100000);
        char buffer[4096];
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const auto now = Clock::now();
            if (::read(m_fd, buffer, sizeof buffer) > 0) {
                m_times.push_back(now);
                m_count.store(m_times.size());
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::atomic<std::size_t> m_count{0};
    std::vector<Clock::time_point> m_times;
    std::thread m_thread;
};

struct Stats
{
    double mean, median, p99, worst;
};

Stats Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const double mean = std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    auto at = [&v](double q) {
        return v[std::min(v.size() - 1,
                          static_cast<std::size_t>(q * static_cast<double>(v.size())))];
    };
    return {mean, at(0.5), at(0.99), v.back()};
}

void Cycle(CMainFrame& frame, int ticks, bool withReceiveLoad)
{
    PtyPair line(PtyPair::Raw);
    PtyPair busy(PtyPair::Raw);
    CAutoSend& automation = *frame.AutoSend();
    CAutoSendDialog& dlg = *automation.Dialog();
    frame.SendBar()->SendEdit()->setPlainText(QStringLiteral("01 02 03 04 05 06 07 08"));
    dlg.Radio(1004)->click();
    dlg.Radio(1006)->click();
    dlg.Edit(1010)->setText(QStringLiteral("20"));
    dlg.Apply();

    std::atomic<bool> stop{false};
    std::thread feeder;
    if (withReceiveLoad) {
        vrlbench::OpenPortOrExit(frame, 1, busy.Path());
        feeder = std::thread([&] {
            const unsigned char msg[10] = {0xAA, 1, 2, 3, 4, 5, 6, 7, 8, 9};
            while (!stop) {
                if (::write(busy.Master(), msg, sizeof msg) < 0)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    vrlbench::OpenPortOrExit(frame, 0, line.Path());
    Spin(0.2);

    // The ticks as the window thread sees them: what the far end's figures owe to the timer.
    std::vector<Clock::time_point> ticksSeen;
    ticksSeen.reserve(static_cast<std::size_t>(ticks) + 10);
    auto tickConn = QObject::connect(automation.CycleTimer(), &QTimer::timeout, &frame,
                                     [&ticksSeen] { ticksSeen.push_back(Clock::now()); });
    Arrivals arrivals(line.Master());
    frame.OnCommand(ID_CYCLIC_SEND);
    RunUntil([&] { return arrivals.Count() > static_cast<std::size_t>(ticks); }, ticks * 40 + 5000);
    frame.OnCommand(ID_CYCLIC_SEND);
    QObject::disconnect(tickConn);
    stop = true;
    if (feeder.joinable())
        feeder.join();
    const std::size_t n = arrivals.Count();
    const auto& times = arrivals.Times();
    std::vector<double> gaps;
    for (std::size_t i = 1; i < n; ++i)
        gaps.push_back(Ms(times[i] - times[i - 1]));
    frame.OnCommand(ID_OPEN_PORT); // COM1 closes
    if (withReceiveLoad) {
        frame.OnPortSelected(1);
        frame.OnCommand(ID_OPEN_PORT);
        frame.OnPortSelected(0);
    }
    if (gaps.empty()) {
        std::printf("cycle: nothing arrived\n");
        return;
    }
    const Stats s = Summarise(gaps);
    std::printf(
        "cycle 20 ms%s: %zu intervals, mean %.3f ms, median %.3f ms, p99 %.3f ms, worst %.3f ms\n",
        withReceiveLoad ? ", COM2 receiving every 5 ms" : "", gaps.size(), s.mean, s.median, s.p99,
        s.worst);
    std::vector<double> tickGaps;
    for (std::size_t i = 1; i < ticksSeen.size(); ++i)
        tickGaps.push_back(Ms(ticksSeen[i] - ticksSeen[i - 1]));
    if (!tickGaps.empty()) {
        const Stats k = Summarise(tickGaps);
        std::printf(
            "  timer 101 on the window thread: mean %.3f ms, median %.3f ms, p99 %.3f ms, worst %.3f ms\n",
            k.mean, k.median, k.p99, k.worst);
    }
}

void Trigger(CMainFrame& frame, int queries)
{
    PtyPair line(PtyPair::Raw);
    CAutoSend& automation = *frame.AutoSend();
    CAutoSendDialog& dlg = *automation.Dialog();
    frame.SendBar()->SendEdit()->setPlainText(
        QStringLiteral("01 03 00 00 00 01 84 0A\n01 03 02 00 2A 38 5B"));
    dlg.TriggerList()->SetItemText(0, 1, QStringLiteral("1"));
    dlg.TriggerList()->SetItemText(0, 2, QStringLiteral("2"));
    dlg.Edit(1014)->setText(QStringLiteral("0"));
    dlg.Apply();
    vrlbench::OpenPortOrExit(frame, 0, line.Path());
    frame.OnCommand(ID_TRIGGER_SEND);
    Spin(0.2);

    // Delivery: the inbox's signal, emitted on the worker as it hands the message over.
    std::atomic<std::int64_t> delivered{0};
    auto conn = QObject::connect(
        &frame.ReceiveTurns(), &CReceiveTurns::waiting, &frame,
        [&delivered] { delivered.store(Clock::now().time_since_epoch().count()); },
        Qt::DirectConnection);

    Arrivals arrivals(line.Master());
    const unsigned char query[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
    std::vector<double> afterDelivery;
    std::vector<double> afterWrite;
    for (int i = 0; i < queries; ++i) {
        delivered = 0;
        const std::size_t before = arrivals.Count();
        const auto written = Clock::now();
        if (::write(line.Master(), query, sizeof query) != static_cast<ssize_t>(sizeof query))
            break;
        RunUntil([&] { return arrivals.Count() > before; }, 2000);
        if (arrivals.Count() == before || delivered == 0)
            continue;
        const auto answered = arrivals.Times()[before];
        const Clock::time_point at{Clock::duration{delivered.load()}};
        afterDelivery.push_back(Ms(answered - at));
        afterWrite.push_back(Ms(answered - written));
        Spin(0.01);
    }
    QObject::disconnect(conn);
    frame.OnCommand(ID_TRIGGER_SEND);
    frame.OnCommand(ID_OPEN_PORT);
    if (afterDelivery.empty()) {
        std::printf("trigger: no answer\n");
        return;
    }
    const Stats d = Summarise(afterDelivery);
    const Stats w = Summarise(afterWrite);
    std::printf(
        "trigger delay 0: %zu answers; after delivery to the window: median %.3f ms, p99 %.3f ms, worst %.3f ms\n",
        afterDelivery.size(), d.median, d.p99, d.worst);
    std::printf(
        "  after the query's write (20 ms packing interval included): median %.3f ms, p99 %.3f ms\n",
        w.median, w.p99);
}

} // namespace

int main(int argc, char* argv[])
{
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int queries = argc > 2 ? std::atoi(argv[2]) : 500;
    const PrivateXdgFolders home;
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CMainFrame frame(store);
    frame.SetMessageHook(
        [](const QString& text) { std::printf("message: %s\n", qPrintable(text)); });
    frame.Options().m_showSent = 1;
    frame.Options().m_showTime = 1;
    frame.resize(1200, 800);
    if (!qEnvironmentVariableIsSet("VRL_BENCH_HIDDEN"))
        frame.show();
    Spin(0.5);
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    {
        QElapsedTimer u;
        u.start();
        for (int i = 0; i < 100; ++i)
            frame.UpdateAllCommands();
        std::printf("UpdateAllCommands: %.3f ms each\n", u.nsecsElapsed() / 1e8);
    }
    Cycle(frame, ticks, false);
    Cycle(frame, ticks, true);
    Trigger(frame, queries);
    return 0;
}
