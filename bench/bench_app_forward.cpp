// Transparent forwarding under full load: random bytes written into the far ends of two
// pseudo-terminals at once, the program forwarding COM1 <-> COM2 between them, each
// direction compared by SHA-256 where it comes out; next to socat bridging an identical pair
// in the same run. The program runs twice: with the monitor showing the traffic (received
// and forwarded lines) and with the display paused.
//
// Run (offscreen):
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_forward [seconds] [socat|showing|paused]
// Not a Google Benchmark: four alternating turns per mode give the figures.
#include "BenchPty.h"
#include "CommandIds.h"
#include "Forwarder.h"
#include "IniSettingsStore.h"
#include "MainFrm.h"
#include "PortMap.h"
#include "SettingsBar.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// The master ends write without blocking: a full line must not stall the feeder.
struct Pty : vrlbench::Pty
{
    Pty() : vrlbench::Pty(true) {}
};

// One direction: a writer puts random bytes into `from` until told to stop, a reader takes
// what comes out of `to`; both hash what they saw.
class Flow
{
public:
    Flow(int from, int to, std::uint64_t seed) : m_from(from), m_to(to), m_seed(seed) {}

    void Start()
    {
        m_start = Clock::now();
        m_lastRead = m_start;
        m_writer = std::thread([this] { Write(); });
        m_reader = std::thread([this] { ReadAll(); });
    }
    void StopWriting() { m_stopWriting = true; }
    bool CaughtUp() const { return m_writerDone && m_read.load() == m_written.load(); }
    void Finish()
    {
        m_stopReading = true;
        m_writer.join();
        m_reader.join();
    }

    std::uint64_t Written() const { return m_written; }
    std::uint64_t Delivered() const { return m_read; }
    bool Same() const { return m_written == m_read && m_hashIn == m_hashOut; }
    double MBps() const
    {
        const double s = std::chrono::duration<double>(m_lastRead - m_start).count();
        return s > 0 ? static_cast<double>(m_read) / s / 1e6 : 0.0;
    }

private:
    void Write()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        std::vector<char> block(65536);
        std::uint64_t x = m_seed;
        while (!m_stopWriting) {
            for (std::size_t i = 0; i < block.size(); i += 8) {
                x ^= x << 13;
                x ^= x >> 7;
                x ^= x << 17;
                std::memcpy(block.data() + i, &x, 8);
            }
            std::size_t done = 0;
            while (done < block.size() && !m_stopWriting) {
                pollfd p{m_from, POLLOUT, 0};
                if (poll(&p, 1, 100) <= 0)
                    continue;
                const ssize_t n = write(m_from, block.data() + done, block.size() - done);
                if (n > 0) {
                    hash.addData(QByteArrayView(block.data() + done, n));
                    done += static_cast<std::size_t>(n);
                    m_written += static_cast<std::uint64_t>(n);
                }
            }
        }
        m_hashIn = hash.result();
        m_writerDone = true;
    }
    void ReadAll()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        std::vector<char> block(65536);
        while (!m_stopReading) {
            pollfd p{m_to, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n = read(m_to, block.data(), block.size());
            if (n > 0) {
                hash.addData(QByteArrayView(block.data(), n));
                m_read += static_cast<std::uint64_t>(n);
                m_lastRead = Clock::now();
            }
        }
        m_hashOut = hash.result();
    }

    int m_from;
    int m_to;
    std::uint64_t m_seed;
    std::thread m_writer;
    std::thread m_reader;
    std::atomic<bool> m_stopWriting{false};
    std::atomic<bool> m_stopReading{false};
    std::atomic<bool> m_writerDone{false};
    std::atomic<std::uint64_t> m_written{0};
    std::atomic<std::uint64_t> m_read{0};
    Clock::time_point m_start;
    Clock::time_point m_lastRead;
    QByteArray m_hashIn;
    QByteArray m_hashOut;
};

void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Turn
{
    double mbps = 0;     // both directions together
    double mb = 0;       // delivered, both directions
    bool same = true;    // every byte came out unchanged, in both directions
};

