// Whole-window receive figures: the real main window, ports opened with F5's command on
// pseudo-terminals, bytes written to their far ends by feeder threads.
//
//  1. One port in hex mode fed as fast as the pseudo-terminal takes bytes for a while:
//     received bytes per second shown in the monitor, the worst lateness of a 10 ms timer on
//     the window thread, peak memory; next to `cat` reading the same pseudo-terminal.
//     With --filter, run 1 twice on a stream of one repeated byte, without and then with a
//     message filter of 10 used rows of which only the last matches (so every message is
//     shown after all 10 rows were looked at), and the ratio of the two; run 2 is left out.
//  2. 16 ports each receiving a 10-byte message every 25 ms: every message shown, in order
//     per port, and the window thread's CPU share.
//     With --modbus instead: four ports each carrying what a MODBUS RTU line at 115200 baud
//     carries when polled without pause (every 10 ms a request and its 50-register answer,
//     113 bytes), then the same every 25 ms; the window thread's CPU with decoding off and
//     on, twice each, and the ratio.
//
//     With --wrap: run 1 with word wrap on (a long line is as many screen lines as it wraps to).
//
//  3. With --floods N [MB]: N floods of MB megabytes (default 20) in a row into one port with
//     hex shown, while a menu opens and closes four times a second: the time each took to be
//     shown to its last message, floods that never drained, and the turns that only the
//     stall guard ran (wake-ups of the window gone missing).
//
// Run (offscreen, or with a display under xvfb-run):
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_receive [seconds] [--filter | --modbus | --wrap] [--floods N [MB]]
// Not a Google Benchmark: one long run gives the figures.
#include "BenchFrame.h"
#include "BenchPty.h"
#include "app/frame/MainFrm.h"
#include "app/modbus/ModbusDecoding.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/SettingsBar.h"
#include "core/base/CommandIds.h"
#include "core/modbus/ModbusRtu.h"
#include "core/receive/MessageFilter.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QMenuBar>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Writes 4096-byte blocks to fd until stop; the number of bytes written.
// The byte every message of the filter runs is made of.
constexpr std::uint8_t kFilterByte = 0x55;

std::uint64_t Flood(int fd, const std::atomic<bool>& stop, bool oneByte = false)
{
    std::vector<unsigned char> block(4096);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = oneByte ? kFilterByte : static_cast<unsigned char>(i * 7);
    std::uint64_t total = 0;
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    while (!stop.load()) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n > 0) {
            total += static_cast<std::uint64_t>(n);
        } else {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }
    fcntl(fd, F_SETFL, flags);
    return total;
}

double Seconds(const QElapsedTimer& t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double ThreadCpuSeconds()
{
    return vrlbench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// The worst lateness of a 10 ms timer on the window thread. On a loaded machine a late tick
// may only mean that the thread was not scheduled; the window thread's own CPU time between
// two ticks tells how much of the lateness was its own work.
class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 ms = m_clock.restart();
            const double cpu = ThreadCpuSeconds();
            const qint64 busyMs = static_cast<qint64>((cpu - m_lastCpu) * 1000.0);
            m_lastCpu = cpu;
            m_worst = std::max(m_worst, ms - 10);
            m_worstBusy = std::max(m_worstBusy, std::min(ms, busyMs) - 10);
            if (ms - 10 > 100)
                ++m_over100;
        });
        m_lastCpu = ThreadCpuSeconds();
        m_clock.start();
        m_timer.start();
    }
    qint64 WorstMs() const { return m_worst; }
    // The worst lateness that the window thread spent working.
    qint64 WorstBusyMs() const { return std::max<qint64>(0, m_worstBusy); }
    int Over100Ms() const { return m_over100; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_lastCpu = 0;
    qint64 m_worst = 0;
    qint64 m_worstBusy = 0;
    int m_over100 = 0;
};

// Runs the window thread's event loop for the given time.
void Spin(double seconds)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets the feeder write for the given time while the window thread runs, stops it and lets
// what is on its way arrive: the window thread's CPU seconds and the wall seconds it took.
struct FeederRun
{
    double m_cpu;
    double m_seconds;
};
FeederRun RunFeeder(double seconds, std::atomic<bool>& stop, std::thread& feeder)
{
    const double cpu0 = ThreadCpuSeconds();
    QElapsedTimer t;
    t.start();
    Spin(seconds);
    stop = true;
    feeder.join();
    Spin(0.5);
    return {ThreadCpuSeconds() - cpu0, Seconds(t)};
}

