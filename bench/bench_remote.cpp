// Remote ports through a real ser2net on loopback serving pseudo-terminals: random bytes and
// bytes full of 0xFF both ways at full speed, compared by SHA-256, with the throughput of
// the same pseudo-terminal opened locally in the same run; the rate set in the port read
// back on the served device with `stty -F`; ser2net stopped and started again; 16 remote
// ports at once, every message complete and in order.
#include "core/receive/PortReceiver.h"
#include "core/serial/Rfc2217.h"
#include "core/serial/SerialPort.h"
#include "core/serial/SerialTransport.h"

#include "PtyPair.h"
#include "Ser2net.h"
#include "WriteAll.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <random>
#include <sstream>
#include <string>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Collector : PortReceiver
{
    std::mutex mutex;
    std::condition_variable arrived;
    std::string bytes;
    std::atomic<std::size_t> count{0};
    std::atomic<int> connected{0};
    std::atomic<int> stopped{0};
    std::size_t wanted = 0; // under mutex
    void OnPortData(unsigned, std::vector<std::uint8_t> data) override
    {
        std::lock_guard lock(mutex);
        bytes.append(data.begin(), data.end());
        count = bytes.size();
        if (bytes.size() >= wanted)
            arrived.notify_all();
    }
    // Waits for size bytes, woken once at the end: neither polling nor a wake-up per
    // message takes the CPU from the transfer.
    void WaitFor(std::size_t size, std::chrono::seconds timeout)
    {
        std::unique_lock lock(mutex);
        wanted = size;
        arrived.wait_for(lock, timeout, [&] { return bytes.size() >= size; });
    }
    void OnPortStopped(unsigned, std::string) override { ++stopped; }
    void OnPortConnected(unsigned, std::string) override { ++connected; }
};

std::string Sha256(const std::string& bytes)
{
    const std::string file = "/dev/shm/vrl-bench-remote-" + std::to_string(getpid());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string out(64, '\0');
    if (FILE* p = popen(("sha256sum " + file).c_str(), "r")) {
        if (fread(out.data(), 1, out.size(), p) != out.size())
            out.clear();
        pclose(p);
    }
    std::filesystem::remove(file);
    return out;
}

std::string Payload(std::size_t size, bool allFF, unsigned seed)
{
    if (allFF)
        return std::string(size, '\xff');
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(random());
    return bytes;
}

std::string ReadAll(int fd, std::size_t want, int timeoutMs)
{
    std::string got;
    got.reserve(want);
    char buffer[65536];
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < want && Clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = read(fd, buffer, std::min(sizeof buffer, want - got.size()));
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

void WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            write(fd, bytes.data() + done, std::min<std::size_t>(65536, bytes.size() - done));
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

// The five ways the same pseudo-terminal is reached, side by side in one run.
enum class Path
{
    Local,       // the port opens the pty itself
    BareRaw,     // a bare socket client of ser2net's raw port: what ser2net alone relays
    BareRfc2217, // the same through ser2net's telnet(rfc2217) port, 0xFF escaped by hand
    Raw,         // the port on tcp://
    Rfc2217,     // the port on rfc2217://
};
constexpr const char* kPathNames[] = {"local", "bare_raw", "bare_rfc2217", "raw", "rfc2217"};

enum class Way
{
    Both, // device -> port and port -> device at once
    In,   // device -> port only
    Out,  // port -> device only
};

struct Transfer
{
    double inMBps = 0;      // device -> port
    double outMBps = 0;     // port -> device
    bool intact = false;    // SHA-256 of each direction equal
    double cpuMs = 0;       // of this process (port, client, both pty ends)
    double serverCpuMs = 0; // of ser2net
};

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// utime + stime of another process, in ms.
double CpuMsOf(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14)
            utime = std::stoull(field);
        else if (i == 15)
            stime = std::stoull(field);
    return static_cast<double>(utime + stime) * 1e3 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The wire form of data on a telnet connection: 0xFF doubled.
std::string TelnetEscaped(const std::string& data)
{
    std::string wire;
    wire.reserve(data.size() * 2);
    for (char c : data) {
        wire.push_back(c);
        if (c == '\xff')
            wire.push_back(c);
    }
    return wire;
}

// The data in what a telnet server sent, its commands dropped; state carries a command cut
// between reads (0 data, 1 after IAC, 2 option byte, 3 inside SB, 4 IAC inside SB).
void TelnetData(const char* wire, std::size_t count, int& state, std::string& data)
{
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(wire[i]);
        switch (state) {
        case 0:
            if (b == 255)
                state = 1;
            else
                data.push_back(static_cast<char>(b));
            break;
        case 1:
            state = b == 255                 ? (data.push_back('\xff'), 0)
                    : b == 250               ? 3
                    : (b >= 251 && b <= 254) ? 2
                                             : 0;
            break;
        case 2: state = 0; break;
        case 3: state = b == 255 ? 4 : 3; break;
        default: state = b == 255 ? 3 : 0; break;
        }
    }
}

