#include "PrivateXdgFolders.h"
#include "PtyPair.h"
#include "Ser2net.h"
#include "capture/CaptureFiles.h"
#include "capture/CaptureOptions.h"
#include "capture/CaptureSession.h"
#include "core/settings/IniSettingsStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct TempFolder
{
    fs::path m_path;
    TempFolder()
    {
        char name[] = "/tmp/vrl-capture-test-XXXXXX";
        m_path = ::mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

// Runs a capture of the options on a thread of its own while `meanwhile` drives its ports,
// every stamp reading `clock`; what it wrote to standard output.
std::string Capture(const CaptureOptions& options, SettingsStore& store, const std::string& clock,
                    const std::function<void()>& meanwhile)
{
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&text, &size);
    {
        CaptureSession session(options, store, out, nullptr);
        session.SetClocks([] { return 0u; }, [] { return std::string("12:00:00"); },
                          [clock] { return clock; });
        EXPECT_TRUE(session.Open());
        std::thread loop([&] { session.Run(-1); });
        meanwhile();
        session.Stop();
        loop.join();
    }
    std::fclose(out);
    const std::string lines(text, size);
    std::free(text);
    return lines;
}

std::vector<MonitorPiece> Line(const std::string& text)
{
    return {{"[12:00:00.000] COM1", kColourGrey},
            {"\xE2\x86\x91", kColourGrey},
            {text + "\n", kColourReceived}};
}

} // namespace

TEST(CaptureOptions, GoodAndBadForms)
{
    struct Row
    {
        std::vector<std::string> args;
        std::string error; // a part of the message; empty: sound
    };
    const Row rows[] = {
        {{"COM1"}, ""},
        {{"com12=/dev/ttyUSB0", "--port", "COM3=/dev/pts/4", "-b", "115200", "-d", "7", "-p", "e",
          "-s", "2"},
         ""},
        {{"COM1", "--dir=/tmp", "--tnf", "--rotate", "1h", "--rotate-size", "100M", "--hex", "-q"},
         ""},
        {{}, "没有给出"},
        {{"COM0"}, "端口参数格式不对"},
        {{"COM257"}, "端口参数格式不对"},
        {{"/dev/ttyUSB0"}, "端口参数格式不对"},
        {{"COM1", "COM1=/dev/pts/1"}, "给出了两次"},
        {{"COM1", "-b"}, "-b 后缺少值"},
        {{"COM1", "--port"}, "--port 后缺少值"},
        {{"COM1", "-b", "fast"}, "波特率不对"},
        {{"COM1", "-d", "9"}, "数据位不对"},
        {{"COM1", "-p", "x"}, "校验位不对"},
        {{"COM1", "-s", "1.5"}, "停止位不对"},
        {{"COM1", "--rotate", "60"}, "周期不对"},
        {{"COM1", "--dir", "/tmp", "--rotate-size", "10X"}, "大小不对"},
        {{"COM1", "-f", "rts", "-i", "0", "-e", "UTF-8", "--lines"}, ""},
        {{"COM1", "-f", "dtr"}, "流控制不对"},
        {{"COM1", "-i", "60001"}, "打包间隔不对"},
        {{"COM1", "--encoding", "cp1252"}, "文本编码不对"},
        {{"COM1", "--tnf"}, "需要 --dir"},
        {{"COM1", "--bogus"}, "未知选项"},
        {{"COM1", "--hex=1"}, "未知选项"},
        {{"COM1", "--pcapng", "-", "--dir", "/tmp"}, ""},
        {{"COM1", "--pcapng", "-", "--dir", "/tmp", "--stdout"}, "--stdout"},
        {{"--replay", "a.pcapng", "--port", "COM1=/dev/pts/1", "--speed", "0.5"}, ""},
        {{"--replay", "a.pcapng", "COM1", "COM2"}, "只需要一个串口"},
        {{"--replay", "a.pcapng", "COM1", "--speed", "11"}, "回放速度不对"},
        {{"COM1", "--values", "v.csv", "--value", "t=COM1:modbus:1:40001:float32"}, ""},
        {{"COM1", "--values", "v.csv", "--value", "COM1:modbus:1:40001:real"}, "数值通道不对"},
        {{"COM1", "--values", "v.csv", "--value", "COM2:text:t"}, "不在要监视的串口中"},
        {{"COM1", "--values", "v.csv"}, "需要一起给出"},
        {{"COM1", "--value", "COM1:text:t"}, "需要一起给出"},
    };
    for (const Row& row : rows) {
        const CaptureOptions o = CaptureOptions::Parse(row.args);
        if (row.error.empty())
            EXPECT_EQ(o.m_error, "") << row.args.front();
        else
            EXPECT_NE(o.m_error.find(row.error), std::string::npos) << o.m_error;
    }
    const CaptureOptions o = CaptureOptions::Parse(rows[1].args);
    ASSERT_EQ(o.m_ports.size(), 2u);
    EXPECT_EQ(o.m_ports[0].m_port, 11u);
    EXPECT_EQ(o.m_ports[1].m_device, "/dev/pts/4");
    EXPECT_EQ(o.m_baudRate, 115200u);
    EXPECT_EQ(o.m_dataBits, 7);
    EXPECT_EQ(o.m_parity, 2);
    EXPECT_EQ(o.m_stopBits, 2);
    const CaptureOptions files = CaptureOptions::Parse(rows[2].args);
    EXPECT_TRUE(files.m_tnf && !files.m_txt && !files.m_stdout);
    EXPECT_EQ(files.m_rotateMs, 3600000);
    EXPECT_EQ(files.m_rotateBytes, 100u << 20);
    EXPECT_TRUE(CaptureOptions::Parse({"COM1", "--dir", "/tmp"}).m_txt); // plain text by default
}