void CatBaseline(const std::string& path, int master, double seconds)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("sh", "sh", "-c", ("exec cat " + path + " > /dev/null").c_str(), nullptr);
        _exit(127);
    }
    usleep(200000);
    std::atomic<bool> stop{false};
    std::uint64_t written = 0;
    QElapsedTimer t;
    t.start();
    std::thread feeder([&] { written = Flood(master, stop); });
    usleep(static_cast<useconds_t>(seconds * 1e6));
    stop = true;
    feeder.join();
    const double s = Seconds(t);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    // What cat had not read yet is left in the line: drop it.
    tcflush(master, TCIOFLUSH);
    std::printf("cat of the same pseudo-terminal: %.2f MB/s (%.1f MB in %.1f s)\n",
                static_cast<double>(written) / s / 1e6, static_cast<double>(written) / 1e6, s);
}

// Counts what the pipeline handed on after the display, as a window listener of the traffic.
class ShownCounter : public TrafficListener
{
public:
    using Fn = std::function<void(unsigned, const std::uint8_t*, std::size_t)>;
    explicit ShownCounter(Fn fn) : m_fn(std::move(fn)) {}
    void OnTraffic(const TrafficMessage& m) override
    {
        if (m.m_direction == 1 && !m.m_forwarded)
            m_fn(m.m_port, m.m_bytes, m.m_count);
    }

private:
    Fn m_fn;
};

// Counts what the filter let through, so that the run shows every message passed.
class CountingFilter : public ReceiveFilter
{
public:
    explicit CountingFilter(const ReceiveFilter& inner) : m_inner(inner) {}
    bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const override
    {
        const bool pass = m_inner.PassesFilter(bytes, count);
        (pass ? m_passed : m_rejected) += count;
        return pass;
    }
    mutable std::uint64_t m_passed = 0;
    mutable std::uint64_t m_rejected = 0;

private:
    const ReceiveFilter& m_inner;
};

// Returns the MB/s shown. oneByte: the feeder writes one repeated byte (the filter runs).
double FloodOnePort(CMainFrame& frame, double seconds, bool oneByte = false, int port = 0)
{
    PtyPair pty(PtyPair::Raw);
    if (!oneByte)
        CatBaseline(pty.Path(), pty.Master(), seconds / 2);

    vrlbench::OpenPortOrExit(frame, port, pty.Path());
    std::uint64_t shown = 0;
    ShownCounter tap([&](unsigned, const std::uint8_t*, std::size_t count) { shown += count; });
    frame.Pipeline().Traffic().Add(tap, PortTraffic::Runs::OnWindow);
    const long peakBefore = PeakRssKb();
    StallProbe probe;
    std::atomic<bool> stop{false};
    std::uint64_t written = 0;
    QElapsedTimer t;
    t.start();
    std::thread feeder([&] { written = Flood(pty.Master(), stop, oneByte); });
    Spin(seconds);
    stop = true;
    feeder.join();
    const double s = Seconds(t);
    const std::uint64_t shownInTime = shown;
    const qint64 worstInFlood = probe.WorstMs();
    Spin(1.0); // let the monitor take what is still on its way
    const qint64 worstAfter = probe.WorstMs();
    QElapsedTimer closing;
    closing.start();
    frame.OnCommand(ID_OPEN_PORT);
    std::printf(
        "  (worst lateness during the flood %lld ms, after it %lld ms; closing took %lld ms)\n",
        static_cast<long long>(worstInFlood), static_cast<long long>(worstAfter),
        static_cast<long long>(closing.elapsed()));

    std::printf("monitor, one port in hex: %.2f MB/s shown (%.1f MB in %.1f s; %.1f MB written, "
                "%.1f MB shown in all)\n",
                static_cast<double>(shownInTime) / s / 1e6, static_cast<double>(shownInTime) / 1e6,
                s, static_cast<double>(written) / 1e6, static_cast<double>(shown) / 1e6);
    std::printf("  worst lateness of a 10 ms timer: %lld ms, %d times over 100 ms; of it spent "
                "working on the window thread: %lld ms at worst\n",
                static_cast<long long>(probe.WorstMs()), probe.Over100Ms(),
                static_cast<long long>(probe.WorstBusyMs()));
    std::printf(
        "  peak memory: %ld MB (before the flood %ld MB); monitor text %d characters, limit %d\n",
        PeakRssKb() / 1024, peakBefore / 1024, frame.GetView()->GetTextLength(),
        frame.GetView()->GetTextLimit());
    frame.Pipeline().Traffic().Remove(tap);
    return static_cast<double>(shownInTime) / s / 1e6;
}

