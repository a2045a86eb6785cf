// Soak: the real main window receiving random bytes on N pseudo-terminal ports for hours.
//
// A feeder thread writes every period a block of random bytes to each port's far end: each
// port's stream comes from a generator of its own, so the check can make the same stream
// again. Every sample period the run prints the resident memory, open file descriptors,
// threads, the process's CPU, the worst lateness of a 10 ms timer on the window thread (and
// how much of it was the thread's own work), and the window's answer time to events posted
// to it from another thread (as an input event waits for the thread to come back to its
// queue): median and worst of the period. At the end it checks that every byte of every
// port came out of the receive pipeline, after its monitor line, in order and unchanged, and
// prints one summary table.
//
// Run (offscreen, or with a display under xvfb-run), at low priority on a shared machine:
//   QT_QPA_PLATFORM=offscreen nice -n 19 build/bench/bench_app_soak [--ports 16]
//       [--seconds 3600] [--period-ms 25] [--bytes 10] [--sample 60]
// Exit status 0 when every byte of every port was seen in order, 1 otherwise.
#include "BenchFrame.h"
#include "BenchPty.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "core/base/CommandIds.h"
#include "core/base/PortName.h"
#include "core/receive/DecodeListener.h"
#include "core/receive/ReceivePipeline.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFirstPort = 10; // COM11 onwards

long StatusField(const char* name)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(name);
    while (std::getline(in, line))
        if (line.compare(0, n, name) == 0)
            return std::atol(line.c_str() + n);
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

double CpuSeconds(clockid_t who)
{
    return vrlbench::ClockSeconds(who);
}

void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// One port's bytes: xorshift64*, seeded by the port, so that the check can make them again.
class RandomStream
{
public:
    explicit RandomStream(int port)
        : m_state(0x9E3779B97F4A7C15ull * static_cast<std::uint64_t>(port + 1))
    {
    }
    std::uint8_t Next()
    {
        if (m_left == 0) {
            m_state ^= m_state >> 12;
            m_state ^= m_state << 25;
            m_state ^= m_state >> 27;
            m_word = m_state * 0x2545F4914F6CDD1Dull;
            m_left = 8;
        }
        --m_left;
        const auto b = static_cast<std::uint8_t>(m_word);
        m_word >>= 8;
        return b;
    }

private:
    std::uint64_t m_state;
    std::uint64_t m_word = 0;
    int m_left = 0;
};

// Takes the decoding slot of the receive pipeline, which every message of a port it decodes
// passes after its monitor line: compares each port's bytes with its stream as they come
// (messages may come split or merged by packing).
class StreamCheck : public DecodeStep
{
public:
    explicit StreamCheck(int ports)
    {
        for (int i = 0; i < ports; ++i)
            m_ports.push_back(Port{RandomStream(i)});
    }
    bool IsDecoding(unsigned) const override { return true; }
    void Decode(unsigned port, int direction, int, const std::uint8_t* bytes, std::size_t count,
                std::int64_t, std::vector<DecodedLine>&) override
    {
        const int i = static_cast<int>(port) - kFirstPort;
        if (direction != 1 || i < 0 || i >= static_cast<int>(m_ports.size())) {
            ++m_foreign;
            return;
        }
        Port& p = m_ports[static_cast<std::size_t>(i)];
        for (std::size_t k = 0; k < count; ++k) {
            if (bytes[k] != p.m_expected.Next() && p.m_firstFault < 0)
                p.m_firstFault = static_cast<long long>(p.m_seen + k);
        }
        p.m_seen += count;
    }
    void PollDecoding(std::int64_t, std::vector<DecodedLine>&) override {}

    struct Port
    {
        RandomStream m_expected;
        unsigned long long m_seen = 0;
        long long m_firstFault = -1;
    };
    std::vector<Port> m_ports;
    unsigned long long m_foreign = 0;
};

// Events posted to the window thread from another thread, with the time they were posted.
class AnswerProbe : public QObject
{
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 17);
    struct Posted : QEvent
    {
        explicit Posted(std::chrono::steady_clock::time_point at) : QEvent(kType), m_at(at) {}
        std::chrono::steady_clock::time_point m_at;
    };

    bool event(QEvent* e) override
    {
        if (e->type() != kType)
            return QObject::event(e);
        const auto waited = std::chrono::steady_clock::now() - static_cast<Posted*>(e)->m_at;
        const double ms = std::chrono::duration<double, std::milli>(waited).count();
        const std::lock_guard lock(m_mutex);
        m_period.push_back(ms);
        m_all.push_back(ms);
        return true;
    }
    // Median and worst of the period, which starts again.
    std::pair<double, double> TakePeriod()
    {
        const std::lock_guard lock(m_mutex);
        std::vector<double> v;
        v.swap(m_period);
        if (v.empty())
            return {0, 0};
        std::sort(v.begin(), v.end());
        return {v[v.size() / 2], v.back()};
    }
    double Quantile(double q)
    {
        const std::lock_guard lock(m_mutex);
        if (m_all.empty())
            return 0;
        std::vector<double> v = m_all;
        const auto k = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1));
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
        return v[k];
    }

