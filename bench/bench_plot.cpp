// The plot's history: an hour of 8 channels at 1000 samples a second each (28.8 M samples)
// as they come from a bench: 4 registers that wander (whole numbers), 2 float32 registers, 2
// text values with two decimals. What it keeps in memory, how fast samples go in, and how
// long a picture of 1500 columns of all 8 channels takes over spans from a second to the
// hour at random places (median and 99th percentile of 400 pictures).
#include "core/plot/PlotHistory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kChannels = 8;
constexpr std::int64_t kSeconds = 3600;
constexpr std::int64_t kRate = 1000;

double Value(int channel, std::int64_t i, std::mt19937& random)
{
    static double walk[4] = {};
    if (channel < 4)
        return walk[channel] += static_cast<int>(random() % 7) - 3;
    if (channel < 6)
        return static_cast<float>(20 + 5 * std::sin(double(i) * 1e-4 * (channel + 1)));
    return std::round((40 + 10 * std::sin(double(i) * 3e-5) + (random() % 100) * 0.01) * 100) / 100;
}

std::vector<PlotHistory>& Hour()
{
    static std::vector<PlotHistory> histories = [] {
        std::vector<PlotHistory> h(kChannels);
        std::mt19937 random(1);
        for (std::int64_t i = 0; i < kSeconds * kRate; ++i) {
            // Samples 1 ms apart with a few µs of jitter, as a port's messages come.
            const std::int64_t time = i * 1000 + static_cast<std::int64_t>(random() % 50);
            for (int c = 0; c < kChannels; ++c)
                h[static_cast<std::size_t>(c)].Append(time, Value(c, i, random));
        }
        return h;
    }();
    return histories;
}

void BM_PlotKeepAnHour(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<PlotHistory>& hour = Hour();
        benchmark::DoNotOptimize(hour.data());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::size_t bytes = 0;
        std::uint64_t samples = 0;
        for (const PlotHistory& h : hour) {
            bytes += h.MemoryBytes();
            samples += h.Count();
        }
        state.counters["MB"] = double(bytes) / (1024 * 1024);
        state.counters["bytes_per_sample"] = double(bytes) / double(samples);
        if (seconds > 0.5) // the first call builds the hour
            state.counters["Msamples_per_s"] = double(samples) / seconds / 1e6;
    }
}
BENCHMARK(BM_PlotKeepAnHour)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PlotPicture(benchmark::State& state)
{
    const std::int64_t spanUs = state.range(0) * 1'000'000;
    std::vector<PlotHistory>& hour = Hour();
    std::mt19937 random(2);
    std::vector<double> ms;
    for (auto _ : state) {
        ms.clear();
        for (int n = 0; n < 400; ++n) {
            const std::int64_t last = kSeconds * 1'000'000 - spanUs;
            const std::int64_t from =
                last > 0 ? static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(last))
                         : 0;
            const auto start = std::chrono::steady_clock::now();
            for (const PlotHistory& h : hour)
                benchmark::DoNotOptimize(
                    h.Columns(from, from + spanUs, 1500, PlotHistory::Fit::Pixel).data());
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
    }
    std::sort(ms.begin(), ms.end());
    state.counters["p50_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
}
BENCHMARK(BM_PlotPicture)
    ->Arg(1)
    ->Arg(60)
    ->Arg(600)
    ->Arg(3600)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();
