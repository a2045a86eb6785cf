// Transparent forwarding under full load: random bytes written into the far ends of two
// pseudo-terminals at once, the program forwarding COM1 <-> COM2 between them, each
// direction compared by SHA-256 where it comes out; next to socat bridging an identical pair
// in the same run. The program runs twice: with the monitor showing the traffic (received
// and forwarded lines) and with the display paused.
//
// Run (offscreen):
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_forward [seconds] [socat|showing|paused]
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_forward latency [exchanges per turn]
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_forward modbus [exchanges]
//   build/bench/bench_app_forward lines [changes]
// Not a Google Benchmark: four alternating turns per mode give the figures. "latency" times
// a request and its answer through socat and through the program, with the window idle and
// with a third port flooding hex into the monitor; "modbus" checks that every answer of a
// long MODBUS dialogue is shown after its request.
#include "BenchFrame.h"
#include "BenchPty.h"
#include "app/forward/Forwarder.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/monitor/ReceiveTurns.h"
#include "app/ports/SettingsBar.h"
#include "core/base/CommandIds.h"
#include "core/forward/ForwardTap.h"
#include "core/modbus/ModbusRtu.h"
#include "core/receive/PortReceiver.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"
#include "core/settings/IniSettingsStore.h"

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
struct Pty : PtyPair
{
    Pty() : PtyPair(Raw | NonBlockingMaster) {}
};

// A raw pair whose master ends block as a feeder of the program does.
struct RawPty : PtyPair
{
    RawPty() : PtyPair(Raw) {}
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
    double mbps = 0;      // both directions together
    double mb = 0;        // delivered, both directions
    bool same = true;     // every byte came out unchanged, in both directions
    double shownMbps = 0; // delivered over the time until the window had shown all of it
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
    std::printf(
        "%-22s A->B %7.2f MB/s (%6.1f MB, %s)  B->A %7.2f MB/s (%6.1f MB, %s)  sum %7.2f MB/s\n",
        name, ab.MBps(), ab.Delivered() / 1e6, ab.Same() ? "SHA-256 equal" : "DIFFERENT", ba.MBps(),
        ba.Delivered() / 1e6, ba.Same() ? "SHA-256 equal" : "DIFFERENT", ab.MBps() + ba.MBps());
    if (!ab.Same() || !ba.Same())
        std::printf("    written %llu / %llu, read %llu / %llu\n", (unsigned long long)ab.Written(),
                    (unsigned long long)ba.Written(), (unsigned long long)ab.Delivered(),
                    (unsigned long long)ba.Delivered());
    return Turn{ab.MBps() + ba.MBps(), (ab.Delivered() + ba.Delivered()) / 1e6,
                ab.Same() && ba.Same()};
}

Turn Socat(double seconds)
{
    Pty a, b;
    pid_t pid = 0;
    std::string pa = a.Path(), pb = b.Path();
    char* argv[] = {const_cast<char*>("socat"), const_cast<char*>("-b65536"), pa.data(), pb.data(),
                    nullptr};
    if (posix_spawnp(&pid, "socat", nullptr, nullptr, argv, environ) != 0) {
        std::printf("socat could not be started\n");
        std::exit(1);
    }
    Spin(500);
    Flow ab(a.Master(), b.Master(), 1), ba(b.Master(), a.Master(), 2);
    const Turn turn = RunFlows(ab, ba, seconds, "socat");
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return turn;
}