// Run 1 without and with a filter of 10 used rows, all at position 1: nine values the stream
// never has, then its own, so that each message is compared ten times and shown.
void FilterCost(CMainFrame& frame, double seconds)
{
    MessageFilter::Conditions rows{};
    for (int i = 0; i < MessageFilter::kRowCount; ++i)
        rows[static_cast<std::size_t>(i)] = {
            1, 1, static_cast<std::uint8_t>(i + 1 < MessageFilter::kRowCount ? i : kFilterByte)};
    MessageFilter filter;
    filter.SetConditions(rows);
    filter.SetEnabled(true);
    CountingFilter counting(filter);

    std::printf("without a filter:\n");
    const double without = FloodOnePort(frame, seconds, true);
    frame.GetView()->ClearAll(true);
    frame.Pipeline().SetFilter(&counting);
    std::printf("with a filter of 10 used rows, the last matching:\n");
    const double with = FloodOnePort(frame, seconds, true, 1); // a port object keeps its device
    frame.Pipeline().SetFilter(nullptr);
    std::printf("filter: %.1f MB passed, %.1f MB rejected; with / without = %.3f\n",
                static_cast<double>(counting.m_passed) / 1e6,
                static_cast<double>(counting.m_rejected) / 1e6, with / without);
}

void SixteenPorts(CMainFrame& frame, double seconds)
{
    constexpr int kPorts = 16;
    constexpr int kPeriodMs = 25;
    std::vector<std::unique_ptr<PtyPair>> ptys;
    for (int i = 0; i < kPorts; ++i) {
        ptys.push_back(std::make_unique<PtyPair>(PtyPair::Raw));
        vrlbench::OpenPortOrExit(frame, 20 + i, ptys.back()->Path());
    }
    frame.GetView()->ClearAll(true);

    // Each message: port index, a 16-bit sequence number, and 7 bytes of its own.
    std::vector<std::vector<std::uint8_t>> received(kPorts);
    ShownCounter tap([&](unsigned port, const std::uint8_t* bytes, std::size_t count) {
        const int i = static_cast<int>(port) - 20;
        if (i >= 0 && i < kPorts)
            received[static_cast<std::size_t>(i)].insert(
                received[static_cast<std::size_t>(i)].end(), bytes, bytes + count);
    });
    frame.Pipeline().Traffic().Add(tap, PortTraffic::Runs::OnWindow);

    std::atomic<bool> stop{false};
    int sent = 0;
    std::thread feeder([&] {
        auto next = std::chrono::steady_clock::now();
        while (!stop.load()) {
            for (int i = 0; i < kPorts; ++i) {
                unsigned char msg[10] = {static_cast<unsigned char>(i),
                                         static_cast<unsigned char>(sent >> 8),
                                         static_cast<unsigned char>(sent),
                                         1,
                                         2,
                                         3,
                                         4,
                                         5,
                                         6,
                                         7};
                if (::write(ptys[static_cast<std::size_t>(i)]->Master(), msg, sizeof msg)
                    != sizeof msg)
                    std::fprintf(stderr, "short write\n");
            }
            ++sent;
            next += std::chrono::milliseconds(kPeriodMs);
            std::this_thread::sleep_until(next);
        }
    });
    StallProbe probe;
    const auto [cpu, s] = RunFeeder(seconds, stop, feeder);

    int complete = 0;
    int inOrder = 0;
    for (int i = 0; i < kPorts; ++i) {
        const auto& bytes = received[static_cast<std::size_t>(i)];
        bool ordered = bytes.size() == static_cast<std::size_t>(sent) * 10;
        for (std::size_t m = 0; ordered && m < static_cast<std::size_t>(sent); ++m) {
            const std::uint8_t* p = &bytes[m * 10];
            ordered =
                p[0] == i && ((p[1] << 8) | p[2]) == static_cast<int>(m & 0xFFFF) && p[9] == 7;
        }
        complete += bytes.size() == static_cast<std::size_t>(sent) * 10;
        inOrder += ordered;
    }
    const int lines = frame.GetView()->document()->blockCount() - 1;
    std::printf("16 ports, 10 bytes every %d ms each: %d messages per port sent; %d of 16 ports "
                "complete, %d in order; %d monitor lines (%d messages)\n",
                kPeriodMs, sent, complete, inOrder, lines, sent * kPorts);
    std::printf(
        "  window thread CPU: %.1f %% of one core over %.1f s; worst timer lateness %lld ms "
        "(working: %lld ms)\n",
        100.0 * cpu / s, s, static_cast<long long>(probe.WorstMs()),
        static_cast<long long>(probe.WorstBusyMs()));
    frame.Pipeline().Traffic().Remove(tap);
}

