// Serial engine figures on a pseudo-terminal pair: packing accuracy, throughput next to
// `cat` of the same kind of pseudo-terminal, and the CPU an idle open port costs.
#include "PortReceiver.h"
#include "SerialLine.h"
#include "SerialPort.h"

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pty.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
using Clock = std::chrono::steady_clock;

struct Pty
{
    int master = -1;
    int slave = -1;
    std::string path;
    Pty()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    ~Pty()
    {
        close(master);
        close(slave);
    }
};

void WriteAll(int fd, const char* p, std::size_t n)
{
    while (n > 0)
    {
        const ssize_t w = write(fd, p, n);
        if (w <= 0)
            return;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

void SleepUntil(Clock::time_point t)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR)
    {
    }
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t i = std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
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
    for (auto _ : state)
    {
        Pty pty;
        TimedReceiver receiver;
        SerialPort port;
        port.m_dwPackInterval = interval;
        if (!port.Open(&receiver, 0, pty.path))
        {
            state.SkipWithError("open failed");
            return;
        }
        std::vector<Clock::time_point> lastByte(static_cast<std::size_t>(count));
        std::vector<double> innerGap, outerGap;
        auto t = Clock::now() + std::chrono::milliseconds(50);
        Clock::time_point previousEnd{};
        for (int i = 0; i < count; ++i)
        {
            const std::string half(5, static_cast<char>(i % 250 + 1));
            SleepUntil(t);
            WriteAll(pty.master, half.data(), half.size());
            const auto first = Clock::now();
            if (i > 0)
                outerGap.push_back(std::chrono::duration<double, std::milli>(first - previousEnd).count());
            SleepUntil(t + std::chrono::milliseconds(interval - 5));
            WriteAll(pty.master, half.data(), half.size());
            lastByte[static_cast<std::size_t>(i)] = previousEnd = Clock::now();
            innerGap.push_back(std::chrono::duration<double, std::milli>(previousEnd - first).count());
            t += std::chrono::milliseconds(interval - 5 + interval + 5);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        port.Close();

        int merged = 0, split = 0, mergedDespiteGap = 0, splitDespiteGap = 0;
        std::vector<int> pieces(static_cast<std::size_t>(count), 0);
        std::vector<double> delays;
        int message = -1; // deliveries come in order; track which message each byte is in
        std::vector<int> ids;
        for (std::size_t d = 0; d < receiver.messages.size(); ++d)
        {
            const auto& bytes = receiver.messages[d];
            int first = -1, last = -1;
            for (std::uint8_t b : bytes)
            {
                // Ids repeat every 250 messages; the order of arrival tells them apart.
                if (message < 0 || (b != static_cast<std::uint8_t>(message % 250 + 1)))
                    ++message;
                if (first < 0)
                    first = message;
                last = message;
            }
            if (first != last)
            {
                ++merged;
                // Whether the sender itself kept the gap (it may be late on a busy machine).
                for (int m = first; m < last && m + 1 < count; ++m)
                    if (outerGap[static_cast<std::size_t>(m)] >= interval + 4.0)
                    {
                        ++mergedDespiteGap;
                        break;
                    }
            }
            for (int m = first; m <= last && m < count; ++m)
                ++pieces[static_cast<std::size_t>(m)];
            ids.push_back(first == last ? last : -1);
        }
        for (int m = 0; m < count; ++m)
            if (pieces[static_cast<std::size_t>(m)] > 1)
            {
                ++split;
                if (innerGap[static_cast<std::size_t>(m)] <= interval - 4.0)
                    ++splitDespiteGap;
            }
        // The delay of each message delivered whole, alone.
        for (std::size_t d = 0; d < ids.size(); ++d)
        {
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
BENCHMARK(BM_SerialPackingAccuracy)->Arg(1000)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr std::size_t kStreamBytes = 64u << 20;

void Feed(int master, std::size_t total)
{
    std::string chunk(64 * 1024, '\x55');
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>(i * 31);
    std::size_t sent = 0;
    while (sent < total)
    {
        const std::size_t n = std::min(chunk.size(), total - sent);
        WriteAll(master, chunk.data(), n);
        sent += n;
    }
}

// The port reading a pseudo-terminal fed as fast as it goes, into a receiver that only counts.
void BM_SerialThroughputPort(benchmark::State& state)
{
    for (auto _ : state)
    {
        Pty pty;
        CountingReceiver receiver;
        SerialPort port;
        port.m_dwPackInterval = 20;
        if (!port.Open(&receiver, 0, pty.path))
        {
            state.SkipWithError("open failed");
            return;
        }
        const auto start = Clock::now();
        std::thread writer(Feed, pty.master, kStreamBytes);
        while (receiver.bytes.load() < kStreamBytes)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto end = Clock::now();
        writer.join();
        port.Close();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamBytes));
}
BENCHMARK(BM_SerialThroughputPort)->UseManualTime()->Iterations(3)->Repetitions(3)->Unit(benchmark::kMillisecond);

// `cat` of the same kind of pseudo-terminal (raw mode, the same settings) into a file on
// tmpfs, timed until the file holds every byte.
void BM_SerialThroughputCat(benchmark::State& state)
{
    for (auto _ : state)
    {
        Pty pty;
        SerialLine::LineSettings line;
        SerialLine::Configure(pty.slave, line);
        char outName[] = "/dev/shm/vrl-bench-cat-XXXXXX";
        const int out = mkstemp(outName);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out, 1);
        const std::string path = pty.path;
        char* argv[] = {const_cast<char*>("cat"), const_cast<char*>(path.c_str()), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) != 0)
        {
            state.SkipWithError("cannot start cat");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // cat has opened the pty
        const auto start = Clock::now();
        std::thread writer(Feed, pty.master, kStreamBytes);
        struct stat st{};
        while (fstat(out, &st) == 0 && static_cast<std::size_t>(st.st_size) < kStreamBytes)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto end = Clock::now();
        writer.join();
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out);
        unlink(outName);
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamBytes));
}
BENCHMARK(BM_SerialThroughputCat)->UseManualTime()->Iterations(3)->Repetitions(3)->Unit(benchmark::kMillisecond);

// An open port with nothing arriving: CPU time of the whole process over 2 s of rest.
void BM_SerialIdleCpu(benchmark::State& state)
{
    for (auto _ : state)
    {
        Pty pty;
        CountingReceiver receiver;
        SerialPort port;
        if (!port.Open(&receiver, 0, pty.path))
        {
            state.SkipWithError("open failed");
            return;
        }
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        port.Close();
        const double cpu = static_cast<double>(b.tv_sec - a.tv_sec) + static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e9;
        state.counters["cpu_ms_per_s"] = cpu * 1000.0 / 2.0;
    }
}
BENCHMARK(BM_SerialIdleCpu)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