// Both directions for `seconds`, then until every written byte came out (at most 30 s more).
Turn RunFlows(Flow& ab, Flow& ba, double seconds, const char* name)
{
    ab.Start();
    ba.Start();
    Spin(static_cast<int>(seconds * 1000));
    ab.StopWriting();
    ba.StopWriting();
    QElapsedTimer drain;
    drain.start();
    while (!(ab.CaughtUp() && ba.CaughtUp()) && drain.elapsed() < 30000)
        Spin(20);
    ab.Finish();
    ba.Finish();
    std::printf("%-22s A->B %7.2f MB/s (%6.1f MB, %s)  B->A %7.2f MB/s (%6.1f MB, %s)  sum %7.2f MB/s\n", name,
                ab.MBps(), ab.Delivered() / 1e6, ab.Same() ? "SHA-256 equal" : "DIFFERENT",
                ba.MBps(), ba.Delivered() / 1e6, ba.Same() ? "SHA-256 equal" : "DIFFERENT", ab.MBps() + ba.MBps());
    if (!ab.Same() || !ba.Same())
        std::printf("    written %llu / %llu, read %llu / %llu\n", (unsigned long long)ab.Written(),
                    (unsigned long long)ba.Written(), (unsigned long long)ab.Delivered(), (unsigned long long)ba.Delivered());
    return Turn{ab.MBps() + ba.MBps(), (ab.Delivered() + ba.Delivered()) / 1e6, ab.Same() && ba.Same()};
}

Turn Socat(double seconds)
{
    Pty a, b;
    pid_t pid = 0;
    std::string pa = a.m_path, pb = b.m_path;
    char* argv[] = {const_cast<char*>("socat"), const_cast<char*>("-b65536"), pa.data(), pb.data(), nullptr};
    if (posix_spawnp(&pid, "socat", nullptr, nullptr, argv, environ) != 0) {
        std::printf("socat could not be started\n");
        std::exit(1);
    }
    Spin(500);
    Flow ab(a.m_master, b.m_master, 1), ba(b.m_master, a.m_master, 2);
    const Turn turn = RunFlows(ab, ba, seconds, "socat");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return turn;
}

Turn Program(CMainFrame& frame, bool paused, double seconds)
{
    Pty a, b;
    auto open = [&frame](int port, const std::string& path) {
        frame.Map().SetPath(static_cast<unsigned>(port), path);
        frame.SettingsBar()->SelectPort(port);
        frame.OnPortSelected(port);
        frame.OnCommand(ID_OPEN_PORT);
        if (!frame.IsPortOpen(port)) {
            std::fprintf(stderr, "COM%d could not be opened\n", port + 1);
            std::exit(1);
        }
    };
    open(0, a.m_path);
    open(1, b.m_path);
    frame.Options().m_showSent = 1;
    frame.Options().m_paused = paused ? 1 : 0;
    frame.findChild<CForwarder*>()->SetForwarding(true, 1, 2);
    Spin(200);
    Flow ab(a.m_master, b.m_master, 3), ba(b.m_master, a.m_master, 4);
    const Turn turn = RunFlows(ab, ba, seconds, paused ? "VRL, display paused" : "VRL, monitor showing");
    const QString note = frame.StatusNote(QStringLiteral("forward"));
    if (note != QStringLiteral("转发: COM1 ⇄ COM2"))
        std::printf("    status note at the end: %s\n", qPrintable(note));
    frame.OnPortSelected(0);
    frame.OnCommand(ID_OPEN_PORT);
    frame.OnPortSelected(1);
    frame.OnCommand(ID_OPEN_PORT);
    return turn;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const vrlbench::TemporaryXdgHome home;
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CMainFrame frame(store);
    frame.resize(1200, 800);
    frame.show();
    Spin(500);
    // Turns alternate socat, showing and paused, so that the load of a shared machine falls
    // on all three alike. A second argument runs one mode only (for a profiler).
    const std::string only = argc > 2 ? argv[2] : "";
    const int turns = only.empty() ? 4 : 1;
    const double perTurn = seconds / turns;
    std::printf("platform %s, %d turns of %.1f s per mode, both directions at once\n",
                qPrintable(QGuiApplication::platformName()), turns, perTurn);
    std::vector<double> pausedRatio, showingRatio;
    double mb[3] = {0, 0, 0};
    bool same = true;
    for (int i = 0; i < turns; ++i) {
        const Turn socat = only.empty() || only == "socat" ? Socat(perTurn) : Turn{};
        const Turn showing = only.empty() || only == "showing" ? Program(frame, false, perTurn) : Turn{};
        const Turn paused = only.empty() || only == "paused" ? Program(frame, true, perTurn) : Turn{};
        mb[0] += socat.mb;
        mb[1] += showing.mb;
        mb[2] += paused.mb;
        same = same && socat.same && showing.same && paused.same;
        if (socat.mbps > 0) {
            pausedRatio.push_back(paused.mbps / socat.mbps);
            showingRatio.push_back(showing.mbps / socat.mbps);
        }
    }
    std::printf("delivered in all: socat %.1f MB, showing %.1f MB, paused %.1f MB; %s\n", mb[0], mb[1], mb[2],
                same ? "every turn SHA-256 equal in both directions" : "SOME TURN DIFFERED");
    if (only.empty())
        std::printf("median of the turns: paused %.0f %% of socat; showing %.0f %% of socat\n",
                    100.0 * Median(pausedRatio), 100.0 * Median(showingRatio));
    return 0;
}