// The CPU that a transfer costs, from its start to its end.
struct CpuMeter
{
    pid_t server;
    double process = ProcessCpuMs();
    double ser2net = server > 0 ? CpuMsOf(server) : 0;
    explicit CpuMeter(pid_t serverPid) : server(serverPid) {}
    void Stop(Transfer& t) const
    {
        t.cpuMs = ProcessCpuMs() - process;
        t.serverCpuMs = server > 0 ? CpuMsOf(server) - ser2net : 0;
    }
};

Transfer Timed(Clock::time_point start, Clock::time_point inEnd, Clock::time_point outEnd,
               const std::string& in, const std::string& out)
{
    Transfer t;
    if (!in.empty())
        t.inMBps = static_cast<double>(in.size())
                   / std::chrono::duration<double>(inEnd - start).count() / 1e6;
    if (!out.empty())
        t.outMBps = static_cast<double>(out.size())
                    / std::chrono::duration<double>(outEnd - start).count() / 1e6;
    return t;
}

// in (device -> port) and out (port -> device) at once through a port open on device, the
// far end being the pty's master; an empty string is no transfer that way.
Transfer RunPort(PtyPair& pty, const std::string& device, const std::string& in,
                 const std::string& out, pid_t server)
{
    Collector receiver;
    SerialPort port;
    port.m_dwBaudRate = 115200;
    if (!port.Open(&receiver, 0, device))
        return {};
    const auto ready = Clock::now() + 5s;
    while (SerialTransport::IsRemote(device) && receiver.connected.load() == 0
           && Clock::now() < ready)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(100ms); // ser2net opens the device after the accept

    const CpuMeter cpu(server);
    const auto start = Clock::now();
    Clock::time_point inEnd = start, outEnd = start;
    std::string echoed;
    std::thread reader([&] {
        echoed = ReadAll(pty.Master(), out.size(), 60000);
        outEnd = Clock::now();
    });
    std::thread feeder([&] { WriteAll(pty.Master(), in); });
    WriteAll(port, out.data(), out.size());
    receiver.WaitFor(in.size(), 60s);
    inEnd = Clock::now();
    feeder.join();
    reader.join();
    Transfer t = Timed(start, inEnd, outEnd, in, out);
    cpu.Stop(t);
    port.Close();
    t.intact = Sha256(receiver.bytes) == Sha256(in) && Sha256(echoed) == Sha256(out);
    return t;
}

