// MODBUS RTU decoding on a generated tap session: a master's requests received on one port,
// the slaves' answers on the other, every frame cut into the pieces a USB adapter delivers
// (up to 62 bytes, 16 to 35 ms apart), 1 % of frames with a wrong CRC, stretches of random
// noise between transactions. Speed of the framers alone and of the whole decoding (framers,
// describer, pairer); the quality figures are counters of the same run.
#include "core/decode/DecoderSet.h"
#include "core/decode/LineTiming.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/modbus/ModbusRtuFramer.h"
#include "core/serial/PortSettings.h"
#include "core/text/CoreText.h"
#include "core/text/QmCatalogue.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t kPackMs = 20;

struct Piece
{
    std::int64_t m_handOverMs;
    unsigned m_port; // 0 requests, 1 answers
    std::vector<std::uint8_t> m_bytes;
};

struct Expected
{
    std::vector<std::uint8_t> m_bytes;
    bool m_crcOk;
    bool m_pairedAnswer = false; // an answer to an intact request
    std::int64_t m_delayMs = 0;  // from the request's last byte to its first
};

struct Corpus
{
    std::vector<Piece> m_pieces; // in hand-over order
    std::vector<Expected> m_frames[2];
    std::size_t m_frameBytes = 0;
    std::size_t m_noiseBytes = 0;
    std::size_t m_totalBytes = 0;
};

class Generator
{
public:
    Generator(std::uint32_t seed, double charMs) : m_random(seed), m_charMs(charMs) {}

    Corpus Make(int transactions, double noiseShare)
    {
        Corpus c;
        std::int64_t t = 0;
        for (int i = 0; i < transactions; ++i) {
            if (Chance(noiseShare)) {
                t = Noise(c, Uniform(0, 1), t) + 100 + Uniform(0, 100);
            }
            const std::uint8_t slave = static_cast<std::uint8_t>(Uniform(1, 247));
            const int functions[] = {1, 2, 3, 4, 5, 6, 15, 16, 23};
            const int fc = functions[Uniform(0, 8)];
            std::vector<std::uint8_t> request;
            std::vector<std::uint8_t> answer;
            MakePair(slave, static_cast<std::uint8_t>(fc), request, answer);
            const bool requestOk = Finish(request);
            const std::int64_t requestEnd = Deliver(c, 0, request, requestOk, t);
            if (requestOk) {
                const std::int64_t delay = Uniform(5, 50);
                const bool answerOk = Finish(answer);
                t = Deliver(c, 1, answer, answerOk, requestEnd + delay);
                c.m_frames[1].back().m_pairedAnswer = true;
                c.m_frames[1].back().m_delayMs = delay;
            } else {
                t = requestEnd;
            }
            t += 100 + Uniform(0, 200);
        }
        std::stable_sort(c.m_pieces.begin(), c.m_pieces.end(), [](const Piece& a, const Piece& b) {
            return a.m_handOverMs < b.m_handOverMs;
        });
        c.m_totalBytes = c.m_frameBytes + c.m_noiseBytes;
        return c;
    }

