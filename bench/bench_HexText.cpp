// The receive path turns every message (up to 4096 bytes) into hex text, and a typed line
// is checked before it is sent: both must stay far below a millisecond.
#include "core/send/CheckCode.h"
#include "core/text/HexText.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Message4096()
{
    std::vector<unsigned char> bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 37 + 11);
    return bytes;
}

void BM_BytesToHexText4096(benchmark::State& state)
{
    const auto bytes = Message4096();
    for (auto _ : state)
        benchmark::DoNotOptimize(BytesToHexText(bytes.data(), 4096));
}
BENCHMARK(BM_BytesToHexText4096);

void BM_CheckHexText4096(benchmark::State& state)
{
    const auto bytes = Message4096();
    const std::string text = BytesToHexText(bytes.data(), 4096);
    std::string message;
    int position = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckHexText(text, message, position));
}
BENCHMARK(BM_CheckHexText4096);

void BM_HexTextToBytes4096(benchmark::State& state)
{
    const auto bytes = Message4096();
    const std::string text = BytesToHexText(bytes.data(), 4096);
    std::vector<unsigned char> out;
    for (auto _ : state)
        benchmark::DoNotOptimize(HexTextToBytes(text, out));
}
BENCHMARK(BM_HexTextToBytes4096);

void BM_CrcCcitt16_4096(benchmark::State& state)
{
    const auto bytes = Message4096();
    const CCheckCode cc;
    for (auto _ : state)
        benchmark::DoNotOptimize(cc.CrcCcitt16(bytes.data(), 4096));
}
BENCHMARK(BM_CrcCcitt16_4096);

void BM_CrcAnsi16_4096(benchmark::State& state)
{
    const auto bytes = Message4096();
    const CCheckCode cc;
    for (auto _ : state)
        benchmark::DoNotOptimize(cc.CrcAnsi16(bytes.data(), 4096));
}
BENCHMARK(BM_CrcAnsi16_4096);

void BM_CrcCcitt8_4096(benchmark::State& state)
{
    const auto bytes = Message4096();
    const CCheckCode cc;
    for (auto _ : state)
        benchmark::DoNotOptimize(cc.CrcCcitt8(bytes.data(), 4096));
}
BENCHMARK(BM_CrcCcitt8_4096);

} // namespace

BENCHMARK_MAIN();
