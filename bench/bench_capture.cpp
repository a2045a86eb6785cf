// vrl-capture run as a user runs it, fed through pseudo-terminals:
//   bench_capture PORTS BYTES PERIOD_MS SECONDS [--rotate P]
// Every PERIOD_MS each of PORTS ports gets BYTES bytes of its own known stream. At the end
// (SIGTERM) the hex lines of the written .txt files are decoded and every port's bytes are
// compared with what was written: lost, changed or reordered bytes are counted. Printed: the
// program's CPU share of one core, its memory (first and last sample, peak), the files.
//   bench_capture 8 10 25 3600                8 ports x 10 bytes every 25 ms for an hour
//   bench_capture 1 4096 2 60                 one port at 2 MB/s
//   bench_capture 4 10 25 600 --rotate 1m     a file per minute for 10 minutes
// Not a Google Benchmark: one long run gives the figures.
#include "PrivateXdgFolders.h"
#include "PtyPair.h"
#include "core/base/PortName.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Byte i of port p's stream.
std::uint8_t StreamByte(unsigned p, std::uint64_t i)
{
    return static_cast<std::uint8_t>((i * 31 + p * 7 + (i >> 9)) & 0xFF);
}

struct ProcessUse
{
    double cpuSeconds = 0;
    long rssKb = 0;
};

ProcessUse Use(pid_t pid)
{
    ProcessUse use;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close != std::string::npos) {
        std::vector<std::string> fields;
        std::string field;
        for (char c : line.substr(close + 2)) {
            if (c == ' ') {
                fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        if (fields.size() > 22) {
            const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
            use.cpuSeconds = (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) / tick;
            use.rssKb = std::atol(fields[21].c_str()) * sysconf(_SC_PAGESIZE) / 1024;
        }
    }
    return use;
}

// The files in the order they were begun: "NAME.txt" before "NAME (2).txt".
std::vector<fs::path> FilesInOrder(const fs::path& folder)
{
    std::vector<std::pair<std::pair<std::string, int>, fs::path>> files;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().extension() != ".txt")
            continue;
        std::string stem = e.path().stem().string();
        int n = 1;
        if (const std::size_t open = stem.rfind(" (");
            open != std::string::npos && stem.back() == ')') {
            n = std::atoi(stem.c_str() + open + 2);
            stem.resize(open);
        }
        files.push_back({{stem, n}, e.path()});
    }
    std::sort(files.begin(), files.end());
    std::vector<fs::path> paths;
    for (auto& f : files)
        paths.push_back(f.second);
    return paths;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_capture PORTS BYTES PERIOD_MS SECONDS [--rotate P]\n");
        return 2;
    }
    const unsigned ports = static_cast<unsigned>(std::atoi(argv[1]));
    const std::size_t bytes = static_cast<std::size_t>(std::atol(argv[2]));
    const int periodMs = std::atoi(argv[3]);
    const double seconds = std::atof(argv[4]);
    const std::string rotate = argc > 6 && std::strcmp(argv[5], "--rotate") == 0 ? argv[6] : "";

    const PrivateXdgFolders xdg; // the program's settings, and the files it writes
    const fs::path out = xdg.Path("out");
    fs::create_directory(out);
    std::vector<std::unique_ptr<PtyPair>> ptys;
    std::vector<std::string> args{"vrl-capture", "--dir", out.string(), "--txt", "--hex", "-q"};
    if (!rotate.empty())
        args.insert(args.end(), {"--rotate", rotate});
    for (unsigned p = 0; p < ports; ++p) {
        ptys.push_back(std::make_unique<PtyPair>(PtyPair::Raw));
        if (!ptys.back()->IsValid())
            return 1;
        args.push_back(PortName(p) + "=" + ptys.back()->Path());
    }
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argvChild;
        for (std::string& a : args)
            argvChild.push_back(a.data());
        argvChild.push_back(nullptr);
        execv(VRL_CAPTURE_PROGRAM, argvChild.data());
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    std::vector<std::uint64_t> written(ports, 0);
    std::vector<std::uint8_t> chunk(bytes);
    const auto start = std::chrono::steady_clock::now();
    const ProcessUse first = Use(child);
    ProcessUse last = first;
    long peakKb = first.rssKb;
    auto next = start;
    auto nextSample = start;
    while (std::chrono::steady_clock::now() - start < std::chrono::duration<double>(seconds)) {
        for (unsigned p = 0; p < ports; ++p) {
            for (std::size_t i = 0; i < bytes; ++i)
                chunk[i] = StreamByte(p, written[p] + i);
            std::size_t done = 0;
            while (done < bytes) {
                const ssize_t n = ::write(ptys[p]->Master(), chunk.data() + done, bytes - done);
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
            written[p] += done;
        }
        next += std::chrono::milliseconds(periodMs);
        std::this_thread::sleep_until(next);
        if (std::chrono::steady_clock::now() >= nextSample) {
            last = Use(child);
            peakKb = std::max(peakKb, last.rssKb);
            nextSample += std::chrono::seconds(10);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const ProcessUse end = Use(child);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);

    // Decode every "COMn↑XX XX ..." line of every file, in order.
    std::vector<std::uint64_t> read(ports, 0);
    std::vector<std::uint64_t> wrong(ports, 0);
    std::uint64_t lines = 0;
    std::uint64_t notices = 0;
    const std::vector<fs::path> files = FilesInOrder(out);
    for (const fs::path& file : files) {
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t com = line.find("] COM");
            const std::size_t arrow = line.find("\xE2\x86\x91");
            if (com == std::string::npos || arrow == std::string::npos) {
                ++notices;
                continue;
            }
            ++lines;
            const unsigned p = static_cast<unsigned>(std::atoi(line.c_str() + com + 5)) - 1;
            if (p >= ports)
                continue;
            for (std::size_t i = arrow + 3; i + 1 < line.size() + 1; i += 3) {
                const int hi = HexValue(line[i]);
                const int lo = i + 1 < line.size() ? HexValue(line[i + 1]) : -1;
                if (hi < 0 || lo < 0)
                    break;
                if (static_cast<std::uint8_t>(hi * 16 + lo) != StreamByte(p, read[p]))
                    ++wrong[p];
                ++read[p];
            }
        }
    }
    std::uint64_t allWritten = 0;
    std::uint64_t lost = 0;
    std::uint64_t changed = 0;
    for (unsigned p = 0; p < ports; ++p) {
        allWritten += written[p];
        lost += written[p] > read[p] ? written[p] - read[p] : 0;
        changed += wrong[p];
    }
    std::printf("%u ports x %zu bytes every %d ms for %.0f s%s: exit status %d\n", ports, bytes,
                periodMs, elapsed, rotate.empty() ? "" : (", new file every " + rotate).c_str(),
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    std::printf(
        "  bytes written %llu, lost %llu, changed or out of order %llu; %llu message lines, %llu other "
        "lines; %zu files\n",
        static_cast<unsigned long long>(allWritten), static_cast<unsigned long long>(lost),
        static_cast<unsigned long long>(changed), static_cast<unsigned long long>(lines),
        static_cast<unsigned long long>(notices), files.size());
    std::printf(
        "  vrl-capture CPU %.2f %% of one core; memory %ld kB at start, %ld kB at the end, peak sample %ld kB\n",
        100.0 * (end.cpuSeconds - first.cpuSeconds) / elapsed, first.rssKb, end.rssKb, peakKb);
    return lost == 0 && changed == 0 ? 0 : 1;
}