// Floods in a row: each ends with its own tail (A5 5A and its number), which the monitor's
// last line shows once the flood has drained.
void FloodsInARow(CMainFrame& frame, int floods, int megabytes)
{
    PtyPair pty(PtyPair::Raw);
    vrlbench::OpenPortOrExit(frame, 0, pty.Path());
    QMenu* menu = frame.menuBar()->actions().first()->menu();
    QTimer menuTimer;
    QObject::connect(&menuTimer, &QTimer::timeout, [&] {
        if (menu->isVisible())
            menu->hide();
        else
            menu->popup(frame.mapToGlobal(QPoint(10, 30)));
    });
    menuTimer.start(125);
    std::vector<double> drains;
    int undrained = 0;
    for (int flood = 0; flood < floods; ++flood) {
        std::vector<unsigned char> bytes(static_cast<std::size_t>(megabytes) << 20);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>((i * 7) & 0x7F); // never A5
        bytes.insert(bytes.end(), {0xA5, 0x5A, static_cast<unsigned char>(flood)});
        const QString end =
            QStringLiteral("A5 5A %1").arg(flood & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
        QElapsedTimer t;
        t.start();
        std::thread feeder([&] {
            std::size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::write(pty.Master(), bytes.data() + done, bytes.size() - done);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
        });
        bool drained = false;
        while (t.elapsed() < 120000) {
            Spin(0.01);
            const QTextDocument* d = frame.GetView()->document();
            if (d->lastBlock().previous().text().endsWith(end)) {
                drained = true;
                break;
            }
        }
        const double s = Seconds(t);
        feeder.join();
        if (drained)
            drains.push_back(s);
        else
            ++undrained;
        std::printf("  flood %d: %s in %.2f s\n", flood + 1, drained ? "drained" : "NOT drained",
                    s);
        std::fflush(stdout);
    }
    menuTimer.stop();
    menu->hide();
    frame.OnCommand(ID_OPEN_PORT);
    std::sort(drains.begin(), drains.end());
    const auto at = [&](double q) {
        return drains.empty()
                   ? 0.0
                   : drains[static_cast<std::size_t>(q * static_cast<double>(drains.size() - 1))];
    };
    std::printf(
        "%d floods of %d MB: %zu drained, %d not; drain time min %.2f s, median %.2f s, max "
        "%.2f s; turns run by the stall guard: %llu\n",
        floods, megabytes, drains.size(), undrained, at(0), at(0.5), at(1.0),
        static_cast<unsigned long long>(frame.ReceiveTurns().Stalls()));
}

std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> frame)
{
    const std::uint16_t crc = ModbusCrc(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
    return frame;
}

// The window thread's CPU share while four ports carry polled MODBUS traffic; decoding on
// or off for them. Returns the share.
double ModbusLoad(CMainFrame& frame, double seconds, bool decode, int periodMs)
{
    constexpr int kPorts = 4;
    CModbusDecoding* decoding = frame.findChild<CModbusDecoding*>();
    std::vector<std::unique_ptr<PtyPair>> ptys;
    for (int i = 0; i < kPorts; ++i) {
        ptys.push_back(std::make_unique<PtyPair>(PtyPair::Raw));
        vrlbench::OpenPortOrExit(frame, 40 + i, ptys.back()->Path());
        decoding->SetDecoding(static_cast<unsigned>(40 + i), decode);
    }
    frame.GetView()->ClearAll(true);
    const std::size_t framesBefore = decoding->Log().Added();

    std::vector<std::uint8_t> transaction = WithCrc({1, 3, 0, 0, 0, 50});
    std::vector<std::uint8_t> answer = {1, 3, 100};
    for (int r = 0; r < 100; ++r)
        answer.push_back(static_cast<std::uint8_t>(r * 7));
    answer = WithCrc(answer);
    transaction.insert(transaction.end(), answer.begin(), answer.end());

    std::atomic<bool> stop{false};
    int sent = 0;
    std::thread feeder([&] {
        auto next = std::chrono::steady_clock::now();
        while (!stop.load()) {
            for (int i = 0; i < kPorts; ++i) {
                if (::write(ptys[static_cast<std::size_t>(i)]->Master(), transaction.data(),
                            transaction.size())
                    != static_cast<ssize_t>(transaction.size()))
                    std::fprintf(stderr, "short write\n");
            }
            ++sent;
            next += std::chrono::milliseconds(periodMs);
            std::this_thread::sleep_until(next);
        }
    });
    const auto [cpu, s] = RunFeeder(seconds, stop, feeder);
    const QString text = frame.GetView()->toPlainText();
    std::printf(
        "decoding %s: %d transactions per port (%.1f KB/s per port); window thread CPU %.2f %% of one "
        "core over %.1f s; %lld decoded lines shown, %zu frames in the table, %lld paired\n",
        decode ? "on " : "off", sent, sent * transaction.size() / s / 1000.0, 100.0 * cpu / s, s,
        static_cast<long long>(text.count(QStringLiteral("⤷"))),
        decoding->Log().Added() - framesBefore,
        static_cast<long long>(text.count(QStringLiteral("应答"))));
    for (int i = 0; i < kPorts; ++i)
        decoding->SetDecoding(static_cast<unsigned>(40 + i), false);
    for (int i = 0; i < kPorts; ++i) {
        frame.OnPortSelected(40 + i);
        frame.OnCommand(ID_OPEN_PORT); // closes it
    }
    return cpu / s;
}

// Off, on, off, on: the first run also warms the window up, so each order is measured. A
// transaction every 10 ms fills the line (messages cut at 4096 bytes); one every 25 ms
// leaves the packing interval between them (one message per transaction, many more lines).
void ModbusCost(CMainFrame& frame, double seconds)
{
    for (int periodMs : {10, 25}) {
        std::printf("a transaction every %d ms on each port:\n", periodMs);
        double off = 0;
        double on = 0;
        for (int round = 0; round < 2; ++round) {
            off += ModbusLoad(frame, seconds, false, periodMs);
            on += ModbusLoad(frame, seconds, true, periodMs);
        }
        std::printf("MODBUS decoding: with / without = %.3f (%+.2f %% of one core)\n", on / off,
                    50.0 * (on - off));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    double seconds = 20.0;
    bool filterRuns = false;
    bool modbusRuns = false;
    bool wrap = false;
    int floods = 0;
    int floodMb = 20;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--filter") == 0) {
            filterRuns = true;
        } else if (std::strcmp(argv[i], "--modbus") == 0) {
            modbusRuns = true;
        } else if (std::strcmp(argv[i], "--wrap") == 0) {
            wrap = true;
        } else if (std::strcmp(argv[i], "--floods") == 0 && i + 1 < argc) {
            floods = std::atoi(argv[++i]);
            if (i + 1 < argc && std::isdigit(static_cast<unsigned char>(argv[i + 1][0])))
                floodMb = std::atoi(argv[++i]);
        } else {
            seconds = std::atof(argv[i]);
        }
    }
    const PrivateXdgFolders home;
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CMainFrame frame(store);
    frame.resize(1200, 800);
    frame.show();
    Spin(0.5);
    std::printf("platform %s, %.0f s per run\n", qPrintable(QGuiApplication::platformName()),
                seconds);
    if (floods > 0) {
        FloodsInARow(frame, floods, floodMb);
        return 0;
    }
    if (filterRuns) {
        FilterCost(frame, seconds);
        return 0;
    }
    if (modbusRuns) {
        ModbusCost(frame, seconds);
        return 0;
    }
    if (wrap) {
        frame.GetView()->SetWordWrap(1);
        FloodOnePort(frame, seconds);
        return 0;
    }
    FloodOnePort(frame, seconds);
    SixteenPorts(frame, seconds);
    return 0;
}
