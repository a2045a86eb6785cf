// XMODEM-1K throughput of vrl-capture against lrzsz's sx, side by side in one run, on a
// pseudo-terminal line paced to a serial rate (115200 by default): each sender sends the same
// file to lrzsz's rx -c through the same relay. Prints both rates and their ratio; exit 1
// when a received file differs.
//   bench_transfer [--size BYTES] [--rate BITS_PER_SECOND]
#include "PrivateXdgFolders.h"
#include "RelayedProgram.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs argv with its standard input and output on the line (the pseudo-terminal at path).
pid_t StartOnLine(const std::vector<std::string>& argv, const std::string& path)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int line = ::open(path.c_str(), O_RDWR);
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (line < 0 || quiet < 0)
            ::_exit(126);
        ::dup2(line, 0);
        ::dup2(line, 1);
        ::dup2(quiet, 2);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return pid;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Seconds from rx's start to its end, or a negative number when the file did not arrive
// whole (the file and the padding of its last block).
double Run(const char* who, const std::vector<std::string>& sender, const fs::path& folder,
           const std::string& content, unsigned rate)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    RelayedProgram far;
    far.SetBitsPerSecond(rate);
    std::vector<std::string> argv = sender;
    for (std::string& a : argv)
        if (a == "LINE")
            a = far.Path();
    // The sender waits first: rx repeats its start only every 10 s.
    const pid_t pid = StartOnLine(argv, far.Path());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto begun = std::chrono::steady_clock::now();
    if (!far.Start({"rx", "-c", "got.bin"}, folder.string()))
        return -1;
    const int status = far.Wait(3600 * 1000);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    int senderStatus = 0;
    ::waitpid(pid, &senderStatus, 0);
    const std::string got = Read(folder / "got.bin");
    const bool whole = status == 0 && got.size() >= content.size()
                       && got.compare(0, content.size(), content) == 0
                       && got.find_first_not_of('\x1A', content.size()) == std::string::npos;
    std::printf("%-12s %9zu bytes  %7.2f s  %8.0f B/s  %s\n", who, content.size(), seconds,
                static_cast<double>(content.size()) / seconds, whole ? "whole" : "DIFFERS");
    return whole ? seconds : -1;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t size = 256 * 1024;
    unsigned rate = 115200;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--size") == 0)
            size = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--rate") == 0)
            rate = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    PrivateXdgFolders xdg;
    std::string content(size, '\0');
    std::uint32_t x = 12345;
    for (char& c : content) {
        x = x * 1103515245 + 12345;
        c = static_cast<char>(x >> 23);
    }
    const fs::path file = xdg.Path("send.bin");
    std::ofstream(file, std::ios::binary) << content;
    std::printf("XMODEM-1K to rx -c at %u bit/s on a paced pseudo-terminal\n", rate);
    const double sx = Run("sx -k", {"sx", "-k", file.string()}, xdg.Path("sx"), content, rate);
    const double vrl = Run("vrl-capture",
                           {VRL_CAPTURE_PROGRAM, "--port", "COM1=LINE", "-b", std::to_string(rate),
                            "--send-file", file.string(), "--protocol", "xmodem1k"},
                           xdg.Path("vrl"), content, rate);
    if (sx <= 0 || vrl <= 0)
        return 1;
    std::printf("vrl-capture / sx: %.1f %%\n", 100.0 * sx / vrl);
    return 0;
}
