#include "PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct Result
{
    int m_status = -1;
    std::string m_out;
};

// Runs command (a shell line), standard error joined to standard output unless it says
// otherwise.
Result Shell(const std::string& command)
{
    Result result;
    const bool own = command.find("2>") != std::string::npos;
    if (std::FILE* pipe = ::popen((own ? command : command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            result.m_out.append(buffer, n);
        const int status = ::pclose(pipe);
        result.m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

const std::string kProgram = VRL_EXTCAP_PROGRAM;

// Each query as Wireshark 4.0 asks it, with a line its answer must hold and the exit status.
TEST(ExtcapProgram, AnswersEveryQuery)
{
    struct Row
    {
        std::string m_args;
        std::string m_line; // a whole line of the answer (or a part of the error)
        int m_status;
    };
    const Row rows[] = {
        {"--extcap-interfaces --extcap-version=4.0", "extcap {version=1.0}{display=VRL serial}", 0},
        {"--extcap-dlts --extcap-interface vrl-ttyUSB0",
         "dlt {number=250}{name=RTAC_SERIAL}{display=serial messages (RTAC serial header)}", 0},
        {"--extcap-config --extcap-interface vrl-ttyUSB0",
         "arg {number=0}{call=--port}{display=Port}{type=string}{default=/dev/ttyUSB0}"
         "{tooltip=the device path, such as /dev/ttyUSB0}",
         0},
        {"--extcap-config --extcap-interface vrl-ttyUSB0",
         "arg {number=1}{call=--baud}{display=Baud rate}{type=unsigned}{range=50,100000000}"
         "{default=9600}",
         0},
        {"--extcap-config --extcap-interface vrl-ttyUSB0",
         "value {arg=3}{value=even}{display=even}", 0},
        {"--extcap-config --extcap-interface vrl-ttyUSB0",
         "value {arg=4}{value=1}{display=1}{default=true}", 0},
        {"--extcap-config --extcap-interface vrl-ttyUSB0",
         "arg {number=5}{call=--interval}{display=Packing interval (ms)}{type=unsigned}"
         "{range=0,60000}{default=20}{tooltip=a message (a packet) ends after this much silence "
         "on the line}",
         0},
        {"--capture --extcap-interface vrl-vrl-missing --fifo /tmp/x",
         "vrl-extcap: Cannot open /dev/vrl-missing: No such file or directory", 1},
        {"--capture --extcap-interface vrl-ttyUSB0", "--fifo", 2},
        {"--extcap-dlts", "--extcap-interface", 2},
        {"--capture --extcap-interface vrl-ttyUSB0 --fifo /tmp/x --parity odds", "odds", 2},
    };
    for (const Row& row : rows) {
        const Result result = Shell(kProgram + " " + row.m_args);
        EXPECT_EQ(result.m_status, row.m_status) << row.m_args << "\n" << result.m_out;
        const bool whole = row.m_status == 0 || row.m_line.starts_with("vrl-extcap:");
        const std::string text = whole ? "\n" + result.m_out : result.m_out;
        EXPECT_NE(text.find(whole ? "\n" + row.m_line + "\n" : row.m_line), std::string::npos)
            << row.m_args << "\n"
            << result.m_out;
    }
}

// A live capture as Wireshark starts it: what the port reads comes out of the fifo as pcapng
// that tshark reads, each message a packet, in well under a second; SIGTERM ends it.
TEST(ExtcapProgram, CapturesIntoAFifo)
{
    PtyPair pty(PtyPair::Raw);
    const std::string fifo = ::testing::TempDir() + "/vrl-extcap-test.fifo";
    const std::string copy = ::testing::TempDir() + "/vrl-extcap-test.pcapng";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(kProgram.c_str(), "vrl-extcap", "--capture", "--extcap-interface", "vrl-serial",
                "--fifo", fifo.c_str(), "--port", pty.Path().c_str(), "--baud", "115200",
                "--interval", "30", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Wireshark's end of the fifo: what comes is kept as it comes.
    const int in = ::open(fifo.c_str(), O_RDONLY);
    ASSERT_GE(in, 0);
    std::string bytes;
    const auto take = [&](std::chrono::milliseconds wait) {
        const auto until = std::chrono::steady_clock::now() + wait;
        ::fcntl(in, F_SETFL, O_NONBLOCK);
        char buffer[4096];
        while (std::chrono::steady_clock::now() < until) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, static_cast<std::size_t>(n));
            else
                std::this_thread::sleep_for(5ms);
        }
    };
    take(500ms);
    pty.Send("one");
    take(300ms);
    const std::size_t afterOne = bytes.size();
    pty.Send("two");
    take(1000ms);
    ::kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    take(100ms);
    ::close(in);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    // "one" was in the fifo 300 ms after it was sent (30 ms of silence ends it).
    if (std::FILE* f = std::fopen(copy.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, afterOne, f);
        std::fclose(f);
    }
    EXPECT_EQ(Shell("tshark -r " + copy + " -T fields -e data.data 2>/dev/null").m_out, "6f6e65\n");
    if (std::FILE* f = std::fopen(copy.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    EXPECT_EQ(Shell("tshark -r " + copy
                    + " -T fields -e frame.interface_name -e frame.interface_description"
                      " -e frame.packet_flags_direction -e data.data 2>/dev/null")
                  .m_out,
              "vrl-serial\t" + pty.Path() + "\t0x00000001\t6f6e65\nvrl-serial\t" + pty.Path()
                  + "\t0x00000001\t74776f\n");
}

} // namespace