// Files change at the period's boundary on the clock and at a size, between whole lines, and
// a name already taken is never written over.
TEST(CaptureFiles, RotationAtBoundariesKeepsLinesWhole)
{
    TempFolder folder;
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 10;
    local.tm_min = 59;
    local.tm_sec = 59;
    local.tm_isdst = -1;
    auto now = std::chrono::system_clock::from_time_t(std::mktime(&local)) + 900ms;
    {
        CaptureFiles files(folder.m_path.string(), true, true, 3600000, 0, [&] { return now; });
        ASSERT_TRUE(files.WriteLine(Line("01 02")));
        EXPECT_EQ(files.CurrentName(), "20261207 105959.txt");
        ASSERT_TRUE(files.WriteLine(Line("03 04"))); // still before the hour
        now += 200ms;                                // 11:00:00.100
        ASSERT_TRUE(files.WriteLine(Line("05 06")));
        EXPECT_EQ(files.CurrentName(), "20261207 110000.txt");
        ASSERT_TRUE(files.Close());
        ASSERT_TRUE(files.WriteLine(Line("07 08")));           // reopened in the same second
        EXPECT_EQ(files.CurrentName(), "20261207 110001.txt"); // sorts after the first
        ASSERT_TRUE(files.Flush()); // the running .tnf has its lines, as a kill leaves it
        EXPECT_NE(folder.Read("20261207 110001.tnf").find("07 08"), std::string::npos);
    }
    EXPECT_EQ(folder.Files(),
              (std::vector<std::string>{"20261207 105959.tnf", "20261207 105959.txt",
                                        "20261207 110000.tnf", "20261207 110000.txt",
                                        "20261207 110001.tnf", "20261207 110001.txt"}));
    EXPECT_EQ(folder.Read("20261207 105959.txt"), "[12:00:00.000] COM1\xE2\x86\x91"
                                                  "01 02\n[12:00:00.000] COM1\xE2\x86\x91"
                                                  "03 04\n");
    const std::string tnf = folder.Read("20261207 110000.tnf");
    EXPECT_EQ(tnf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(tnf.find("05 06"), std::string::npos);
    EXPECT_EQ(tnf.substr(tnf.size() - 3), "}\r\n"); // complete: it opens

    // At a size: the line that passes it still goes whole into the file.
    TempFolder sized;
    CaptureFiles bySize(sized.m_path.string(), true, false, 0, 100, [&] { return now; });
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(bySize.WriteLine(Line(std::string(20, 'A' + static_cast<char>(i)))));
    ASSERT_TRUE(bySize.Close());
    ASSERT_EQ(sized.Files().size(), 2u);
    const std::string first = sized.Read(sized.Files()[0]);
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 3); // 3 × 41 bytes pass 100
    EXPECT_EQ(first.back(), '\n');

    // The larger file (the .tnf) is cut at the size asked, though its text goes out in blocks.
    TempFolder both;
    CaptureFiles pair(both.m_path.string(), true, true, 0, 300 << 10, [&] { return now; });
    for (int i = 0; i < 12000; ++i)
        ASSERT_TRUE(pair.WriteLine(Line(std::string(30, 'A' + static_cast<char>(i % 26)))));
    ASSERT_TRUE(pair.Close());
    const auto size = fs::file_size(both.m_path / both.Files()[0]);
    EXPECT_GE(size, 300u << 10);
    EXPECT_LT(size, (300u << 10) + 100);
}

