// Scripts: expect over a megabyte of one-byte messages (linear in the bytes seen), the
// accuracy of its total time-out, and how soon the watchdog and the memory cap end a
// runaway script. The ports are left out: messages are published into the traffic as the
// ports' workers publish them.
#include "core/script/ScriptRunner.h"
#include "core/traffic/PortTraffic.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <future>
#include <mutex>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

class Host : public ScriptHost
{
public:
    int FindPort(const std::string& name) override { return name == "COM1" ? 0 : -1; }
    bool Send(unsigned, std::vector<std::uint8_t>, std::string) override { return true; }
    bool SetOutputLine(unsigned, unsigned, bool) override { return true; }
    bool SetBreak(unsigned, bool) override { return true; }
    bool DecodesModbus(unsigned) override { return false; }
    void Log(const std::string&) override {}
    void Output(const std::string& text, bool) override
    {
        std::lock_guard lock(m_mutex);
        m_said = text;
        m_changed.notify_all();
    }
    void Ended(const ScriptEnd&) override { m_ended.set_value(Clock::now()); }

    void WaitFor(const std::string& text)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_said == text; });
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_said;
    std::promise<Clock::time_point> m_ended;
};

double CpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void Publish(PortTraffic& traffic, const char* bytes, std::size_t count)
{
    TrafficMessage message;
    message.m_bytes = reinterpret_cast<const std::uint8_t*>(bytes);
    message.m_count = count;
    traffic.Publish(message);
}

// A megabyte in one-byte messages before the match. The figure: the process's CPU time from
// the first byte to the match, the publishing included (cpu_ms).
void BM_ExpectMegabyteOfSingleBytes(benchmark::State& state)
{
    const char* pattern = state.range(0) == 0 ? "pattern='END'" : "pattern='E%u+D'";
    for (auto _ : state) {
        Host host;
        PortTraffic traffic;
        ScriptRunner runner(host, traffic, "b.lua",
                            "local p = vrl.port('COM1') print('ready') print(p:expect{"
                                + std::string(pattern) + ", timeout = 60000})");
        runner.Start();
        host.WaitFor("ready");
        const double cpu = CpuSeconds();
        for (int i = 0; i < (1 << 20); ++i)
            Publish(traffic, "x", 1);
        Publish(traffic, "END", 3);
        host.WaitFor("END");
        state.counters["cpu_ms"] = (CpuSeconds() - cpu) * 1000.0;
        runner.Join();
    }
}
BENCHMARK(BM_ExpectMegabyteOfSingleBytes)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// A 100 ms time-out while a byte comes every millisecond: how far from 100 ms it ends.
void BM_ExpectTimeOut(benchmark::State& state)
{
    for (auto _ : state) {
        Host host;
        PortTraffic traffic;
        ScriptRunner runner(host, traffic, "b.lua",
                            "local p = vrl.port('COM1') print('ready') local t = vrl.now() "
                            "p:expect{pattern = 'never', timeout = 100} "
                            "print(string.format('%.3f', (vrl.now() - t) * 1000))");
        runner.Start();
        host.WaitFor("ready");
        auto ended = host.m_ended.get_future();
        while (ended.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            Publish(traffic, "x", 1);
        state.counters["off_ms"] = std::stod(host.m_said) - 100.0;
    }
}
BENCHMARK(BM_ExpectTimeOut)->Unit(benchmark::kMillisecond)->Iterations(10);

// while true do end, and a gigabyte asked for: from the start to the script's end.
void BM_RunawayEnds(benchmark::State& state)
{
    const char* script = state.range(0) == 0 ? "print('go') while true do end"
                                             : "print('go') local t = {} for i = 1, 1 << 20 do "
                                               "t[i] = ('x'):rep(1024) .. i end";
    for (auto _ : state) {
        Host host;
        PortTraffic traffic;
        ScriptRunner runner(host, traffic, "b.lua", script);
        auto ended = host.m_ended.get_future();
        runner.Start();
        host.WaitFor("go");
        const auto start = Clock::now();
        state.counters["end_ms"] =
            std::chrono::duration<double, std::milli>(ended.get() - start).count();
    }
}
BENCHMARK(BM_RunawayEnds)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