Turn Program(CMainFrame& frame, bool paused, double seconds)
{
    Pty a, b;
    vrlbench::OpenPortOrExit(frame, 0, a.Path());
    vrlbench::OpenPortOrExit(frame, 1, b.Path());
    frame.Options().m_showSent = 1;
    frame.Options().m_paused = paused ? 1 : 0;
    frame.findChild<CForwarder*>()->SetForwarding(true, 1, 2);
    Spin(200);
    Flow ab(a.Master(), b.Master(), 3), ba(b.Master(), a.Master(), 4);
    const double cpu0 = vrlbench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID);
    Turn turn = RunFlows(ab, ba, seconds, paused ? "VRL, display paused" : "VRL, monitor showing");
    const double wireCpu = vrlbench::ClockSeconds(CLOCK_THREAD_CPUTIME_ID) - cpu0;
    // Up to 32 MB per port wait unshown while the wire runs on (ReceiveInbox::kForwardCapacity),
    // and as much again in the pipeline: over a few seconds the wire's rate is not what the
    // window can show. The turn ends when the window has shown everything, so that the next
    // one starts with nothing behind it.
    QElapsedTimer drain;
    drain.start();
    while ((frame.Pipeline().HasPending() || frame.ReceiveTurns().Inbox().HasWaiting())
           && drain.elapsed() < 120000)
        Spin(10);
    const double wire = turn.mbps > 0 ? turn.mb / turn.mbps : 0.0;
    std::printf("    window thread while the wire ran: %.0f %% of a core\n",
                wire > 0 ? 100.0 * wireCpu / wire : 0.0);
    turn.shownMbps = turn.mb / (wire + static_cast<double>(drain.elapsed()) / 1000.0);
    if (!paused)
        std::printf("    shown %.1f s after the wire was done: %.2f MB/s shown\n",
                    drain.elapsed() / 1000.0, turn.shownMbps);
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
    return v.empty()
               ? 0.0
               : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

// --- Round trips ---------------------------------------------------------------------

