// Writing and reading a monitor file of 100,000 coloured lines (about 10 MB of text).
//
// Google Benchmark by default; `bench_rtf --memory write|read` instead does one write or one
// read of the same document and prints the process's peak resident size before and after,
// so that the memory a direction needs can be measured on its own.
#include "core/files/RichText.h"
#include "core/files/RtfReader.h"
#include "core/files/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kLines = 100000;
constexpr std::uint32_t kColors[6] = {0x000000, 0xC80000, 0x008000, 0x0000C8, 0xC80000, 0x808080};

RichTextFormat Format(int index)
{
    return RichTextFormat{kColors[index], 18, "宋体"};
}

// Lines as the receive pipeline writes them: grey time stamp and "COM", red port number,
// grey arrow, then the message as hex text in blue (received) or red (sent).
RichText MonitorDocument()
{
    RichText doc;
    doc.Reserve(static_cast<std::size_t>(kLines) * 104);
    static constexpr char kHex[] = "0123456789ABCDEF";
    char stamp[32];
    std::string message;
    for (int line = 0; line < kLines; ++line) {
        std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03d ", line / 3600 % 24, line / 60 % 60,
                      line % 60, line % 1000);
        const bool received = line % 3 != 0;
        message.clear();
        for (int i = 0; i < 28; ++i) {
            const unsigned byte = static_cast<unsigned>(line * 31 + i * 7) & 0xFF;
            message += kHex[byte >> 4];
            message += kHex[byte & 15];
            message += i == 27 ? '\n' : ' ';
        }
        doc.Append(stamp, Format(5));
        doc.Append("COM", Format(5));
        doc.Append(std::to_string(line % 4 + 1), Format(1));
        doc.Append(received ? "↑" : "↓", Format(5));
        doc.Append(message, Format(received ? 3 : 4));
    }
    return doc;
}

std::string TempFile()
{
    return (std::filesystem::temp_directory_path()
            / ("bench_rtf_" + std::to_string(getpid()) + ".tnf"))
        .string();
}

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_RtfWriteMonitor(benchmark::State& state)
{
    const RichText doc = MonitorDocument();
    const std::string path = TempFile();
    for (auto _ : state) {
        if (!RtfWriter::WriteFile(doc, path))
            state.SkipWithError("write failed");
    }
    state.counters["text_MB"] = static_cast<double>(doc.Text().size()) / 1e6;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_RtfWriteMonitor)->Unit(benchmark::kMillisecond);

void BM_RtfReadMonitor(benchmark::State& state)
{
    const std::string path = TempFile();
    std::size_t textBytes = 0;
    {
        const RichText doc = MonitorDocument();
        textBytes = doc.Text().size();
        RtfWriter::WriteFile(doc, path);
    }
    for (auto _ : state) {
        const RtfReadResult result = RtfReader::ReadFile(path);
        if (!result.IsOk() || result.m_document.Text().size() != textBytes)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(result.m_document.RunCount());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_RtfReadMonitor)->Unit(benchmark::kMillisecond);

int MemoryWrite()
{
    const std::string path = TempFile();
    const RichText doc = MonitorDocument();
    const long before = PeakKiB();
    if (!RtfWriter::WriteFile(doc, path))
        return 1;
    std::printf(
        "write: text %.1f MB, file %.1f MB, peak RSS %.1f MB with the document built, %.1f MB after writing\n",
        doc.Text().size() / 1e6, std::filesystem::file_size(path) / 1e6, before / 1024.0,
        PeakKiB() / 1024.0);
    std::filesystem::remove(path);
    return 0;
}

int MemoryRead()
{
    // A child process writes the file, so that this one starts reading with a clean peak.
    const std::string path = TempFile();
    const pid_t child = fork();
    if (child == 0) {
        const RichText doc = MonitorDocument();
        _exit(RtfWriter::WriteFile(doc, path) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    const long before = PeakKiB();
    const RtfReadResult result = RtfReader::ReadFile(path);
    std::printf(
        "read: text %.1f MB, file %.1f MB, peak RSS %.1f MB before reading, %.1f MB after (%s)\n",
        result.m_document.Text().size() / 1e6, std::filesystem::file_size(path) / 1e6,
        before / 1024.0, PeakKiB() / 1024.0, result.IsOk() ? "ok" : result.m_reason.c_str());
    std::filesystem::remove(path);
    return result.IsOk() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
        return std::strcmp(argv[2], "read") == 0 ? MemoryRead() : MemoryWrite();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