// A device that prints text, with --lines: one message per line whatever the reads, a line
// without its end shown at the end; its characters in the encoding asked for, else the one
// stored, else the language's (UTF-8 unless Chinese).
TEST(CaptureSession, TextLinesInTheChosenEncoding)
{
    struct Row
    {
        const char* locale; // LANGUAGE
        const char* stored; // the settings file's [Settings]
        std::vector<std::string> args;
        std::string degrees; // what "°" (UTF-8 C2 B0) shows as
    };
    const Row rows[] = {
        {"en_GB", "", {}, "°"},
        {"zh_CN", "", {}, "掳"},
        {"zh_CN", "Language=en\n", {}, "°"},
        {"en_GB", "TextEncoding=0\n", {}, "掳"},
        {"zh_CN", "TextEncoding=1\n", {}, "°"},
        {"en_GB", "TextEncoding=1\n", {"-e", "latin1"}, "Â°"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.locale) + " " + row.stored);
        TempFolder home;
        PtyPair pty;
        ::setenv("LANGUAGE", row.locale, 1);
        std::ofstream(home.m_path / "VRL.conf") << "[Settings]\n" << row.stored;
        IniSettingsStore store((home.m_path / "VRL.conf").string());
        // The numbers of the lines go to a value file beside them.
        const std::string values = (home.m_path / "v.csv").string();
        std::vector<std::string> args = {
            "COM2=" + pty.Path(), "--lines", "--asc",   "-i",         "20",
            "--values",           values,    "--value", "COM2:text:t"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const std::string lines = Capture(CaptureOptions::Parse(args), store, "T", [&] {
            pty.Send("t=1\nt=");
            std::this_thread::sleep_for(100ms); // longer than the packing interval
            pty.Send("2\n25\xC2\xB0"
                     "C\n> ");
            std::this_thread::sleep_for(300ms);
        });
        EXPECT_EQ(lines, "[T] COM2↑t=1\\n\n[T] COM2↑t=2\\n\n[T] COM2↑25" + row.degrees
                             + "C\\n\n[T] COM2↑> \n");
        std::string csv, row2;
        for (std::ifstream in(values); std::getline(in, row2);)
            csv += row2.substr(row2.find(',')) + "|";
        EXPECT_EQ(csv, ",COM2:text:t|,1|,2|");
    }
    ::setenv("LANGUAGE", "zh_CN", 1);
}