    // Random bytes only, in pieces, in stretches with silence between.
    Corpus MakeNoise(std::size_t bytes)
    {
        Corpus c;
        std::int64_t t = 0;
        while (c.m_noiseBytes < bytes)
            t = Noise(c, 0, t) + 200;
        c.m_totalBytes = c.m_noiseBytes;
        return c;
    }

private:
    int Uniform(int low, int high)
    {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Uniform(0, 255)); }

    static void Put16(std::vector<std::uint8_t>& f, int v)
    {
        f.push_back(static_cast<std::uint8_t>(v >> 8));
        f.push_back(static_cast<std::uint8_t>(v));
    }

    void MakePair(std::uint8_t slave, std::uint8_t fc, std::vector<std::uint8_t>& request,
                  std::vector<std::uint8_t>& answer)
    {
        request = {slave, fc};
        answer = {slave, fc};
        const int start = Uniform(0, 65000);
        if (Chance(0.05)) { // an exception answers
            answer = {slave, static_cast<std::uint8_t>(fc | 0x80),
                      static_cast<std::uint8_t>(Uniform(1, 4))};
        }
        const bool exception = answer.size() == 3;
        switch (fc) {
        case 1:
        case 2:
        case 3:
        case 4: {
            const int quantity = fc <= 2 ? Uniform(1, 2000) : Uniform(1, 125);
            Put16(request, start);
            Put16(request, quantity);
            const int bytes = fc <= 2 ? (quantity + 7) / 8 : 2 * quantity;
            if (!exception) {
                answer.push_back(static_cast<std::uint8_t>(bytes));
                for (int i = 0; i < bytes; ++i)
                    answer.push_back(Byte());
            }
            break;
        }
        case 5:
        case 6:
            Put16(request, start);
            Put16(request, fc == 5 ? (Chance(0.5) ? 0xFF00 : 0) : Uniform(0, 65535));
            if (!exception)
                answer = request;
            break;
        case 15:
        case 16: {
            const int quantity = fc == 15 ? Uniform(1, 1968) : Uniform(1, 123);
            const int bytes = fc == 15 ? (quantity + 7) / 8 : 2 * quantity;
            Put16(request, start);
            Put16(request, quantity);
            if (!exception)
                answer = request;
            request.push_back(static_cast<std::uint8_t>(bytes));
            for (int i = 0; i < bytes; ++i)
                request.push_back(Byte());
            break;
        }
        default: { // 23
            const int reads = Uniform(1, 125);
            const int writes = Uniform(1, 121);
            Put16(request, start);
            Put16(request, reads);
            Put16(request, Uniform(0, 65000));
            Put16(request, writes);
            request.push_back(static_cast<std::uint8_t>(2 * writes));
            for (int i = 0; i < 2 * writes; ++i)
                request.push_back(Byte());
            if (!exception) {
                answer.push_back(static_cast<std::uint8_t>(2 * reads));
                for (int i = 0; i < 2 * reads; ++i)
                    answer.push_back(Byte());
            }
            break;
        }
        }
    }

    // Appends the CRC; 1 % of frames get a wrong one. True when it is right.
    bool Finish(std::vector<std::uint8_t>& f)
    {
        std::uint16_t crc = ModbusCrc(f.data(), f.size());
        const bool ok = !Chance(0.01);
        if (!ok)
            crc ^= static_cast<std::uint16_t>(1u << Uniform(0, 15));
        f.push_back(static_cast<std::uint8_t>(crc));
        f.push_back(static_cast<std::uint8_t>(crc >> 8));
        return ok;
    }

    // The bytes on the line from firstByteMs, cut into pieces; returns the time of the last byte.
    std::int64_t Cut(Corpus& c, unsigned port, const std::vector<std::uint8_t>& bytes,
                     std::int64_t firstByteMs)
    {
        double t = static_cast<double>(firstByteMs);
        double last = t;
        for (std::size_t from = 0; from < bytes.size();) {
            const std::size_t n = std::min<std::size_t>(bytes.size() - from,
                                                        static_cast<std::size_t>(Uniform(1, 62)));
            last = t + static_cast<double>(n - 1) * m_charMs;
            c.m_pieces.push_back(
                {std::llround(last) + kPackMs, port,
                 std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(from + n))});
            from += n;
            t = last + Uniform(16, 35);
        }
        return std::llround(last);
    }

    std::int64_t Deliver(Corpus& c, unsigned port, const std::vector<std::uint8_t>& frame, bool ok,
                         std::int64_t at)
    {
        c.m_frames[port].push_back({frame, ok});
        c.m_frameBytes += frame.size();
        return Cut(c, port, frame, at);
    }

    std::int64_t Noise(Corpus& c, unsigned port, std::int64_t at)
    {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(Uniform(64, 4096)));
        for (auto& b : bytes)
            b = Byte();
        c.m_noiseBytes += bytes.size();
        return Cut(c, port, bytes, at);
    }

    std::mt19937 m_random;
    double m_charMs;
};