// Reads exactly want bytes from fd (blocking), at most 2 s; false when they did not come.
bool ReadExactly(int fd, char* into, std::size_t want)
{
    std::size_t got = 0;
    while (got < want) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 2000) <= 0)
            return false;
        const ssize_t n = read(fd, into + got, want - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string WithCrc(std::string frame)
{
    const std::uint16_t crc =
        ModbusCrc(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size());
    frame += static_cast<char>(crc & 0xFF);
    frame += static_cast<char>(crc >> 8);
    return frame;
}

// MODBUS read of one holding register i and its answer (value i), CRC included.
std::pair<std::string, std::string> ModbusPair(int i)
{
    const char hi = static_cast<char>((i >> 8) & 0xFF), lo = static_cast<char>(i & 0xFF);
    return {WithCrc(std::string("\x01\x03", 2) + hi + lo + std::string("\x00\x01", 2)),
            WithCrc(std::string("\x01\x03\x02", 3) + hi + lo)};
}

// n exchanges on a thread of their own (the window's loop runs meanwhile): the master writes
// a request into master, the device reads it at device and answers at once, the master
// reads the answer. Microseconds per exchange; lost counts exchanges that did not complete.
struct RoundTrips
{
    std::vector<double> us;
    int lost = 0;
};

RoundTrips Exchanges(int master, int device, int n, int gapUs = 0)
{
    RoundTrips r;
    std::atomic<bool> done{false};
    std::thread t([&] {
        char buffer[64];
        for (int i = 0; i < n; ++i) {
            if (gapUs > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(gapUs));
            const auto [request, answer] = ModbusPair(i);
            const auto t0 = Clock::now();
            if (!WriteAll(master, request) || !ReadExactly(device, buffer, request.size())
                || std::string(buffer, request.size()) != request || !WriteAll(device, answer)
                || !ReadExactly(master, buffer, answer.size())
                || std::string(buffer, answer.size()) != answer) {
                ++r.lost;
                tcflush(master, TCIOFLUSH);
                tcflush(device, TCIOFLUSH);
                continue;
            }
            r.us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
        done = true;
    });
    while (!done)
        Spin(5);
    t.join();
    return r;
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// A third port flooding random bytes, shown as hex: the window thread always has work.
class Flood
{
public:
    explicit Flood(CMainFrame& frame) : m_frame(frame)
    {
        vrlbench::OpenPortOrExit(frame, 2, m_pty.Path());
        m_writer = std::thread([this] {
            std::vector<char> block(4096);
            std::uint64_t x = 99;
            while (!m_stop) {
                for (std::size_t i = 0; i < block.size(); i += 8) {
                    x ^= x << 13;
                    x ^= x >> 7;
                    x ^= x << 17;
                    std::memcpy(block.data() + i, &x, 8);
                }
                pollfd p{m_pty.Master(), POLLOUT, 0};
                if (poll(&p, 1, 50) > 0)
                    (void)!write(m_pty.Master(), block.data(), block.size());
            }
        });
    }
    ~Flood()
    {
        m_stop = true;
        m_writer.join();
        m_frame.OnPortSelected(2);
        m_frame.OnCommand(ID_OPEN_PORT);
    }

private:
    CMainFrame& m_frame;
    RawPty m_pty;
    std::atomic<bool> m_stop{false};
    std::thread m_writer;
};

RoundTrips SocatTrips(int n)
{
    RawPty a, b;
    pid_t pid = 0;
    std::string pa = a.Path(), pb = b.Path();
    char* argv[] = {const_cast<char*>("socat"), pa.data(), pb.data(), nullptr};
    if (posix_spawnp(&pid, "socat", nullptr, nullptr, argv, environ) != 0) {
        std::printf("socat could not be started\n");
        std::exit(1);
    }
    Spin(300);
    RoundTrips r = Exchanges(a.Master(), b.Master(), n);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return r;
}

void OpenPair(CMainFrame& frame, const std::string& pathA, const std::string& pathB)
{
    vrlbench::OpenPortOrExit(frame, 0, pathA);
    vrlbench::OpenPortOrExit(frame, 1, pathB);
    frame.findChild<CForwarder*>()->SetForwarding(true, 1, 2);
}

void ClosePair(CMainFrame& frame)
{
    for (int port : {0, 1}) {
        frame.OnPortSelected(port);
        frame.OnCommand(ID_OPEN_PORT);
    }
}

RoundTrips ProgramTrips(CMainFrame& frame, int n)
{
    RawPty a, b;
    OpenPair(frame, a.Path(), b.Path());
    Spin(200);
    RoundTrips r = Exchanges(a.Master(), b.Master(), n);
    ClosePair(frame);
    return r;
}

int Latency(CMainFrame& frame, int perTurn)
{
    frame.Options().m_showSent = 1;
    frame.Options().m_paused = 0;
    std::printf(
        "round trip of a MODBUS request (8 bytes) and its answer (7 bytes), 4 turns of %d per mode\n",
        perTurn);
    std::printf("%-26s %9s %9s %9s %6s\n", "", "p50 us", "p99 us", "max us", "lost");
    for (const bool busy : {false, true}) {
        std::unique_ptr<Flood> flood;
        if (busy)
            flood = std::make_unique<Flood>(frame);
        RoundTrips socat, vrl;
        for (int turn = 0; turn < 4; ++turn) {
            RoundTrips s = SocatTrips(perTurn);
            RoundTrips v = ProgramTrips(frame, perTurn);
            socat.us.insert(socat.us.end(), s.us.begin(), s.us.end());
            socat.lost += s.lost;
            vrl.us.insert(vrl.us.end(), v.us.begin(), v.us.end());
            vrl.lost += v.lost;
        }
        const char* what = busy ? "window busy (COM3 flood)" : "window idle";
        std::printf("socat, %-19s %9.0f %9.0f %9.0f %6d\n", what, Percentile(socat.us, 0.5),
                    Percentile(socat.us, 0.99), Percentile(socat.us, 1.0), socat.lost);
        std::printf("VRL,   %-19s %9.0f %9.0f %9.0f %6d\n", what, Percentile(vrl.us, 0.5),
                    Percentile(vrl.us, 0.99), Percentile(vrl.us, 1.0), vrl.lost);
        std::printf("  added by VRL: p50 %+.0f us, p99 %+.0f us\n",
                    Percentile(vrl.us, 0.5) - Percentile(socat.us, 0.5),
                    Percentile(vrl.us, 0.99) - Percentile(socat.us, 0.99));
    }
    return 0;
}

// n MODBUS exchanges through the tap with the monitor showing; then every answer's line must
// come after its request's line. The master leaves 25 ms between an answer and its next
// request, longer than the packing interval (20 ms), so that every frame is a message of
// its own.
int Modbus(CMainFrame& frame, int n)
{
    frame.Options().m_showSent = 1;
    frame.Options().m_paused = 0;
    RawPty a, b;
    OpenPair(frame, a.Path(), b.Path());
    Spin(200);
    const RoundTrips r = Exchanges(a.Master(), b.Master(), n, 25000);
    auto hex = [](const std::string& bytes) {
        return QString::fromLatin1(
            QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toHex(' ').toUpper());
    };
    QElapsedTimer waited;
    waited.start();
    const QString lastAnswer = QStringLiteral("COM2↑") + hex(ModbusPair(n - 1).second);
    while (!frame.GetView()->toPlainText().contains(lastAnswer) && waited.elapsed() < 60000)
        Spin(50);
    const QString text = frame.GetView()->toPlainText();
    // Where a frame's bytes are shown on a line of that port and direction, from a position
    // on; merged: not at the line's start (the master was late and packing joined frames).
    auto find = [&text](const QString& label, const QString& bytes, qsizetype from,
                        bool& merged) -> qsizetype {
        for (qsizetype at = text.indexOf(bytes, from); at >= 0; at = text.indexOf(bytes, at + 1)) {
            const qsizetype line = text.lastIndexOf('\n', at) + 1;
            const qsizetype labelAt = text.indexOf(label, line);
            if (labelAt >= 0 && labelAt < at && text.indexOf('\n', line) > at) {
                merged = at != labelAt + label.size();
                return at;
            }
        }
        return -1;
    };
    int inOrder = 0, before = 0, missing = 0, merged = 0;
    qsizetype from = 0;
    for (int i = 0; i < n; ++i) {
        const auto [request, answer] = ModbusPair(i);
        bool joinedQ = false, joinedP = false;
        const qsizetype q = find(QStringLiteral("COM1↑"), hex(request), from, joinedQ);
        const qsizetype p = find(QStringLiteral("COM2↑"), hex(answer), from, joinedP);
        merged += (joinedQ || joinedP) ? 1 : 0;
        if (q < 0 || p < 0)
            ++missing;
        else if (p < q)
            ++before;
        else {
            ++inOrder;
            from = q;
        }
    }
    std::printf(
        "%d exchanges through the tap (%d lost on the wire): %d answers shown after their request, %d "
        "before it, %d not found (%d exchanges shown on a line joined with the next); round trip p50 %.0f "
        "us, p99 %.0f us\n",
        n, r.lost, inOrder, before, missing, merged, Percentile(r.us, 0.5), Percentile(r.us, 0.99));
    ClosePair(frame);
    return before == 0 && missing == 0 && r.lost == 0 ? 0 : 1;
}

// --- Control lines across the tap ---------------------------------------------------------

// Lines of a device that has them (pseudo-terminals have none): inputs set by the benchmark,
// outputs set by the tap.
class BenchLines : public ModemLines
{
public:
    explicit BenchLines(std::atomic<unsigned>& lines) : m_lines(lines) {}
    bool Get(unsigned& lines) override
    {
        lines = m_lines;
        return true;
    }
    bool Set(unsigned mask, bool on) override
    {
        if (on)
            m_lines |= mask & kOutputs;
        else
            m_lines &= ~(mask & kOutputs);
        return true;
    }

private:
    std::atomic<unsigned>& m_lines;
};

class NoReceiver : public PortReceiver
{
    void OnPortData(unsigned, std::vector<std::uint8_t>) override {}
    void OnPortStopped(unsigned, std::string) override {}
};

// n changes of COM1's CTS, each timed until COM2's RTS follows.
int Lines(int n)
{
    RawPty a, b;
    std::atomic<unsigned> linesA{0}, linesB{0};
    ForwardTap tap;
    NoReceiver receiver;
    SerialPort portA, portB;
    portA.SetModemLinesFactory([&](int) { return std::make_unique<BenchLines>(linesA); });
    portB.SetModemLinesFactory([&](int) { return std::make_unique<BenchLines>(linesB); });
    portA.SetTap(&tap);
    portB.SetTap(&tap);
    tap.SetPair(true, 0, 1, true);
    if (!portA.Open(&receiver, 0, a.Path()) || !portB.Open(&receiver, 1, b.Path()))
        return 1;
    std::vector<double> us;
    int missed = 0;
    for (int i = 0; i < n; ++i) {
        const bool on = i % 2 == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
        const auto t0 = Clock::now();
        if (on)
            linesA |= ModemLines::kCts;
        else
            linesA &= ~unsigned{ModemLines::kCts};
        while (((linesB & ModemLines::kRts) != 0) != on
               && Clock::now() - t0 < std::chrono::seconds(1))
            std::this_thread::yield();
        if (((linesB & ModemLines::kRts) != 0) != on)
            ++missed;
        else
            us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::printf(
        "%d changes of COM1 CTS: COM2 RTS followed in p50 %.0f us, p99 %.0f us, max %.0f us; %d missed\n",
        n, Percentile(us, 0.5), Percentile(us, 0.99), Percentile(us, 1.0), missed);
    return missed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::string(argv[1]) == "lines")
        return Lines(argc > 2 ? std::atoi(argv[2]) : 1000);
    const std::string mode = argc > 1 ? argv[1] : "";
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const PrivateXdgFolders home;
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    CMainFrame frame(store);
    frame.resize(1200, 800);
    frame.show();
    Spin(500);
    if (mode == "latency")
        return Latency(frame, argc > 2 ? std::atoi(argv[2]) : 1000);
    if (mode == "modbus")
        return Modbus(frame, argc > 2 ? std::atoi(argv[2]) : 10000);
    // Turns alternate socat, showing and paused, so that the load of a shared machine falls
    // on all three alike. A second argument runs one mode only (for a profiler).
    const std::string only = argc > 2 ? argv[2] : "";
    const int turns = only.empty() ? 4 : 1;
    const double perTurn = seconds / turns;
    std::printf("platform %s, %d turns of %.1f s per mode, both directions at once\n",
                qPrintable(QGuiApplication::platformName()), turns, perTurn);
    std::vector<double> pausedRatio, showingRatio, shownRatio;
    double mb[3] = {0, 0, 0};
    bool same = true;
    for (int i = 0; i < turns; ++i) {
        const Turn socat = only.empty() || only == "socat" ? Socat(perTurn) : Turn{};
        const Turn showing =
            only.empty() || only == "showing" ? Program(frame, false, perTurn) : Turn{};
        const Turn paused =
            only.empty() || only == "paused" ? Program(frame, true, perTurn) : Turn{};
        mb[0] += socat.mb;
        mb[1] += showing.mb;
        mb[2] += paused.mb;
        same = same && socat.same && showing.same && paused.same;
        if (socat.mbps > 0) {
            pausedRatio.push_back(paused.mbps / socat.mbps);
            showingRatio.push_back(showing.mbps / socat.mbps);
            shownRatio.push_back(showing.shownMbps / socat.mbps);
        }
    }
    std::printf("delivered in all: socat %.1f MB, showing %.1f MB, paused %.1f MB; %s\n", mb[0],
                mb[1], mb[2],
                same ? "every turn SHA-256 equal in both directions" : "SOME TURN DIFFERED");
    if (only.empty())
        std::printf(
            "median of the turns: paused %.0f %% of socat; showing %.0f %% of socat on the wire, "
            "%.0f %% shown by the window\n",
            100.0 * Median(pausedRatio), 100.0 * Median(showingRatio), 100.0 * Median(shownRatio));
    return 0;
}