// Through a pseudo-terminal: every message a line with the clock's time, the port and its
// bytes; the device pulled and put back (a re-pointed link) gives a line each; what arrives
// before the end is written.
TEST(CaptureSession, LinesLostAndBackOnAPseudoTerminal)
{
    TempFolder home;
    auto pty = std::make_unique<PtyPair>();
    const fs::path link = home.m_path / "ttyDEVICE";
    fs::create_symlink(pty->Path(), link);
    IniSettingsStore store((home.m_path / "VRL.conf").string());
    const CaptureOptions options = CaptureOptions::Parse({"COM2=" + link.string(), "--hex"});
    ASSERT_EQ(options.m_error, "");
    std::unique_ptr<PtyPair> second; // the device back, until the capture ends
    const std::string lines = Capture(options, store, "12:00:00.250", [&] {
        pty->Send(std::string("\x01\x03\x00\x00", 4));
        std::this_thread::sleep_for(300ms);
        pty->CloseMaster(); // the device goes
        std::this_thread::sleep_for(300ms);
        second = std::make_unique<PtyPair>();
        fs::remove(link);
        fs::create_symlink(second->Path(), link);
        std::this_thread::sleep_for(2500ms); // a reconnect look each second
        second->Send("\xAA");
        std::this_thread::sleep_for(300ms);
    });
    EXPECT_EQ(lines.substr(0, lines.find("设备已断开")), "[12:00:00.250] COM2\xE2\x86\x91"
                                                         "01 03 00 00\n[12:00:00.250] COM2 ");
    EXPECT_NE(
        lines.find("等待重新连接\n[12:00:00.250] COM2 已重新打开\n[12:00:00.250] COM2\xE2\x86\x91"
                   "AA\n"),
        std::string::npos)
        << lines;
}

// A port served by ser2net over RFC 2217: its bytes as a local port's; the server stopped and
// started again gives a line each time, and the capture goes on.
TEST(CaptureSession, RemotePortComesBackWhenItsServerDoes)
{
    if (!Ser2net::Installed())
        GTEST_SKIP() << "ser2net is not installed";
    TempFolder home;
    PtyPair pty;
    Ser2net server({pty.Path()}, home.m_path.string());
    ASSERT_TRUE(server.Start());
    IniSettingsStore store((home.m_path / "VRL.conf").string());
    const CaptureOptions options = CaptureOptions::Parse({"COM7=" + server.Rfc2217Url(), "--hex"});
    ASSERT_EQ(options.m_error, "");
    const std::string lines = Capture(options, store, "12:00:00.500", [&] {
        std::this_thread::sleep_for(1000ms);
        pty.Send(std::string("\xFF\x01", 2));
        std::this_thread::sleep_for(500ms);
        server.Stop();
        std::this_thread::sleep_for(500ms);
        ASSERT_TRUE(server.Start());
        std::this_thread::sleep_for(2500ms); // called again at most once a second
        pty.Send("\x02");
        std::this_thread::sleep_for(500ms);
    });
    EXPECT_EQ(lines.rfind("[12:00:00.500] COM7\xE2\x86\x91"
                          "FF 01\n[12:00:00.500] COM7 连接已断开",
                          0),
              0u)
        << lines;
    EXPECT_NE(
        lines.find("等待重新连接\n[12:00:00.500] COM7 已重新打开\n[12:00:00.500] COM7\xE2\x86\x91"
                   "02\n"),
        std::string::npos)
        << lines;
}

