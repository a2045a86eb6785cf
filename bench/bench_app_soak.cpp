// Soak: the real main window receiving on N pseudo-terminal ports for a long time.
//
// Every port gets a 12-byte message every period: the port's index, a 32-bit sequence number
// and seven fixed bytes. Every sample period the run prints the resident memory, open file
// descriptors, threads, and the worst lateness of a 10 ms timer on the window thread since
// the last sample. At the end it checks that every message of every port came out of the
// receive pipeline (after the monitor showed it) whole and in order, and fails otherwise.
//
// Run (offscreen, or with a display under xvfb-run), at low priority on a shared machine:
//   QT_QPA_PLATFORM=offscreen nice -n 19 build/bench/bench_app_soak [--ports 16]
//       [--seconds 3600] [--period-ms 25] [--sample 60]
// Exit status 0 when every message of every port was seen in order, 1 otherwise.
#include "BenchPty.h"
#include "CommandIds.h"
#include "IniSettingsStore.h"
#include "MainFrm.h"
#include "PortMap.h"
#include "ReceivePipeline.h"
#include "SettingsBar.h"
#include "VRLView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kMessageSize = 12;
constexpr int kFirstPort = 10; // COM11 onwards

using vrlbench::Pty;

long RssKb()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

int Threads()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("Threads:", 0) == 0)
            return std::atoi(line.c_str() + 8);
    return -1;
}

int OpenFds()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n - 1; // the directory itself
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Checks each port's stream as it arrives (messages may come split or merged).
class SequenceCheck : public ForwardStep
{
public:
    explicit SequenceCheck(int ports) : m_ports(static_cast<std::size_t>(ports)) {}

    void ForwardReceived(unsigned port, const std::uint8_t* bytes, std::size_t count) override
    {
        const int i = static_cast<int>(port) - kFirstPort;
        if (i < 0 || i >= static_cast<int>(m_ports.size())) {
            ++m_foreign;
            return;
        }
        Port& p = m_ports[static_cast<std::size_t>(i)];
        p.m_pending.insert(p.m_pending.end(), bytes, bytes + count);
        std::size_t used = 0;
        for (; used + kMessageSize <= p.m_pending.size(); used += kMessageSize) {
            const std::uint8_t* m = &p.m_pending[used];
            const std::uint32_t seq = (std::uint32_t{m[1]} << 24) | (std::uint32_t{m[2]} << 16)
                                    | (std::uint32_t{m[3]} << 8) | m[4];
            const bool whole = m[0] == i && m[5] == 1 && m[11] == 7;
            if (!whole || seq != p.m_next) {
                if (p.m_faults++ < 3)
                    std::fprintf(stderr, "COM%d: expected message %u, got %u (%s)\n", port + 1,
                                 p.m_next, seq, whole ? "whole" : "damaged");
                p.m_next = seq;
            }
            ++p.m_next;
        }
        p.m_pending.erase(p.m_pending.begin(), p.m_pending.begin() + static_cast<std::ptrdiff_t>(used));
    }

    struct Port
    {
        std::uint32_t m_next = 0;
        std::uint64_t m_faults = 0;
        std::vector<std::uint8_t> m_pending;
    };
    std::vector<Port> m_ports;
    std::uint64_t m_foreign = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    int ports = 16;
    double seconds = 3600;
    int periodMs = 25;
    int sampleS = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--ports")
            ports = std::atoi(argv[i + 1]);
        else if (name == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (name == "--period-ms")
            periodMs = std::atoi(argv[i + 1]);
        else if (name == "--sample")
            sampleS = std::atoi(argv[i + 1]);
    }
    if (ports < 1 || ports > 200 || periodMs < 1 || sampleS < 1) {
        std::fprintf(stderr, "usage: bench_app_soak [--ports 1..200] [--seconds S] [--period-ms MS] [--sample S]\n");
        return 2;
    }
    const vrlbench::TemporaryXdgHome home;
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CMainFrame frame(store);
    frame.resize(1200, 800);
    frame.show();
    Spin(300);

    std::vector<std::unique_ptr<Pty>> ptys;
    for (int i = 0; i < ports; ++i) {
        ptys.push_back(std::make_unique<Pty>());
        const int port = kFirstPort + i;
        frame.Map().SetPath(static_cast<unsigned>(port), ptys.back()->m_path);
        frame.SettingsBar()->SelectPort(port);
        frame.OnPortSelected(port);
        frame.OnCommand(ID_OPEN_PORT);
        if (!frame.IsPortOpen(port)) {
            std::fprintf(stderr, "COM%d could not be opened\n", port + 1);
            return 1;
        }
    }
    SequenceCheck check(ports);
    frame.Pipeline().SetForwarding(&check);