// The same through ser2net by a bare socket client: no port object, no packing, 64 KB reads
// and writes on threads of their own. On the telnet port it asks for binary mode and the
// port's rate as the port does, and its sent data is escaped before the clock starts.
Transfer RunBare(PtyPair& pty, const std::string& url, const std::string& in,
                 const std::string& out, pid_t server)
{
    SerialTransport::Endpoint endpoint;
    SerialTransport::Parse(url, endpoint);
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(endpoint.port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(s);
        return {};
    }
    const int one = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const std::string wire = endpoint.rfc2217 ? TelnetEscaped(out) : out;
    if (endpoint.rfc2217) {
        // The negotiation and settings as the port makes them; the data below by hand.
        Rfc2217Session session;
        std::vector<std::uint8_t> say;
        session.SetLine(SerialLine::LineSettings{115200, 0, 8, 0}, 0, say);
        session.Start(say);
        const auto until = Clock::now() + 300ms;
        std::uint8_t heard[4096];
        while (Clock::now() < until) {
            WriteAll(s, std::string(say.begin(), say.end()));
            say.clear();
            pollfd p{s, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                const ssize_t n = recv(s, heard, sizeof heard, MSG_DONTWAIT);
                if (n > 0)
                    session.Receive(heard, static_cast<std::size_t>(n), say);
            }
        }
    } else
        std::this_thread::sleep_for(100ms);
    int state = 0;

    const CpuMeter cpu(server);
    const auto start = Clock::now();
    Clock::time_point inEnd = start, outEnd = start;
    std::string got, echoed;
    got.reserve(in.size());
    std::thread reader([&] {
        echoed = ReadAll(pty.Master(), out.size(), 60000);
        outEnd = Clock::now();
    });
    std::thread feeder([&] { WriteAll(pty.Master(), in); });
    std::thread sender([&] { WriteAll(s, wire); });
    std::vector<char> buffer(65536);
    const auto until = start + 60s;
    while (got.size() < in.size() && Clock::now() < until) {
        pollfd p{s, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = read(s, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        if (endpoint.rfc2217)
            TelnetData(buffer.data(), static_cast<std::size_t>(n), state, got);
        else
            got.append(buffer.data(), static_cast<std::size_t>(n));
    }
    inEnd = Clock::now();
    feeder.join();
    sender.join();
    reader.join();
    Transfer t = Timed(start, inEnd, outEnd, in, out);
    cpu.Stop(t);
    close(s);
    t.intact = got == in && echoed == out;
    return t;
}

// VRL_BENCH_PATHS=rfc2217,bare_rfc2217 runs only those paths (to profile one of them).
bool Chosen(Path path)
{
    const char* chosen = std::getenv("VRL_BENCH_PATHS");
    if (!chosen)
        return true;
    std::istringstream names(chosen);
    std::string name;
    while (std::getline(names, name, ','))
        if (name == kPathNames[static_cast<int>(path)])
            return true;
    return false;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string TempDir()
{
    const auto dir =
        std::filesystem::temp_directory_path() / ("vrl-bench-remote-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

// ser2net's options per connection, by range(3).
const char* const kSer2netOptions[] = {
    "",                                                               // its defaults
    "    dev-to-net-bufsize: 65536\n    net-to-dev-bufsize: 65536\n", // 64 KB buffers
    "    dev-to-net-bufsize: 65536\n    net-to-dev-bufsize: 65536\n    chardelay: false\n",
};

// The five paths take turns, each transfer once per turn; medians of the turns. range(0): MB
// each way; range(1): 1 for bytes all 0xFF; range(2): turns; range(3): ser2net's options
// (kSer2netOptions); range(4): Way.
void BM_RemoteVsLocal(benchmark::State& state)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
    const bool allFF = state.range(1) != 0;
    const int rounds = static_cast<int>(state.range(2));
    const auto way = static_cast<Way>(state.range(4));
    for (auto _ : state) {
        PtyPair pty(PtyPair::Raw);
        Ser2net server({pty.Path()}, TempDir(), kSer2netOptions[state.range(3)]);
        if (!server.Start()) {
            state.SkipWithError("ser2net does not start");
            return;
        }
        constexpr int kPaths = 5;
        std::vector<double> inMBps[kPaths], outMBps[kPaths], cpuMsPerMB[kPaths],
            serverCpuMsPerMB[kPaths];
        int broken = 0;
        for (int r = 0; r < rounds; ++r) {
            const std::string in = way == Way::Out
                                       ? std::string()
                                       : Payload(size, allFF, 1000u + static_cast<unsigned>(r));
            const std::string out = way == Way::In
                                        ? std::string()
                                        : Payload(size, allFF, 2000u + static_cast<unsigned>(r));
            for (int p = 0; p < kPaths; ++p) {
                if (!Chosen(static_cast<Path>(p)))
                    continue;
                Transfer t;
                const pid_t pid = server.Pid();
                switch (static_cast<Path>(p)) {
                case Path::Local: t = RunPort(pty, pty.Path(), in, out, pid); break;
                case Path::BareRaw: t = RunBare(pty, server.RawUrl(), in, out, pid); break;
                case Path::BareRfc2217: t = RunBare(pty, server.Rfc2217Url(), in, out, pid); break;
                case Path::Raw: t = RunPort(pty, server.RawUrl(), in, out, pid); break;
                case Path::Rfc2217: t = RunPort(pty, server.Rfc2217Url(), in, out, pid); break;
                }
                const double mb = static_cast<double>(in.size() + out.size()) / 1e6;
                cpuMsPerMB[p].push_back(t.cpuMs / mb);
                serverCpuMsPerMB[p].push_back(t.serverCpuMs / mb);
                broken += !t.intact;
                std::fprintf(
                    stderr,
                    "turn %d %-13s in %6.1f out %6.1f MB/s, CPU %5.1f ms/MB, ser2net %5.1f ms/MB%s\n",
                    r, kPathNames[p], t.inMBps, t.outMBps, cpuMsPerMB[p].back(),
                    serverCpuMsPerMB[p].back(), t.intact ? "" : ", NOT INTACT");
                inMBps[p].push_back(t.inMBps);
                outMBps[p].push_back(t.outMBps);
                std::this_thread::sleep_for(300ms); // ser2net lets go of the device
            }
        }
        state.counters["transfers_not_intact"] = broken;
        for (int p = 0; p < kPaths; ++p) {
            const std::string name = kPathNames[p];
            if (way != Way::Out)
                state.counters[name + "_in_MBps"] = Median(inMBps[p]);
            if (way != Way::In)
                state.counters[name + "_out_MBps"] = Median(outMBps[p]);
            state.counters[name + "_cpu_ms_per_MB"] = Median(cpuMsPerMB[p]);
            if (p != static_cast<int>(Path::Local))
                state.counters[name + "_ser2net_cpu_ms_per_MB"] = Median(serverCpuMsPerMB[p]);
        }
        const auto pct = [&](Path path, std::vector<double>* of) {
            return 100 * Median(of[static_cast<int>(path)])
                   / Median(of[static_cast<int>(Path::Local)]);
        };
        if (way != Way::Out)
            state.counters["rfc2217_vs_local_in_pct"] = pct(Path::Rfc2217, inMBps);
        if (way != Way::In)
            state.counters["rfc2217_vs_local_out_pct"] = pct(Path::Rfc2217, outMBps);
        server.Stop();
    }
}
BENCHMARK(BM_RemoteVsLocal)
    ->ArgNames({"MB", "FF", "turns", "ser2net", "way"})
    ->ArgsProduct({{8}, {0, 1}, {11}, {0, 1, 2}, {0, 1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

unsigned SttySpeed(const std::string& device)
{
    unsigned speed = 0;
    if (FILE* p = popen(("stty -F " + device + " speed").c_str(), "r")) {
        if (fscanf(p, "%u", &speed) != 1)
            speed = 0;
        pclose(p);
    }
    return speed;
}

// The rate set in the port, read on the served device; then ser2net stopped for 3 s and
// started again: how long the port needs to be back, and the CPU it used while waiting.
void BM_RemoteRateAndRestart(benchmark::State& state)
{
    for (auto _ : state) {
        PtyPair pty(PtyPair::Raw);
        Ser2net server({pty.Path()}, TempDir());
        if (!server.Start()) {
            state.SkipWithError("ser2net does not start");
            return;
        }
        Collector receiver;
        SerialPort port;
        port.m_dwBaudRate = 115200;
        port.Open(&receiver, 0, server.Rfc2217Url());
        while (receiver.connected.load() == 0)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(300ms);
        state.counters["stty_after_open_115200"] = SttySpeed(pty.Path());
        port.m_dwBaudRate = 921600;
        port.Configure(); // a change while open goes out at once
        std::this_thread::sleep_for(300ms);
        state.counters["stty_after_change_921600"] = SttySpeed(pty.Path());

        server.Stop();
        while (receiver.stopped.load() == 0)
            std::this_thread::sleep_for(1ms);
        port.Redial(&receiver); // what the window does with reconnect on
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        std::this_thread::sleep_for(3s);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        state.counters["cpu_ms_per_s_while_waiting"] =
            (static_cast<double>(b.tv_sec - a.tv_sec) * 1e3
             + static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e6)
            / 3;
        const auto started = Clock::now();
        server.Start();
        while (receiver.connected.load() < 2 && Clock::now() - started < 10s)
            std::this_thread::sleep_for(1ms);
        state.counters["back_after_start_ms"] =
            std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        std::this_thread::sleep_for(300ms);
        WriteAll(pty.Master(), "back");
        const auto until = Clock::now() + 5s;
        while (receiver.count.load() < 4 && Clock::now() < until)
            std::this_thread::sleep_for(1ms);
        state.counters["data_after_restart"] = receiver.bytes == "back";
        state.counters["stty_after_restart_921600"] = SttySpeed(pty.Path());
        port.Close();
        server.Stop();
    }
}
BENCHMARK(BM_RemoteRateAndRestart)->Iterations(1)->Unit(benchmark::kMillisecond);

// 16 remote ports at once: 10-byte messages every 25 ms on each, numbered; every message
// must come, whole and in order.
void BM_Remote16Ports(benchmark::State& state)
{
    constexpr int kPorts = 16;
    const int messages = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<std::unique_ptr<PtyPair>> ptys;
        std::vector<std::string> paths;
        for (int i = 0; i < kPorts; ++i) {
            ptys.push_back(std::make_unique<PtyPair>(PtyPair::Raw));
            paths.push_back(ptys.back()->Path());
        }
        Ser2net server(paths, TempDir());
        if (!server.Start()) {
            state.SkipWithError("ser2net does not start");
            return;
        }
        std::vector<std::unique_ptr<Collector>> receivers;
        std::vector<std::unique_ptr<SerialPort>> ports;
        for (int i = 0; i < kPorts; ++i) {
            receivers.push_back(std::make_unique<Collector>());
            ports.push_back(std::make_unique<SerialPort>());
            ports.back()->Open(receivers.back().get(), static_cast<unsigned>(i),
                               server.Rfc2217Url(static_cast<std::size_t>(i)));
        }
        for (auto& r : receivers)
            while (r->connected.load() == 0)
                std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(300ms);
        auto next = Clock::now();
        for (int m = 0; m < messages; ++m) {
            std::this_thread::sleep_until(next);
            next += 25ms;
            char text[16];
            std::snprintf(text, sizeof text, "%09d\xff", m);
            for (auto& p : ptys)
                WriteAll(p->Master(), std::string(text, 10));
        }
        std::this_thread::sleep_for(500ms);
        int complete = 0;
        for (auto& r : receivers) {
            std::string expected;
            for (int m = 0; m < messages; ++m) {
                char text[16];
                std::snprintf(text, sizeof text, "%09d\xff", m);
                expected.append(text, 10);
            }
            std::lock_guard lock(r->mutex);
            complete += r->bytes == expected;
        }
        for (auto& p : ports)
            p->Close();
        state.counters["ports_complete_in_order"] = complete;
        state.counters["ports"] = kPorts;
        server.Stop();
    }
}
BENCHMARK(BM_Remote16Ports)->Arg(400)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