private:
    std::mutex m_mutex;
    std::vector<double> m_period;
    std::vector<double> m_all;
};

} // namespace

int main(int argc, char* argv[])
{
    int ports = 16;
    double seconds = 3600;
    int periodMs = 25;
    int bytes = 10;
    int sampleS = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--ports")
            ports = std::atoi(argv[i + 1]);
        else if (name == "--seconds")
            seconds = std::atof(argv[i + 1]);
        else if (name == "--period-ms")
            periodMs = std::atoi(argv[i + 1]);
        else if (name == "--bytes")
            bytes = std::atoi(argv[i + 1]);
        else if (name == "--sample")
            sampleS = std::atoi(argv[i + 1]);
    }
    if (ports < 1 || ports > 200 || periodMs < 1 || bytes < 1 || bytes > 65536 || sampleS < 1) {
        std::fprintf(stderr,
                     "usage: bench_app_soak [--ports 1..200] [--seconds S] [--period-ms MS] "
                     "[--bytes 1..65536] [--sample S]\n");
        return 2;
    }
    const PrivateXdgFolders home;
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CMainFrame frame(store);
    frame.resize(1200, 800);
    frame.show();
    Spin(300);

    std::vector<std::unique_ptr<PtyPair>> ptys;
    for (int i = 0; i < ports; ++i) {
        ptys.push_back(std::make_unique<PtyPair>(PtyPair::Raw));
        vrlbench::OpenPortOrExit(frame, kFirstPort + i, ptys.back()->Path());
    }
    StreamCheck check(ports);
    DecodeListener checking(check, frame.Pipeline());
    frame.Pipeline().Traffic().Add(checking, PortTraffic::Runs::OnWindow);

    std::atomic<bool> stop{false};
    std::atomic<unsigned long long> written{0}; // per port
    std::atomic<unsigned long long> shortWrites{0};
    std::thread feeder([&] {
        std::vector<RandomStream> streams;
        for (int i = 0; i < ports; ++i)
            streams.emplace_back(i);
        std::vector<std::uint8_t> block(static_cast<std::size_t>(bytes));
        auto next = std::chrono::steady_clock::now();
        while (!stop.load()) {
            for (int i = 0; i < ports; ++i) {
                for (std::uint8_t& b : block)
                    b = streams[static_cast<std::size_t>(i)].Next();
                std::size_t done = 0;
                while (done < block.size()) {
                    const ssize_t n = ::write(ptys[static_cast<std::size_t>(i)]->Master(),
                                              block.data() + done, block.size() - done);
                    if (n <= 0)
                        break;
                    done += static_cast<std::size_t>(n);
                }
                if (done != block.size())
                    ++shortWrites;
            }
            written += static_cast<unsigned long long>(bytes);
            next += std::chrono::milliseconds(periodMs);
            std::this_thread::sleep_until(next);
        }
    });

    AnswerProbe answer;
    std::thread poster([&] {
        while (!stop.load()) {
            QCoreApplication::postEvent(&answer,
                                        new AnswerProbe::Posted(std::chrono::steady_clock::now()));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });

    // The window thread's lateness: a 10 ms timer, worst per sample period. On a busy machine
    // a late tick may only mean that the thread was not scheduled: the thread's own CPU time
    // between two ticks tells how much of the lateness was its own work.
    qint64 worst = 0;
    qint64 worstAll = 0;
    qint64 worstBusy = 0;
    qint64 worstBusyAll = 0;
    double lastThreadCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    QElapsedTimer tick;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 ms = tick.restart();
        const double cpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        const auto busyMs = static_cast<qint64>((cpu - lastThreadCpu) * 1000.0);
        lastThreadCpu = cpu;
        worst = std::max(worst, ms - 10);
        worstBusy = std::max(worstBusy, std::min(ms, busyMs) - 10);
    });
    tick.start();
    probe.start(10);

    QElapsedTimer clock;
    clock.start();
    std::printf(
        "platform %s; %d ports, %d random bytes every %d ms each (%.0f B/s a port), %.0f s, sample every %d s\n",
        qPrintable(QGuiApplication::platformName()), ports, bytes, periodMs,
        bytes * 1000.0 / periodMs, seconds, sampleS);
    std::printf("%8s %9s %5s %4s %6s %8s %8s %11s %11s %14s\n", "time s", "RSS kB", "fds", "thr",
                "CPU %", "late ms", "working", "answer p50", "answer max", "bytes a port");
    std::fflush(stdout);
    long firstRss = 0, maxRss = 0, lastRss = 0;
    int firstFds = 0, maxFds = 0, firstThreads = 0, maxThreads = 0;
    double worstAnswer = 0;
    double lastCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double startCpu = lastCpu;
    qint64 lastMs = 0;
    for (;;) {
        const double left = seconds - static_cast<double>(clock.elapsed()) / 1000.0;
        if (left < 0.5)
            break;
        Spin(static_cast<int>(std::min<double>(sampleS, left) * 1000));
        const long rss = StatusField("VmRSS:");
        const int fds = OpenFds();
        const int threads = static_cast<int>(StatusField("Threads:"));
        const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const qint64 nowMs = clock.elapsed();
        const double cpuPercent = 100.0 * (cpu - lastCpu) * 1000.0
                                  / static_cast<double>(std::max<qint64>(1, nowMs - lastMs));
        lastCpu = cpu;
        lastMs = nowMs;
        if (firstRss == 0) {
            firstRss = rss;
            firstFds = fds;
            firstThreads = threads;
        }
        lastRss = rss;
        maxRss = std::max(maxRss, rss);
        maxFds = std::max(maxFds, fds);
        maxThreads = std::max(maxThreads, threads);
        worstAll = std::max(worstAll, worst);
        worstBusyAll = std::max(worstBusyAll, worstBusy);
        const auto [p50, pmax] = answer.TakePeriod();
        worstAnswer = std::max(worstAnswer, pmax);
        std::printf("%8.0f %9ld %5d %4d %6.1f %8lld %8lld %11.1f %11.1f %14llu\n",
                    static_cast<double>(nowMs) / 1000.0, rss, fds, threads, cpuPercent,
                    static_cast<long long>(worst),
                    static_cast<long long>(std::max<qint64>(0, worstBusy)), p50, pmax,
                    written.load());
        std::fflush(stdout);
        worst = 0;
        worstBusy = 0;
    }
    stop = true;
    feeder.join();
    poster.join();
    Spin(1500); // what is still on its way
    frame.Pipeline().Traffic().Remove(checking);

    const unsigned long long total = written.load();
    int good = 0;
    for (int i = 0; i < ports; ++i) {
        const StreamCheck::Port& p = check.m_ports[static_cast<std::size_t>(i)];
        if (p.m_firstFault < 0 && p.m_seen == total)
            ++good;
        else
            std::fprintf(stderr, "%s: %llu of %llu bytes, first wrong byte at %lld\n",
                         PortName(kFirstPort + i).c_str(), p.m_seen, total, p.m_firstFault);
    }
    const double cpuAll = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - startCpu;
    std::printf("\n| Figure | Value |\n|---|---|\n");
    std::printf(
        "| bytes, every port in order and unchanged | %d of %d ports, %llu bytes each (%llu in all); "
        "short writes %llu, messages of other ports %llu |\n",
        good, ports, total, total * static_cast<unsigned long long>(ports), shortWrites.load(),
        check.m_foreign);
    std::printf(
        "| window answer time to a posted event | p50 %.1f ms, p99 %.1f ms, worst %.1f ms |\n",
        answer.Quantile(0.5), answer.Quantile(0.99), worstAnswer);
    std::printf(
        "| worst lateness of a 10 ms timer | %lld ms (the window thread's own work in it: %lld ms) |\n",
        static_cast<long long>(worstAll),
        static_cast<long long>(std::max<qint64>(0, worstBusyAll)));
    std::printf("| resident memory | %ld kB first sample, %ld kB at most, %ld kB last |\n",
                firstRss, maxRss, lastRss);
    std::printf("| descriptors, threads | %d..%d, %d..%d |\n", firstFds, maxFds, firstThreads,
                maxThreads);
    std::printf("| CPU of the process | %.1f %% of a core on average |\n",
                100.0 * cpuAll * 1000.0
                    / static_cast<double>(std::max<qint64>(1, clock.elapsed())));
    return good == ports && shortWrites.load() == 0 ? 0 : 1;
}