    std::atomic<bool> stop{false};
    std::atomic<std::uint32_t> sent{0};
    std::atomic<std::uint64_t> shortWrites{0};
    std::thread feeder([&] {
        auto next = std::chrono::steady_clock::now();
        while (!stop.load()) {
            const std::uint32_t seq = sent.load();
            for (int i = 0; i < ports; ++i) {
                const unsigned char msg[kMessageSize] = {
                    static_cast<unsigned char>(i), static_cast<unsigned char>(seq >> 24),
                    static_cast<unsigned char>(seq >> 16), static_cast<unsigned char>(seq >> 8),
                    static_cast<unsigned char>(seq), 1, 2, 3, 4, 5, 6, 7};
                if (::write(ptys[static_cast<std::size_t>(i)]->m_master, msg, sizeof msg) != sizeof msg)
                    ++shortWrites;
            }
            sent.store(seq + 1);
            next += std::chrono::milliseconds(periodMs);
            std::this_thread::sleep_until(next);
        }
    });

    // The window thread's lateness: a 10 ms timer, worst per sample period. On a busy machine
    // a late tick may only mean that the thread was not scheduled: the thread's own CPU time
    // between two ticks tells how much of the lateness was its own work.
    qint64 worst = 0;
    qint64 worstAll = 0;
    qint64 worstBusy = 0;
    qint64 worstBusyAll = 0;
    double lastCpu = ThreadCpuSeconds();
    QElapsedTimer tick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 ms = tick.restart();
        const double cpu = ThreadCpuSeconds();
        const qint64 busyMs = static_cast<qint64>((cpu - lastCpu) * 1000.0);
        lastCpu = cpu;
        worst = std::max(worst, ms - 10);
        worstBusy = std::max(worstBusy, std::min(ms, busyMs) - 10);
    });
    tick.start();
    probe.start(10);

    QElapsedTimer clock;
    clock.start();
    std::printf("platform %s; %d ports, a %zu-byte message every %d ms each, %.0f s, sample every %d s\n",
                qPrintable(QGuiApplication::platformName()), ports, kMessageSize, periodMs, seconds, sampleS);
    std::printf("%8s %10s %6s %5s %8s %8s %12s\n", "time s", "RSS kB", "fds", "thr", "late ms", "working", "messages");
    std::fflush(stdout);
    long firstRss = 0;
    long maxRss = 0;
    int firstFds = 0;
    int maxFds = 0;
    int firstThreads = 0;
    int maxThreads = 0;
    for (;;) {
        const double left = seconds - static_cast<double>(clock.elapsed()) / 1000.0;
        if (left <= 0)
            break;
        Spin(static_cast<int>(std::min<double>(sampleS, left) * 1000));
        const long rss = RssKb();
        const int fds = OpenFds();
        const int threads = Threads();
        if (firstRss == 0) {
            firstRss = rss;
            firstFds = fds;
            firstThreads = threads;
        }
        maxRss = std::max(maxRss, rss);
        maxFds = std::max(maxFds, fds);
        maxThreads = std::max(maxThreads, threads);
        worstAll = std::max(worstAll, worst);
        worstBusyAll = std::max(worstBusyAll, worstBusy);
        std::printf("%8.0f %10ld %6d %5d %8lld %8lld %12llu\n", static_cast<double>(clock.elapsed()) / 1000.0, rss,
                    fds, threads, static_cast<long long>(worst), static_cast<long long>(std::max<qint64>(0, worstBusy)),
                    static_cast<unsigned long long>(sent.load()) * static_cast<unsigned long long>(ports));
        std::fflush(stdout);
        worst = 0;
        worstBusy = 0;
    }
    stop = true;
    feeder.join();
    Spin(1500); // what is still on its way

    const std::uint32_t total = sent.load();
    int good = 0;
    for (int i = 0; i < ports; ++i) {
        const SequenceCheck::Port& p = check.m_ports[static_cast<std::size_t>(i)];
        if (p.m_faults == 0 && p.m_next == total && p.m_pending.empty())
            ++good;
        else
            std::fprintf(stderr, "COM%d: %llu faults, %u of %u messages, %zu bytes left over\n",
                         kFirstPort + i + 1, static_cast<unsigned long long>(p.m_faults), p.m_next, total,
                         p.m_pending.size());
    }
    frame.Pipeline().SetForwarding(nullptr);
    std::printf("%d of %d ports: all %u messages in order (%llu in all); short writes %llu, "
                "messages of other ports %llu\n",
                good, ports, total, static_cast<unsigned long long>(total) * static_cast<unsigned long long>(ports),
                static_cast<unsigned long long>(shortWrites.load()), static_cast<unsigned long long>(check.m_foreign));
    std::printf("RSS %ld kB first sample, %ld kB at most; fds %d..%d; threads %d..%d; worst lateness %lld ms "
                "(working: %lld ms)\n",
                firstRss, maxRss, firstFds, maxFds, firstThreads, maxThreads, static_cast<long long>(worstAll),
                static_cast<long long>(std::max<qint64>(0, worstBusyAll)));
    return good == ports && shortWrites.load() == 0 ? 0 : 1;
}