PortSettings Line()
{
    PortSettings s;
    s.m_dwBaudRate = 115200;
    s.m_dwPackInterval = kPackMs;
    return s;
}

const Corpus& Session()
{
    static const Corpus c = Generator(26, CharMilliseconds(Line())).Make(20000, 0.05);
    return c;
}

const Corpus& FramesOnly()
{
    static const Corpus c = Generator(28, CharMilliseconds(Line())).Make(20000, 0.0);
    return c;
}

const Corpus& NoiseOnly()
{
    static const Corpus c = Generator(27, CharMilliseconds(Line())).MakeNoise(16u << 20);
    return c;
}

void RunFramers(const Corpus& c, std::vector<ModbusFrame> (&out)[2])
{
    ModbusRtuFramer framers[2];
    for (auto& f : framers)
        f.SetLine(CharMilliseconds(Line()), kPackMs, false);
    for (const Piece& p : c.m_pieces)
        framers[p.m_port].Feed(p.m_bytes.data(), p.m_bytes.size(), p.m_handOverMs, out[p.m_port]);
    const std::int64_t end = c.m_pieces.empty() ? 0 : c.m_pieces.back().m_handOverMs + 10000;
    for (unsigned port = 0; port < 2; ++port)
        framers[port].Poll(end, out[port]);
}

void BM_ModbusFramers(benchmark::State& state)
{
    const Corpus& c = Session();
    for (auto _ : state) {
        std::vector<ModbusFrame> out[2];
        RunFramers(c, out);
        benchmark::DoNotOptimize(out[0].data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.m_totalBytes));

    // Quality: every generated frame found whole, in order, with the right CRC verdict.
    std::vector<ModbusFrame> out[2];
    RunFramers(c, out);
    std::size_t expected = 0, whole = 0, verdicts = 0, extra = 0;
    for (unsigned port = 0; port < 2; ++port) {
        std::size_t next = 0;
        expected += c.m_frames[port].size();
        for (const ModbusFrame& f : out[port]) {
            if (f.m_form == ModbusForm::Noise)
                continue;
            // A frame not found leaves the ones after it to be matched.
            std::size_t at = next;
            while (at < c.m_frames[port].size() && at < next + 64
                   && f.m_bytes != c.m_frames[port][at].m_bytes)
                ++at;
            if (at < c.m_frames[port].size() && f.m_bytes == c.m_frames[port][at].m_bytes) {
                ++whole;
                verdicts += f.m_crcOk == c.m_frames[port][at].m_crcOk;
                next = at + 1;
            } else {
                ++extra;
            }
        }
    }
    state.counters["frames"] = static_cast<double>(expected);
    state.counters["whole_pct"] =
        100.0 * static_cast<double>(whole) / static_cast<double>(expected);
    state.counters["crc_right_pct"] =
        100.0 * static_cast<double>(verdicts) / static_cast<double>(whole);
    state.counters["false_frames"] = static_cast<double>(extra);
    state.counters["noise_MB"] = static_cast<double>(c.m_noiseBytes) / 1e6;
}
BENCHMARK(BM_ModbusFramers)->Unit(benchmark::kMillisecond);

// The same without noise: the speed on frames alone.
void BM_ModbusFramersFramesOnly(benchmark::State& state)
{
    const Corpus& c = FramesOnly();
    for (auto _ : state) {
        std::vector<ModbusFrame> out[2];
        RunFramers(c, out);
        benchmark::DoNotOptimize(out[0].data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.m_totalBytes));
}
BENCHMARK(BM_ModbusFramersFramesOnly)->Unit(benchmark::kMillisecond);

