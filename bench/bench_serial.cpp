// Serial engine figures on a pseudo-terminal pair: packing accuracy, throughput next to
// `cat` of the same kind of pseudo-terminal, and the CPU an idle open port costs.
#include "core/receive/PortReceiver.h"
#include "core/serial/SerialLine.h"
#include "core/serial/SerialPort.h"

#include "PtyPair.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

void WriteAll(int fd, const char* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = write(fd, p, n);
        if (w <= 0)
            return;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

void SleepUntil(Clock::time_point t)
{
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(
        v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
    return v[i];
}

struct TimedReceiver : PortReceiver
{
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> messages;
    std::vector<Clock::time_point> times;
    void OnPortData(unsigned, std::vector<std::uint8_t> bytes) override
    {
        const auto now = Clock::now();
        std::lock_guard lock(mutex);
        messages.push_back(std::move(bytes));
        times.push_back(now);
    }
    void OnPortStopped(unsigned, std::string) override {}
};

struct CountingReceiver : PortReceiver
{
    std::atomic<std::size_t> bytes{0};
    void OnPortData(unsigned, std::vector<std::uint8_t> data) override { bytes += data.size(); }
    void OnPortStopped(unsigned, std::string) override {}
};

// 1,000 messages at a 20 ms interval. Each message is sent in two halves 15 ms apart
// (interval - 5: must not split) and the next message follows 25 ms after the second half
// (interval + 5: must not merge). Every byte names its message, so the deliveries show
// merges and splits; the delay is from writing the last byte to the delivery, less the
// interval.
void BM_SerialPackingAccuracy(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::uint32_t interval = 20;
    for (auto _ : state) {
        PtyPair pty;
        TimedReceiver receiver;
        SerialPort port;
        port.m_dwPackInterval = interval;
        if (!port.Open(&receiver, 0, pty.Path())) {
            state.SkipWithError("open failed");
            return;
        }
        std::vector<Clock::time_point> lastByte(static_cast<std::size_t>(count));
        std::vector<double> innerGap, outerGap;
        auto t = Clock::now() + std::chrono::milliseconds(50);
        Clock::time_point previousEnd{};
        for (int i = 0; i < count; ++i) {
            const std::string half(5, static_cast<char>(i % 250 + 1));
            SleepUntil(t);
            WriteAll(pty.Master(), half.data(), half.size());
            const auto first = Clock::now();
            if (i > 0)
                outerGap.push_back(
                    std::chrono::duration<double, std::milli>(first - previousEnd).count());
            SleepUntil(t + std::chrono::milliseconds(interval - 5));
            WriteAll(pty.Master(), half.data(), half.size());
            lastByte[static_cast<std::size_t>(i)] = previousEnd = Clock::now();
            innerGap.push_back(
                std::chrono::duration<double, std::milli>(previousEnd - first).count());
            t += std::chrono::milliseconds(interval - 5 + interval + 5);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        port.Close();

        int merged = 0, split = 0, mergedDespiteGap = 0, splitDespiteGap = 0;
        std::vector<int> pieces(static_cast<std::size_t>(count), 0);
        std::vector<double> delays;
        int message = -1; // deliveries come in order; track which message each byte is in
        std::vector<int> ids;
        for (std::size_t d = 0; d < receiver.messages.size(); ++d) {
            const auto& bytes = receiver.messages[d];
            int first = -1, last = -1;
            for (std::uint8_t b : bytes) {
                // Ids repeat every 250 messages; the order of arrival tells them apart.
                if (message < 0 || (b != static_cast<std::uint8_t>(message % 250 + 1)))
                    ++message;
                if (first < 0)
                    first = message;
                last = message;
            }
            if (first != last) {
                ++merged;
                // Whether the sender itself kept the gap (it may be late on a busy machine).
                for (int m = first; m < last && m + 1 < count; ++m)
                    if (outerGap[static_cast<std::size_t>(m)] >= interval + 4.0) {
                        ++mergedDespiteGap;
                        break;
                    }
            }
            for (int m = first; m <= last && m < count; ++m)
                ++pieces[static_cast<std::size_t>(m)];
            ids.push_back(first == last ? last : -1);
        }
        for (int m = 0; m < count; ++m)
            if (pieces[static_cast<std::size_t>(m)] > 1) {
                ++split;
                if (innerGap[static_cast<std::size_t>(m)] <= interval - 4.0)
                    ++splitDespiteGap;
            }
        // The delay of each message delivered whole, alone.
        for (std::size_t d = 0; d < ids.size(); ++d) {
            const int m = ids[d];
            if (m < 0 || m >= count || pieces[static_cast<std::size_t>(m)] != 1)
                continue;
            const auto late = receiver.times[d] - lastByte[static_cast<std::size_t>(m)];
            delays.push_back(std::chrono::duration<double, std::milli>(late).count() - interval);
        }
        state.counters["messages_sent"] = count;
        state.counters["deliveries"] = static_cast<double>(receiver.messages.size());
        state.counters["merged"] = merged;
        state.counters["split"] = split;
        state.counters["merged_sender_gap_kept"] = mergedDespiteGap;
        state.counters["split_sender_gap_kept"] = splitDespiteGap;
        state.counters["delay_ms_median"] = Percentile(delays, 0.5);
        state.counters["delay_ms_p99"] = Percentile(delays, 0.99);
        state.counters["delay_ms_max"] = Percentile(delays, 1.0);
        // How well the sender kept its own gaps on this machine (a late sender is no fault
        // of the port, but it is shown so the counts can be judged).
        state.counters["sent_inner_gap_ms_max"] = Percentile(innerGap, 1.0);
        state.counters["sent_outer_gap_ms_min"] = Percentile(outerGap, 0.0);
    }
}
BENCHMARK(BM_SerialPackingAccuracy)
    ->Arg(1000)
    ->Arg(100)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The floor under the figures above: how late a plain blocking read of the same kind of
// pseudo-terminal sees a byte after the far end wrote it (no packing, no port object).
void BM_SerialPtyRawLatency(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        PtyPair pty;
        SerialLine::LineSettings line;
        SerialLine::Configure(pty.Slave(), line);
        const int flags = fcntl(pty.Slave(), F_GETFL);
        fcntl(pty.Slave(), F_SETFL, flags & ~O_NONBLOCK);
        std::vector<Clock::time_point> sent(static_cast<std::size_t>(count)),
            seen(static_cast<std::size_t>(count));
        std::thread reader([&] {
            char c = 0;
            for (int i = 0; i < count && read(pty.Slave(), &c, 1) == 1; ++i)
                seen[static_cast<std::size_t>(i)] = Clock::now();
        });
        auto t = Clock::now() + std::chrono::milliseconds(20);
        for (int i = 0; i < count; ++i) {
            SleepUntil(t);
            sent[static_cast<std::size_t>(i)] = Clock::now();
            WriteAll(pty.Master(), "x", 1);
            t += std::chrono::milliseconds(10);
        }
        reader.join();
        std::vector<double> late;
        for (int i = 0; i < count; ++i)
            late.push_back(
                std::chrono::duration<double, std::milli>(seen[static_cast<std::size_t>(i)]
                                                          - sent[static_cast<std::size_t>(i)])
                    .count());
        state.counters["late_ms_median"] = Percentile(late, 0.5);
        state.counters["late_ms_p99"] = Percentile(late, 0.99);
        state.counters["late_ms_max"] = Percentile(late, 1.0);
        int over4 = 0;
        for (double v : late)
            over4 += v > 4.0;
        state.counters["late_over_4ms"] = over4;
    }
}
BENCHMARK(BM_SerialPtyRawLatency)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr std::size_t kStreamBytes = 64u << 20;

void Feed(int master, std::size_t total)
{
    std::string chunk(64 * 1024, '\x55');
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i * 31);
    std::size_t sent = 0;
    while (sent < total) {
        const std::size_t n = std::min(chunk.size(), total - sent);
        WriteAll(master, chunk.data(), n);
        sent += n;
    }
}

// Seconds for the port to deliver kStreamBytes fed as fast as they go, to a receiver that
// only counts.
double PortRun()
{
    PtyPair pty;
    CountingReceiver receiver;
    SerialPort port;
    port.m_dwPackInterval = 20;
    if (!port.Open(&receiver, 0, pty.Path()))
        return -1;
    const auto start = Clock::now();
    std::thread writer(Feed, pty.Master(), kStreamBytes);
    while (receiver.bytes.load() < kStreamBytes)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    const auto end = Clock::now();
    writer.join();
    port.Close();
    return std::chrono::duration<double>(end - start).count();
}

// The same for `cat` of the same kind of pseudo-terminal (raw mode, the same settings) into
// a file on tmpfs, timed until the file holds every byte.
double CatRun()
{
    PtyPair pty;
    SerialLine::LineSettings line;
    SerialLine::Configure(pty.Slave(), line);
    char outName[] = "/dev/shm/vrl-bench-cat-XXXXXX";
    const int out = mkstemp(outName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    const std::string path = pty.Path();
    char* argv[] = {const_cast<char*>("cat"), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    const bool started = posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    double seconds = -1;
    if (started) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // cat has opened the pty
        const auto start = Clock::now();
        std::thread writer(Feed, pty.Master(), kStreamBytes);
        struct stat st
        {
        };
        while (fstat(out, &st) == 0 && static_cast<std::size_t>(st.st_size) < kStreamBytes)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        writer.join();
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    close(out);
    unlink(outName);
    return seconds;
}

// Port and cat take turns, so that the load of a shared machine falls on both alike; the
// figures are the medians of the rounds, in MB/s (10^6 bytes).
void BM_SerialThroughputVsCat(benchmark::State& state)
{
    const int rounds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<double> port, cat;
        for (int i = 0; i < rounds; ++i) {
            const double p = PortRun();
            const double c = CatRun();
            if (p <= 0 || c <= 0) {
                state.SkipWithError("cannot run the port or cat");
                return;
            }
            port.push_back(static_cast<double>(kStreamBytes) / p / 1e6);
            cat.push_back(static_cast<double>(kStreamBytes) / c / 1e6);
        }
        const double portMedian = Percentile(port, 0.5);
        const double catMedian = Percentile(cat, 0.5);
        state.counters["port_MBps_median"] = portMedian;
        state.counters["cat_MBps_median"] = catMedian;
        state.counters["port_vs_cat_pct"] = 100.0 * portMedian / catMedian;
        state.counters["port_MBps_min"] = Percentile(port, 0.0);
        state.counters["cat_MBps_min"] = Percentile(cat, 0.0);
    }
}
BENCHMARK(BM_SerialThroughputVsCat)->Arg(11)->Iterations(1)->Unit(benchmark::kMillisecond);

// An open port with nothing arriving: CPU time of the whole process over 2 s of rest.
void BM_SerialIdleCpu(benchmark::State& state)
{
    for (auto _ : state) {
        PtyPair pty;
        CountingReceiver receiver;
        SerialPort port;
        if (!port.Open(&receiver, 0, pty.Path())) {
            state.SkipWithError("open failed");
            return;
        }
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        port.Close();
        const double cpu = static_cast<double>(b.tv_sec - a.tv_sec)
                           + static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e9;
        state.counters["cpu_ms_per_s"] = cpu * 1000.0 / 2.0;
    }
}
BENCHMARK(BM_SerialIdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
