// Remote ports through a real ser2net on loopback serving pseudo-terminals: random bytes and
// bytes full of 0xFF both ways at full speed, compared by SHA-256, with the throughput of
// the same pseudo-terminal opened locally in the same run; the rate set in the port read
// back on the served device with `stty -F`; ser2net stopped and started again; 16 remote
// ports at once, every message complete and in order.
#include "PortReceiver.h"
#include "SerialPort.h"
#include "SerialTransport.h"

#include "Ser2net.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <random>
#include <string>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Pty
{
    int master = -1;
    int slave = -1;
    std::string path;
    Pty()
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[256] = {};
        if (openpty(&master, &slave, name, &raw, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        close(master);
        close(slave);
    }
};

struct Collector : PortReceiver
{
    std::mutex mutex;
    std::string bytes;
    std::atomic<std::size_t> count{0};
    std::atomic<int> connected{0};
    std::atomic<int> stopped{0};
    void OnPortData(unsigned, std::vector<std::uint8_t> data) override
    {
        std::lock_guard lock(mutex);
        bytes.append(data.begin(), data.end());
        count = bytes.size();
    }
    void OnPortStopped(unsigned, std::string) override { ++stopped; }
    void OnPortConnected(unsigned, std::string) override { ++connected; }
};

std::string Sha256(const std::string& bytes)
{
    const std::string file = "/dev/shm/vrl-bench-remote-" + std::to_string(getpid());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string out(64, '\0');
    if (FILE* p = popen(("sha256sum " + file).c_str(), "r"))
    {
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
    while (got.size() < want && Clock::now() < until)
    {
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
    while (done < bytes.size())
    {
        const ssize_t n = write(fd, bytes.data() + done, std::min<std::size_t>(65536, bytes.size() - done));
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

struct Transfer
{
    double inMBps = 0;   // device -> port
    double outMBps = 0;  // port -> device
    bool intact = false; // SHA-256 of both directions equal
};

// `size` bytes each way at once through a port open on `device`, the far end being the
// pty's master.
Transfer Run(Pty& pty, const std::string& device, const std::string& in, const std::string& out)
{
    Transfer t;
    Collector receiver;
    SerialPort port;
    port.m_dwBaudRate = 115200;
    if (!port.Open(&receiver, 0, device))
        return t;
    const auto ready = Clock::now() + 5s;
    while (SerialTransport::IsRemote(device) && receiver.connected.load() == 0 && Clock::now() < ready)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(100ms); // ser2net opens the device after the accept

    const auto start = Clock::now();
    Clock::time_point inEnd, outEnd;
    std::string echoed;
    std::thread reader([&] {
        echoed = ReadAll(pty.master, out.size(), 60000);
        outEnd = Clock::now();
    });
    std::thread feeder([&] { WriteAll(pty.master, in); });
    port.Write(out.data(), out.size());
    while (receiver.count.load() < in.size() && Clock::now() - start < 60s)
        std::this_thread::sleep_for(100us);
    inEnd = Clock::now();
    feeder.join();
    reader.join();
    port.Close();
    t.inMBps = static_cast<double>(in.size()) / std::chrono::duration<double>(inEnd - start).count() / 1e6;
    t.outMBps = static_cast<double>(out.size()) / std::chrono::duration<double>(outEnd - start).count() / 1e6;
    t.intact = Sha256(receiver.bytes) == Sha256(in) && Sha256(echoed) == Sha256(out);
    std::this_thread::sleep_for(300ms); // ser2net lets go of the device
    return t;
}

// The ceiling ser2net sets: the same transfer through its raw TCP port by a bare socket
// client (no port object, no packing).
Transfer RunBare(Pty& pty, const std::string& url, const std::string& in, const std::string& out)
{
    Transfer t;
    SerialTransport::Endpoint endpoint;
    SerialTransport::Parse(url, endpoint);
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(endpoint.port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
    {
        close(s);
        return t;
    }
    std::this_thread::sleep_for(100ms);
    const auto start = Clock::now();
    Clock::time_point inEnd, outEnd;
    std::string got, echoed;
    std::thread reader([&] {
        echoed = ReadAll(pty.master, out.size(), 60000);
        outEnd = Clock::now();
    });
    std::thread feeder([&] { WriteAll(pty.master, in); });
    std::thread sender([&] { WriteAll(s, out); });
    got = ReadAll(s, in.size(), 60000);
    inEnd = Clock::now();
    feeder.join();
    sender.join();
    reader.join();
    close(s);
    t.inMBps = static_cast<double>(in.size()) / std::chrono::duration<double>(inEnd - start).count() / 1e6;
    t.outMBps = static_cast<double>(out.size()) / std::chrono::duration<double>(outEnd - start).count() / 1e6;
    t.intact = got == in && echoed == out;
    std::this_thread::sleep_for(300ms);
    return t;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string TempDir()
{
    const auto dir = std::filesystem::temp_directory_path() / ("vrl-bench-remote-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

// Remote (RFC 2217 or raw TCP through ser2net) and the same pty opened locally take turns;
// medians of the turns. range(0): MB each way; range(1): 1 for bytes all 0xFF; range(2):
// turns; range(3): 1 for ser2net with 64 KB buffers instead of its 64-byte default.
void BM_RemoteVsLocal(benchmark::State& state)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0)) << 20;
    const bool allFF = state.range(1) != 0;
    const int rounds = static_cast<int>(state.range(2));
    const std::string options = state.range(3) ? "    dev-to-net-bufsize: 65536\n    net-to-dev-bufsize: 65536\n" : "";
    for (auto _ : state)
    {
        Pty pty;
        Ser2net server({pty.path}, TempDir(), options);
        if (!server.Start())
        {
            state.SkipWithError("ser2net does not start");
            return;
        }
        std::vector<double> rfcIn, rfcOut, rawIn, rawOut, localIn, localOut, bareIn, bareOut;
        int broken = 0;
        for (int r = 0; r < rounds; ++r)
        {
            const std::string in = Payload(size, allFF, 1000u + static_cast<unsigned>(r));
            const std::string out = Payload(size, allFF, 2000u + static_cast<unsigned>(r));
            const Transfer rfc = Run(pty, server.Rfc2217Url(), in, out);
            const Transfer raw = Run(pty, server.RawUrl(), in, out);
            const Transfer local = Run(pty, pty.path, in, out);
            const Transfer bare = RunBare(pty, server.RawUrl(), in, out);
            broken += !rfc.intact + !raw.intact + !local.intact + !bare.intact;
            bareIn.push_back(bare.inMBps);
            bareOut.push_back(bare.outMBps);
            rfcIn.push_back(rfc.inMBps);
            rfcOut.push_back(rfc.outMBps);
            rawIn.push_back(raw.inMBps);
            rawOut.push_back(raw.outMBps);
            localIn.push_back(local.inMBps);
            localOut.push_back(local.outMBps);
        }
        state.counters["transfers_not_intact"] = broken;
        state.counters["rfc2217_in_MBps"] = Median(rfcIn);
        state.counters["rfc2217_out_MBps"] = Median(rfcOut);
        state.counters["raw_in_MBps"] = Median(rawIn);
        state.counters["raw_out_MBps"] = Median(rawOut);
        state.counters["local_in_MBps"] = Median(localIn);
        state.counters["local_out_MBps"] = Median(localOut);
        state.counters["bare_client_raw_in_MBps"] = Median(bareIn);
        state.counters["bare_client_raw_out_MBps"] = Median(bareOut);
        state.counters["rfc2217_vs_local_in_pct"] = 100 * Median(rfcIn) / Median(localIn);
        state.counters["rfc2217_vs_local_out_pct"] = 100 * Median(rfcOut) / Median(localOut);
        server.Stop();
    }
}
BENCHMARK(BM_RemoteVsLocal)
    ->Args({16, 0, 5, 0})
    ->Args({16, 0, 5, 1})
    ->Args({16, 1, 5, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

unsigned SttySpeed(const std::string& device)
{
    unsigned speed = 0;
    if (FILE* p = popen(("stty -F " + device + " speed").c_str(), "r"))
    {
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
    for (auto _ : state)
    {
        Pty pty;
        Ser2net server({pty.path}, TempDir());
        if (!server.Start())
        {
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
        state.counters["stty_after_open_115200"] = SttySpeed(pty.path);
        port.m_dwBaudRate = 921600;
        port.Configure(); // a change while open goes out at once
        std::this_thread::sleep_for(300ms);
        state.counters["stty_after_change_921600"] = SttySpeed(pty.path);

        server.Stop();
        while (receiver.stopped.load() == 0)
            std::this_thread::sleep_for(1ms);
        port.Redial(&receiver); // what the window does with reconnect on
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        std::this_thread::sleep_for(3s);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        state.counters["cpu_ms_per_s_while_waiting"] =
            (static_cast<double>(b.tv_sec - a.tv_sec) * 1e3 + static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e6) / 3;
        const auto started = Clock::now();
        server.Start();
        while (receiver.connected.load() < 2 && Clock::now() - started < 10s)
            std::this_thread::sleep_for(1ms);
        state.counters["back_after_start_ms"] = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        std::this_thread::sleep_for(300ms);
        WriteAll(pty.master, "back");
        const auto until = Clock::now() + 5s;
        while (receiver.count.load() < 4 && Clock::now() < until)
            std::this_thread::sleep_for(1ms);
        state.counters["data_after_restart"] = receiver.bytes == "back";
        state.counters["stty_after_restart_921600"] = SttySpeed(pty.path);
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
    for (auto _ : state)
    {
        std::vector<std::unique_ptr<Pty>> ptys;
        std::vector<std::string> paths;
        for (int i = 0; i < kPorts; ++i)
        {
            ptys.push_back(std::make_unique<Pty>());
            paths.push_back(ptys.back()->path);
        }
        Ser2net server(paths, TempDir());
        if (!server.Start())
        {
            state.SkipWithError("ser2net does not start");
            return;
        }
        std::vector<std::unique_ptr<Collector>> receivers;
        std::vector<std::unique_ptr<SerialPort>> ports;
        for (int i = 0; i < kPorts; ++i)
        {
            receivers.push_back(std::make_unique<Collector>());
            ports.push_back(std::make_unique<SerialPort>());
            ports.back()->Open(receivers.back().get(), static_cast<unsigned>(i), server.Rfc2217Url(static_cast<std::size_t>(i)));
        }
        for (auto& r : receivers)
            while (r->connected.load() == 0)
                std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(300ms);
        auto next = Clock::now();
        for (int m = 0; m < messages; ++m)
        {
            std::this_thread::sleep_until(next);
            next += 25ms;
            char text[16];
            std::snprintf(text, sizeof text, "%09d\xff", m);
            for (auto& p : ptys)
                WriteAll(p->master, std::string(text, 10));
        }
        std::this_thread::sleep_for(500ms);
        int complete = 0;
        for (auto& r : receivers)
        {
            std::string expected;
            for (int m = 0; m < messages; ++m)
            {
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