// The whole decoding of the tap: framers, pairing across the pair, words for every frame.
void RunMonitorTap(benchmark::State& state)
{
    const Corpus& c = Session();
    std::size_t paired = 0, delayRight = 0;
    for (auto _ : state) {
        DecoderSet monitor;
        monitor.Add(std::make_unique<ModbusDecoder>());
        monitor.SetLineSource([](unsigned, PortSettings& s) {
            s = Line();
            return true;
        });
        monitor.SetEnabled(ModbusDecoder::kName, 0, true);
        monitor.SetEnabled(ModbusDecoder::kName, 1, true);
        std::size_t answer = 0;
        paired = delayRight = 0;
        monitor.AddListener([&](const DecodedRecord& decoded) {
            const auto& r = static_cast<const ModbusRecord&>(decoded);
            if (r.m_port != 1 || r.m_frame.m_form == ModbusForm::Noise || r.m_delayMs < 0)
                return;
            while (answer < c.m_frames[1].size()
                   && c.m_frames[1][answer].m_bytes != r.m_frame.m_bytes)
                ++answer;
            if (answer < c.m_frames[1].size() && c.m_frames[1][answer].m_pairedAnswer
                && r.m_paired) {
                ++paired;
                delayRight += std::llabs(r.m_delayMs - c.m_frames[1][answer].m_delayMs) <= 2;
            }
        });
        std::vector<DecodedLine> lines;
        for (const Piece& p : c.m_pieces) {
            lines.clear();
            monitor.Decode(p.m_port, 1, 1 - static_cast<int>(p.m_port), p.m_bytes.data(),
                           p.m_bytes.size(), p.m_handOverMs, lines);
            benchmark::DoNotOptimize(lines.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.m_totalBytes));
    std::size_t pairs = 0;
    for (const Expected& e : c.m_frames[1])
        pairs += e.m_pairedAnswer;
    state.counters["pairs"] = static_cast<double>(pairs);
    state.counters["paired_pct"] = 100.0 * static_cast<double>(paired) / static_cast<double>(pairs);
    state.counters["delay_right_pct"] =
        100.0 * static_cast<double>(delayRight) / static_cast<double>(paired);
}
void BM_ModbusMonitorTap(benchmark::State& state)
{
    RunMonitorTap(state);
}
BENCHMARK(BM_ModbusMonitorTap)->Unit(benchmark::kMillisecond);

// The same with every word in English, looked up in the catalogue (VRL_BENCH_QM, the
// build's translations/vrl_en.qm) as vrl-capture does.
QmCatalogue g_english;
std::string English(const char* context, const char* source)
{
    std::string text = g_english.Translate(context, source);
    return text.empty() ? std::string(source) : text;
}
void BM_ModbusMonitorTapEnglish(benchmark::State& state)
{
    const char* path = std::getenv("VRL_BENCH_QM");
    if (!path || !g_english.Load(path)) {
        state.SkipWithError("VRL_BENCH_QM does not name an English catalogue");
        return;
    }
    CoreText::SetTranslator(&English);
    RunMonitorTap(state);
    CoreText::SetTranslator(nullptr);
}
BENCHMARK(BM_ModbusMonitorTapEnglish)->Unit(benchmark::kMillisecond);

// 16 MB of random bytes: frames found in them are false.
void BM_ModbusNoise(benchmark::State& state)
{
    const Corpus& c = NoiseOnly();
    std::size_t frames = 0;
    for (auto _ : state) {
        std::vector<ModbusFrame> out[2];
        RunFramers(c, out);
        frames = static_cast<std::size_t>(
            std::count_if(out[0].begin(), out[0].end(),
                          [](const ModbusFrame& f) { return f.m_form != ModbusForm::Noise; }));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.m_totalBytes));
    state.counters["noise_MB"] = static_cast<double>(c.m_noiseBytes) / 1e6;
    state.counters["false_frames"] = static_cast<double>(frames);
    state.counters["false_per_MB"] =
        static_cast<double>(frames) / (static_cast<double>(c.m_noiseBytes) / 1e6);
}
BENCHMARK(BM_ModbusNoise)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