// The program as a user runs it: SIGHUP begins new files; while it runs each file reaches
// the disk within a second; SIGTERM ends with every file complete and exit status 0, SIGKILL
// leaves what reached the disk; a misuse is status 2.
TEST(CaptureProgram, SignalsLeaveCompleteFiles)
{
    for (const int ending : {SIGTERM, SIGKILL}) {
        SCOPED_TRACE(::strsignal(ending));
        const PrivateXdgFolders home;
        TempFolder out;
        PtyPair pty;
        const std::string port = "COM1=" + pty.Path();
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(VRL_CAPTURE_PROGRAM, "vrl-capture", port.c_str(), "--dir", out.m_path.c_str(),
                    "--tnf", "--txt", "-q", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(500ms);
        pty.Send("\x11\x22");
        std::this_thread::sleep_for(300ms);
        ::kill(child, SIGHUP);
        std::this_thread::sleep_for(1200ms); // the next file's name is the next second's
        pty.Send("\x33");
        std::this_thread::sleep_for(1500ms);
        // Running: both files of the moment have the line (a killed capture leaves no empty
        // .tnf).
        const std::vector<std::string> running = out.Files();
        ASSERT_EQ(running.size(), 4u);
        EXPECT_NE(out.Read(running[2]).find("33"), std::string::npos) << running[2];
        EXPECT_NE(out.Read(running[3])
                      .find("COM1\xE2\x86\x91"
                            "33\n"),
                  std::string::npos)
            << running[3];
        ::kill(child, ending);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (ending == SIGTERM) {
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), 0);
        } else {
            EXPECT_TRUE(WIFSIGNALED(status));
        }
        const std::vector<std::string> files = out.Files();
        ASSERT_EQ(files.size(), 4u);
        std::string all;
        for (const std::string& name : files) {
            const std::string content = out.Read(name);
            const bool closed = ending == SIGTERM || name == files[0]; // SIGHUP closed the first
            if (name.ends_with(".tnf") && closed)
                EXPECT_EQ(content.substr(content.size() - 3), "}\r\n") << name;
            else if (name.ends_with(".tnf"))
                EXPECT_NE(content.find("33"), std::string::npos) << name;
            else
                all += content;
        }
        EXPECT_NE(all.find("COM1\xE2\x86\x91"
                           "11 22\n"),
                  std::string::npos)
            << all;
        EXPECT_NE(all.find("COM1\xE2\x86\x91"
                           "33\n"),
                  std::string::npos)
            << all;
    }

    int status = 0;
    const pid_t misuse = ::fork();
    if (misuse == 0) {
        ::execl(VRL_CAPTURE_PROGRAM, "vrl-capture", "--bogus", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_EQ(::waitpid(misuse, &status, 0), misuse);
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

// The program's texts follow the locale, and after the settings are read the language stored
// by the window program; the English comes from the window program's catalogue, read
// without Qt.
TEST(CaptureProgram, SpeaksTheChosenLanguage)
{
    struct Case
    {
        const char* language;
        const char* stored;
        const char* args;
        const char* expected;
    };
    const Case cases[] = {
        {"en_US", "", "--help", "Usage: vrl-capture"},
        {"en", "", "--help", "-e, --encoding E"},
        {"zh_CN", "", "--help", "用法: vrl-capture"},
        {"en", "", "--version", "License GPL-3.0-or-later: GNU GPL version 3 or later"},
        {"en", "", "--bogus", "unknown option: --bogus"},
        {"zh_CN", "en", "COM7", "COM7 has no device in the port map"},
        {"en", "zh", "COM7", "COM7 在端口映射中没有设备"},
    };
    for (const Case& c : cases) {
        const PrivateXdgFolders home;
        fs::create_directories(fs::path(home.ConfigFile()).parent_path());
        std::ofstream(home.ConfigFile()) << "[Settings]\nLanguage=" << c.stored << "\n";
        const std::string command =
            "LANGUAGE=" + std::string(c.language) + " " VRL_CAPTURE_PROGRAM " " + c.args + " 2>&1";
        std::string output;
        if (std::FILE* p = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
                output.append(buffer, n);
            ::pclose(p);
        }
        EXPECT_NE(output.find(c.expected), std::string::npos)
            << c.language << " " << c.args << ":\n"
            << output;
        if (std::string(c.args) == "--help" && c.language[0] == 'e') { // no Chinese left
            EXPECT_TRUE(std::all_of(output.begin(), output.end(), [](char ch) { return ch > 0; }))
                << output;
        }
    }
}
