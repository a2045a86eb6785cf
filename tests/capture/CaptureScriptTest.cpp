#include "ModbusTestFrames.h"
#include "PrivateXdgFolders.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const std::string kExamples = VRL_SOURCE_DIR "/examples/scripts/";

// vrl-capture --script script on the pty as COM1, as a test rig runs it.
class Rig
{
public:
    Rig(const std::string& script, const PtyPair& pty)
    {
        int err[2];
        if (::pipe(err) != 0)
            std::abort();
        const std::string port = "COM1=" + pty.Path();
        m_child = ::fork();
        if (m_child == 0) {
            ::dup2(err[1], STDERR_FILENO);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::execl(VRL_CAPTURE_PROGRAM, "vrl-capture", "-q", "-b", "115200", "--script",
                    script.c_str(), port.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(err[1]);
        m_err = err[0];
        std::this_thread::sleep_for(400ms); // the port is open, the script waits
    }
    // The exit status once it ends by itself (killed after 10 s), and its standard error.
    int Finish(std::string& err)
    {
        int status = 0;
        for (int i = 0; i < 100 && ::waitpid(m_child, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(100ms);
        if (::waitpid(m_child, &status, WNOHANG) == 0) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, &status, 0);
            return -1;
        }
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_err, buffer, sizeof buffer)) > 0;)
            err.append(buffer, static_cast<std::size_t>(n));
        ::close(m_err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Terminate() { ::kill(m_child, SIGTERM); }

private:
    pid_t m_child = -1;
    int m_err = -1;
};

std::string Modbus(const std::string& hex)
{
    const std::vector<std::uint8_t> bytes = ModbusBytes(hex);
    return {bytes.begin(), bytes.end()};
}

std::string TempScript(const std::string& text)
{
    char name[] = "/tmp/vrl-script-XXXXXX.lua";
    const int fd = ::mkstemps(name, 4);
    ::close(fd);
    std::ofstream(name) << text;
    return name;
}

} // namespace

// The device examples answer a master on the line: every MODBUS function of the slave with
// its exceptions and a request split in two, and the AT responder.
TEST(CaptureScriptTest, ExamplesAnswerAMaster)
{
    struct Row
    {
        std::string m_request;
        std::string m_answer; // empty: none
        bool m_split = false; // the request comes in two parts
    };
    const std::map<std::string, std::vector<Row>> kScripts = {
        {"modbus-slave.lua",
         {
             {Modbus("01 03 00 00 00 02"), Modbus("01 03 04 00 00 00 00")},
             {Modbus("01 06 00 05 12 34"), Modbus("01 06 00 05 12 34")},
             {Modbus("01 03 00 04 00 03"), Modbus("01 03 06 00 00 12 34 00 00")},
             {Modbus("01 10 00 62 00 02 04 AB CD 00 07"), Modbus("01 10 00 62 00 02")},
             {Modbus("01 03 00 62 00 02"), Modbus("01 03 04 AB CD 00 07")},
             {Modbus("01 04 00 63 00 01"), Modbus("01 04 02 00 00")},
             {Modbus("01 03 00 63 00 02"), Modbus("01 83 02")},
             {Modbus("01 06 00 64 00 01"), Modbus("01 86 02")},
             {Modbus("01 01 00 00 00 01"), Modbus("01 81 01")},
             {Modbus("02 03 00 00 00 01"), ""},
             {Modbus("01 03 00 00 00 01!"), ""},
             {Modbus("01 03 00 05 00 01"), Modbus("01 03 02 12 34"), true},
         }},
        {"at-responder.lua",
         {
             {"AT\r", "\r\nOK\r\n"},
             {"ati\r\n", "\r\nVRL simulated modem\r\nOK\r\n"},
             {"AT+CSQ\r", "\r\n+CSQ: 23,99\r\nOK\r\n", true},
             {"ATX\r", "\r\nERROR\r\n"},
         }},
    };
    const PrivateXdgFolders home;
    for (const auto& [script, rows] : kScripts) {
        PtyPair pty(PtyPair::Raw);
        Rig rig(kExamples + script, pty);
        for (const Row& row : rows) {
            if (row.m_split) {
                pty.Send(row.m_request.substr(0, 3));
                std::this_thread::sleep_for(30ms);
                pty.Send(row.m_request.substr(3));
            } else {
                pty.Send(row.m_request);
            }
            const std::string answer = row.m_answer.empty() ? pty.ReceiveUntilQuiet(300)
                                                            : pty.Receive(row.m_answer.size());
            EXPECT_EQ(answer, row.m_answer) << script << ": " << row.m_request;
        }
        rig.Terminate();
        std::string err;
        EXPECT_EQ(rig.Finish(err), 0) << script << ": " << err;
    }
}

// A test sequence's exit status is its verdict: 0 when every check passed, 1 after a failed
// check or an error (said on standard error with its line), else vrl.exit's code.
TEST(CaptureScriptTest, ExitStatusIsTheVerdict)
{
    const std::map<std::string, std::string> kGood = {
        {"AT\r", "\r\nOK\r\n"},
        {"ATI\r", "\r\nModem 7\r\nOK\r\n"},
        {"AT+CSQ\r", "\r\n+CSQ: 23,99\r\nOK\r\n"},
    };
    auto noIdentity = kGood;
    noIdentity["ATI\r"] = "\r\nERROR\r\n";
    auto weak = kGood;
    weak["AT+CSQ\r"] = "\r\n+CSQ: 3,99\r\nOK\r\n";
    struct Row
    {
        std::string m_script;
        std::map<std::string, std::string> m_device; // answers by command
        int m_status;
        const char* m_error; // part of standard error
    };
    const Row kRows[] = {
        {kExamples + "test-sequence.lua", kGood, 0, ""},
        {kExamples + "test-sequence.lua", noIdentity, 1, "identity: fail"},
        {kExamples + "test-sequence.lua", weak, 1, "signal too weak: 3"},
        {kExamples + "test-sequence.lua", {}, 1, "the modem answers: timeout"},
        {TempScript("vrl.port('COM1'):send('x') vrl.exit(4)"), {}, 4, ""},
        {TempScript("local p = vrl.port('COM1')\nlocal n = nil + 1"), {}, 1, ".lua:2: attempt"},
        {TempScript("vrl.port('COM2')"), {}, 1, "COM2"},
    };
    const PrivateXdgFolders home;
    for (const Row& row : kRows) {
        PtyPair pty(PtyPair::Raw);
        std::atomic<bool> done{false};
        std::thread device([&] {
            std::string line;
            while (!done) {
                line += pty.ReceiveUntilQuiet(50);
                if (const auto end = line.find('\r'); end != std::string::npos) {
                    const auto answer = row.m_device.find(line.substr(0, end + 1));
                    if (answer != row.m_device.end())
                        pty.Send(answer->second);
                    line.erase(0, end + 1);
                }
            }
        });
        Rig rig(row.m_script, pty);
        std::string err;
        EXPECT_EQ(rig.Finish(err), row.m_status) << row.m_script << ": " << err;
        EXPECT_NE(err.find(row.m_error), std::string::npos) << row.m_script << ": " << err;
        done = true;
        device.join();
    }
}
