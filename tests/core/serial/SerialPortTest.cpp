#include "core/serial/SerialPort.h"
#include "core/serial/SerialLine.h"

#include "FakeLineDriver.h"
#include "PortRecorders.h"
#include "PtyPair.h"
#include "WriteAll.h"

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {
using namespace std::chrono_literals;

// Bytes of a long stream whose order shows: a byte lost, doubled or swapped changes it.
std::string Pattern(std::size_t size, std::uint32_t seed = 12345)
{
    std::string bytes(size, '\0');
    std::uint32_t x = seed;
    for (auto& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<char>(x >> 24);
    }
    return bytes;
}

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct SerialPortTest : ::testing::Test
{
    PtyPair pty;
    RecordingReceiver receiver;
    RecordingSink sink;
    SerialPort port{&sink};

    void SetUp() override { ASSERT_FALSE(pty.Path().empty()); }
};
} // namespace

TEST_F(SerialPortTest, OpensReceivesAndWrites)
{
    port.m_dwPackInterval = 60;
    ASSERT_TRUE(port.Open(&receiver, 2, pty.Path()));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.IsRunning());
    EXPECT_TRUE(port.m_bOpened);
    EXPECT_EQ(port.m_uiPortNo, 2u);

    pty.Send("hello\r\n");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    EXPECT_EQ(receiver.Texts(), std::vector<std::string>{"hello\r\n"}); // raw: CR LF untouched
    EXPECT_EQ(receiver.Ports(), std::vector<unsigned>{2});

    const std::string out = "\x01\x03\x00\x00\x00\x0a\r\n";
    EXPECT_EQ(WriteAll(port, out.data(), out.size()), out.size());
    EXPECT_EQ(pty.Receive(out.size()), out);
    WriteAll(port, "AT\r");
    EXPECT_EQ(pty.Receive(3), "AT\r");
    EXPECT_EQ(WriteAll(port, "x", 0), 0u);

    // A write bigger than the pty's queue waits for the far end instead of dropping bytes.
    const std::string big = Pattern(200000);
    std::string echoed;
    std::thread reader([&] { echoed = pty.Receive(big.size(), 20000); });
    EXPECT_EQ(WriteAll(port, big.data(), big.size()), big.size());
    reader.join();
    EXPECT_TRUE(echoed == big);

    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.IsRunning());
    EXPECT_EQ(WriteAll(port, "x", 1), 0u);
    EXPECT_TRUE(sink.m_messages.empty());
    EXPECT_EQ(SerialPort::PackPortData(2, 10), 0x000A0002u);
}

// WriteSome never waits: a far end that stopped reading gets what fits, the rest is the
// caller's; once the far end reads, the bytes left go out after the first ones.
TEST_F(SerialPortTest, WriteSomeTakesWhatFitsWithoutWaiting)
{
    EXPECT_EQ(port.WriteSome("x", 1), -1); // closed
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    EXPECT_EQ(port.WriteSome("x", 0), 0);

    const std::string big = Pattern(1 << 20);
    std::size_t taken = 0;
    for (int turn = 0; turn < 1000 && taken < big.size(); ++turn) {
        const std::ptrdiff_t n = port.WriteSome(big.data() + taken, big.size() - taken);
        ASSERT_GE(n, 0);
        if (n == 0)
            break; // the pty's queue is full
        taken += static_cast<std::size_t>(n);
    }
    ASSERT_GT(taken, 0u);
    ASSERT_LT(taken, big.size());
    // Asked again at once it still returns; the kernel may have moved some bytes on to the
    // far end's side meanwhile and take a few more, which then count as written.
    const std::ptrdiff_t again = port.WriteSome(big.data() + taken, big.size() - taken);
    ASSERT_GE(again, 0);
    taken += static_cast<std::size_t>(again);
    ASSERT_LT(taken, big.size());

    std::string echoed;
    std::thread reader([&] { echoed = pty.Receive(big.size(), 20000); });
    while (taken < big.size()) {
        const std::ptrdiff_t n = port.WriteSome(big.data() + taken, big.size() - taken);
        ASSERT_GE(n, 0);
        taken += static_cast<std::size_t>(n);
        if (n == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    reader.join();
    EXPECT_TRUE(echoed == big);
}

// A held port reads nothing after the message it was reading until released, then delivers
// what waited; Close does not wait for a release.
TEST_F(SerialPortTest, HeldPortReadsNothingUntilReleased)
{
    port.m_dwPackInterval = 20;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    port.SetReadHeld(true);
    pty.Send("one"); // taken or not, depending on whether the worker was already waiting
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    pty.Send("two");
    EXPECT_FALSE(receiver.WaitForBytes(6, 300));
    port.SetReadHeld(false);
    ASSERT_TRUE(receiver.WaitForBytes(6));
    std::string joined;
    for (const std::string& text : receiver.Texts())
        joined += text;
    EXPECT_EQ(joined, "onetwo");

    port.SetReadHeld(true);
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.IsReadHeld());
}

TEST_F(SerialPortTest, OpenFailuresSayWhyAndLeaveThePortClosed)
{
    // A number that names no device, and a path that does not exist.
    EXPECT_FALSE(port.Open(&receiver, 8, ""));
    EXPECT_FALSE(port.Open(&receiver, 8, "/dev/ttyVRL-none"));
    // A folder and a file that is no terminal.
    const auto dir = std::filesystem::temp_directory_path();
    EXPECT_FALSE(port.Open(&receiver, 0, dir.string()));
    EXPECT_FALSE(port.Open(&receiver, 0, "/dev/null"));
    EXPECT_FALSE(port.Open(&receiver, 256, pty.Path()));
    EXPECT_EQ(sink.m_messages, (std::vector<std::string>{"COM9 为无效端口！", "COM9 为无效端口！",
                                                         "COM1 为无效端口！", "COM1 为无效端口！",
                                                         "COM257 为无效端口！"}));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.m_bOpened);

    // The same device twice: a second object is refused, the first is not disturbed.
    sink.m_messages.clear();
    ASSERT_TRUE(port.Open(&receiver, 2, pty.Path()));
    RecordingReceiver otherReceiver;
    SerialPort other(&sink);
    EXPECT_FALSE(other.Open(&otherReceiver, 2, pty.Path()));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"COM3 已被其他程序打开！"});
    EXPECT_FALSE(other.IsOpen());

    // Open on an open object: false, nothing shown, still working.
    sink.m_messages.clear();
    EXPECT_FALSE(port.Open(&receiver, 2, pty.Path()));
    EXPECT_TRUE(sink.m_messages.empty());
    pty.Send("ok");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    EXPECT_EQ(receiver.Texts(), std::vector<std::string>{"ok"});

    // Once closed, the other object may have it.
    port.Close();
    EXPECT_TRUE(other.Open(&otherReceiver, 2, pty.Path()));
}

TEST_F(SerialPortTest, ReopensWithItsSettingsAndClosesRightAfterOpen)
{
    SerialPort never;
    EXPECT_TRUE(never.Close()); // never opened: nothing to do
    EXPECT_FALSE(never.IsOpen());

    port.m_dwBaudRate = 115200;
    port.m_nStopBits = 2;
    port.m_dwPackInterval = 40;
    // Stop and join the worker however soon Close follows Open.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(port.Open(&receiver, 0, pty.Path())) << i;
        EXPECT_TRUE(port.Close());
        EXPECT_FALSE(port.IsRunning());
    }
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    EXPECT_EQ(port.m_dwBaudRate, 115200u);
    EXPECT_EQ(port.m_dwPackInterval, 40u);
    SerialLine::LineSettings line;
    ASSERT_TRUE(SerialLine::Read(pty.Slave(), line));
    EXPECT_EQ(line.baudRate, 115200u);
    EXPECT_EQ(line.stopBits, 2);
    pty.Send("again");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    EXPECT_EQ(receiver.Texts().back(), "again");
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST_F(SerialPortTest, InputPendingBeforeStartIsDroppedAndLaterInputKept)
{
    const auto joined = [](RecordingReceiver& r) {
        std::string all;
        for (const auto& t : r.Texts())
            all += t;
        return all;
    };
    // Waiting in the line before anyone opened it: from an earlier session, not this one.
    pty.Send("stale before open\n");
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    pty.Send("fresh1");
    ASSERT_TRUE(receiver.WaitForBytes(6));
    EXPECT_EQ(joined(receiver), "fresh1");
    port.Close();

    // Opened without the worker: what came before the worker starts is dropped too.
    RecordingReceiver later;
    ASSERT_TRUE(port.Open(&later, 0, pty.Path(), true, false));
    pty.Send("stale before start");
    ASSERT_TRUE(port.StartThread());
    pty.Send("fresh2");
    ASSERT_TRUE(later.WaitForBytes(6));
    EXPECT_EQ(joined(later), "fresh2");
}

TEST_F(SerialPortTest, ConfigureTakesAnyRateAndRefusesWhatLinuxCannotSet)
{
    // Rates without a Bxxx constant go through BOTHER; the others by their code, in both
    // directions, which every program that reads the line (stty, a getty) understands. The
    // pseudo-terminal shows the rate, the driver what was asked of it.
    const std::pair<std::uint32_t, tcflag_t> rates[] = {{128000, CBAUDEX}, {256000, CBAUDEX},
                                                        {56000, CBAUDEX},  {75, B75},
                                                        {115200, B115200}, {4000000, B4000000}};
    for (const auto& [rate, code] : rates) {
        port.m_dwBaudRate = rate;
        ASSERT_TRUE(port.Open(&receiver, 0, pty.Path(), true, false)) << rate;
        SerialLine::LineSettings line;
        ASSERT_TRUE(SerialLine::Read(pty.Slave(), line));
        EXPECT_EQ(line.baudRate, rate);
        port.Close();
        FakeLineDriver driver;
        port.SetLineDriver(&driver);
        ASSERT_TRUE(port.Open(&receiver, 0, pty.Path(), true, false)) << rate;
        port.Close();
        port.SetLineDriver(nullptr);
        EXPECT_EQ(driver.m_line.cflag & (CBAUD | CIBAUD), code | (code << 16)) << rate;
        EXPECT_EQ(driver.m_line.ospeed, rate);
        EXPECT_EQ(driver.m_line.ispeed, rate);
    }
    // Mark and space parity and 5 data bits are taken (a pty keeps CS8 and no parity).
    // A byte that arrives with a parity or framing error is delivered as it came, as the
    // original's driver did (it only counted the error): INPCK without PARMRK would turn it
    // into 00, and every address byte of a mark/space (9-bit) protocol with it.
    port.m_dwBaudRate = 9600;
    for (int parity = 1; parity <= 4; ++parity) {
        port.m_nParity = parity;
        port.m_nDataBits = 5 + parity % 4;
        EXPECT_TRUE(port.Open(&receiver, 0, pty.Path())) << parity;
        termios tio{};
        ASSERT_EQ(tcgetattr(pty.Slave(), &tio), 0);
        EXPECT_EQ(tio.c_iflag & (INPCK | IGNPAR | PARMRK | ISTRIP), 0u) << parity;
        port.Close();
    }
    EXPECT_TRUE(sink.m_messages.empty());

    // 4 data bits, 1.5 stop bits, and a rate of 0 (which would hang the line up) are refused
    // with the settings message; the port stays open, not monitoring, until closed.
    const std::string refused = "COM4设置错误：\n可能不支持所选波特率，或停止位，或数据位";
    auto expectRefused = [&](const char* what, const std::string& said = {}) {
        sink.m_messages.clear();
        EXPECT_FALSE(port.Open(&receiver, 3, pty.Path())) << what;
        EXPECT_EQ(sink.m_messages, std::vector<std::string>{said.empty() ? refused : said}) << what;
        EXPECT_TRUE(port.IsOpen()) << what;
        EXPECT_FALSE(port.IsRunning()) << what;
        EXPECT_TRUE(port.m_bOpened);
        port.Close();
        EXPECT_FALSE(port.IsOpen());
    };
    static_cast<PortSettings&>(port) = PortSettings{};
    port.m_nDataBits = 4;
    expectRefused("4 data bits");
    port.m_nDataBits = 8;
    port.m_nStopBits = 1;
    expectRefused("1.5 stop bits");
    port.m_nStopBits = 0;
    port.m_dwBaudRate = 0;
    expectRefused("rate 0");

    // A driver that refuses, or takes and then drops or rounds away what its UART cannot
    // do, has refused: never a port that runs on other settings than those shown. A pty
    // keeps CS8 whatever is asked, which is no refusal there. A device that fails says why.
    FakeLineDriver driver;
    port.SetLineDriver(&driver);
    port.m_dwBaudRate = 9600;
    driver.m_setError = EINVAL;
    expectRefused("EINVAL");
    driver.m_setError = 0;
    port.m_nDataBits = 5;
    driver.m_rewrite = [](LineDriver::Attributes& a) { a.cflag = (a.cflag & ~CSIZE) | CS8; };
    expectRefused("5 data bits dropped");
    driver.m_pseudoTerminal = true;
    EXPECT_TRUE(port.Open(&receiver, 3, pty.Path()));
    port.Close();
    driver.m_pseudoTerminal = false;
    port.m_nDataBits = 8;
    port.m_dwBaudRate = 256000;
    driver.m_rewrite = [](LineDriver::Attributes& a) { a.ospeed = 230400; };
    expectRefused("256000 rounded to 230400");
    driver.m_rewrite = nullptr;
    driver.m_setError = EIO;
    expectRefused("EIO", "COM4设置错误：\n" + std::generic_category().message(EIO));
    driver.m_setError = 0;
    driver.m_getError = EIO;
    expectRefused("EIO", "COM4设置错误：\n" + std::generic_category().message(EIO));
}

// RTS/CTS and XON/XOFF reach the line, XON/XOFF with DC1 and DC3 whatever the line had
// before; the three codes Linux has no setting for are refused with a message that names
// them, and so is a flow control that the driver takes and drops (a pty keeps every flag).
TEST_F(SerialPortTest, FlowControlIsAppliedOrRefused)
{
    const struct
    {
        int code;
        tcflag_t cflag, iflag; // CRTSCTS and IXON | IXOFF expected
        const char* refused;
        const char* dropped; // by a driver without it
    } cases[] = {{0, 0, 0, nullptr, nullptr},
                 {1, CRTSCTS, 0, nullptr, "COM2设置错误：\n设备的驱动不支持 RTS/CTS 流控制"},
                 {2, 0, IXON | IXOFF, nullptr, "COM2设置错误：\n设备的驱动不支持 XON/XOFF 流控制"},
                 {3, 0, 0, "COM2设置错误：\nLinux 不支持 DTR/CTS 流控制", nullptr},
                 {5, 0, 0, "Linux 不支持 DTR/DSR", nullptr}};
    enum Driver
    {
        Pty,   // the kernel's pseudo-terminal
        Keeps, // a UART's driver that has both
        Drops, // one that has neither
    };
    for (const Driver kind : {Pty, Keeps, Drops})
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "code " << c.code << ", driver " << kind);
            const char* refused = kind == Drops && c.dropped ? c.dropped : c.refused;
            FakeLineDriver driver;
            if (kind == Drops)
                driver.m_rewrite = [](LineDriver::Attributes& a) {
                    a.cflag &= ~CRTSCTS;
                    a.iflag &= ~(IXON | IXOFF);
                };
            port.SetLineDriver(kind == Pty ? nullptr : &driver);
            sink.m_messages.clear();
            port.m_nFlowControl = c.code;
            EXPECT_EQ(port.Open(&receiver, 1, pty.Path()), refused == nullptr);
            termios tio{};
            ASSERT_EQ(tcgetattr(pty.Slave(), &tio), 0);
            const std::uint32_t cflag = kind == Pty ? tio.c_cflag : driver.m_line.cflag;
            const std::uint32_t iflag = kind == Pty ? tio.c_iflag : driver.m_line.iflag;
            const cc_t start = kind == Pty ? tio.c_cc[VSTART] : driver.m_line.cc[VSTART];
            const cc_t stop = kind == Pty ? tio.c_cc[VSTOP] : driver.m_line.cc[VSTOP];
            if (refused) {
                ASSERT_EQ(sink.m_messages.size(), 1u);
                EXPECT_NE(sink.m_messages[0].find(refused), std::string::npos)
                    << sink.m_messages[0];
            } else {
                EXPECT_TRUE(sink.m_messages.empty());
                EXPECT_EQ(cflag & CRTSCTS, c.cflag);
                EXPECT_EQ(iflag & (IXON | IXOFF), c.iflag);
                if (c.code == 2) {
                    EXPECT_EQ(start, 0x11);
                    EXPECT_EQ(stop, 0x13);
                }
            }
            port.Close();
            port.SetLineDriver(nullptr);
        }
}

TEST_F(SerialPortTest, PacksByTheInterval)
{
    port.m_dwPackInterval = 60;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));

    // A burst of 10 bytes and then silence: one message of 10 bytes.
    pty.Send("0123456789");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(receiver.Texts(), std::vector<std::string>{"0123456789"});

    // Bytes 2 ms apart stay one message; bytes 150 ms apart are separate messages.
    for (char c : std::string("abcdef")) {
        pty.Send(std::string(1, c));
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_TRUE(receiver.WaitForMessages(2));
    for (char c : std::string("XYZ")) {
        std::this_thread::sleep_for(150ms);
        pty.Send(std::string(1, c));
    }
    ASSERT_TRUE(receiver.WaitForMessages(5));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(receiver.Texts(), (std::vector<std::string>{"0123456789", "abcdef", "X", "Y", "Z"}));
}

TEST_F(SerialPortTest, IntervalZeroWaitsForFullMessages)
{
    port.m_dwPackInterval = 0;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    const std::string data = Pattern(2 * 4096 + 100);
    pty.Send(data.substr(0, 100));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(receiver.Count(), 0u);
    pty.Send(data.substr(100));
    ASSERT_TRUE(receiver.WaitForMessages(2));
    std::this_thread::sleep_for(200ms);
    const auto texts = receiver.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(texts[0] == data.substr(4096 - 4096, 4096));
    EXPECT_TRUE(texts[1] == data.substr(4096, 4096));

    // What was read before Close is still delivered (100 bytes waiting for the rest).
    port.Close();
    ASSERT_EQ(receiver.Count(), 3u);
    EXPECT_TRUE(receiver.Texts()[2] == data.substr(2 * 4096));
}

TEST_F(SerialPortTest, ContinuousStreamGivesFullMessagesWithoutLoss)
{
    // An interval far longer than any pause of the writer: only the 4096-byte limit cuts.
    port.m_dwPackInterval = 300;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    const std::size_t total = 10 * 1024 * 1024;
    const std::string data = Pattern(total, 777);
    std::thread writer([&] { pty.Send(data); });
    ASSERT_TRUE(receiver.WaitForBytes(total, 60000));
    writer.join();
    std::this_thread::sleep_for(100ms);
    const auto messages = receiver.Messages();
    std::string joined;
    joined.reserve(total);
    std::size_t shortOnes = 0;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (messages[i].size() != SerialPort::kReadSize && i + 1 != messages.size())
            ++shortOnes;
        joined.append(messages[i].begin(), messages[i].end());
    }
    EXPECT_EQ(shortOnes, 0u);
    EXPECT_EQ(joined.size(), total);
    EXPECT_TRUE(joined == data); // no byte lost, doubled or reordered
}

// Data and the stop request are both waiting when the worker next looks: it stops without
// reading, so nothing that came after Close was asked for is delivered.
TEST_F(SerialPortTest, StopWinsOverDataReadyAtTheSameTime)
{
    GatedReceiver gated;
    port.m_dwPackInterval = 20;
    ASSERT_TRUE(port.Open(&gated, 0, pty.Path()));
    pty.Send("a");
    ASSERT_TRUE(gated.WaitForMessages(1)); // the worker now waits in the gate
    pty.Send("late");
    std::thread closer([&] { port.Close(); });
    std::this_thread::sleep_for(300ms); // Close has signalled the stop and waits to join
    gated.Open();
    closer.join();
    EXPECT_EQ(gated.Texts(), std::vector<std::string>{"a"});
    EXPECT_EQ(gated.Stops(), 0);
}

// The window thread writes while the worker reads the same descriptor: both directions
// arrive whole and in order.
TEST_F(SerialPortTest, WritesWhileTheWorkerReads)
{
    port.m_dwPackInterval = 300;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    const std::size_t total = 2 * 1024 * 1024;
    const std::string in = Pattern(total, 4242);
    const std::string out = Pattern(total, 2424);
    std::string echoed;
    std::thread farWriter([&] { pty.Send(in); });
    std::thread farReader([&] { echoed = pty.Receive(total, 60000); });
    std::size_t written = 0;
    for (std::size_t at = 0; at < total; at += 1000) // as lines are sent, one at a time
        written += WriteAll(port, out.data() + at, std::min<std::size_t>(1000, total - at));
    farWriter.join();
    farReader.join();
    EXPECT_EQ(written, total);
    EXPECT_TRUE(echoed == out);
    ASSERT_TRUE(receiver.WaitForBytes(total, 60000));
    std::string received;
    for (const auto& m : receiver.Messages())
        received.append(m.begin(), m.end());
    EXPECT_TRUE(received == in);
    EXPECT_TRUE(port.Close());
}

TEST_F(SerialPortTest, HangUpEndsTheWorkerOnceWithoutSpinning)
{
    port.m_dwPackInterval = 20;
    ASSERT_TRUE(port.Open(&receiver, 5, pty.Path()));
    pty.Send("last words");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    pty.CloseMaster();
    ASSERT_TRUE(receiver.WaitForStop());
    for (int i = 0; i < 200 && port.IsRunning(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(port.IsRunning());

    // Nothing spins afterwards (a busy loop would burn the whole 300 ms).
    const double cpuBefore = ProcessCpuSeconds();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.1);
    EXPECT_EQ(receiver.Stops(), 1);
    EXPECT_EQ(receiver.Reason(), "设备已断开");
    EXPECT_EQ(receiver.Texts(), std::vector<std::string>{"last words"});
    EXPECT_TRUE(port.IsOpen()); // open, not monitoring, until closed
    EXPECT_TRUE(port.Close());
    EXPECT_EQ(receiver.Stops(), 1);
}

TEST_F(SerialPortTest, CloseDuringBurstStopsDeliveries)
{
    port.m_dwPackInterval = 20;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    std::atomic<bool> stop{false};
    const int flags = fcntl(pty.Master(), F_GETFL);
    fcntl(pty.Master(), F_SETFL, flags | O_NONBLOCK);
    std::thread writer([&] {
        const std::string chunk = Pattern(1000);
        while (!stop)
            if (write(pty.Master(), chunk.data(), chunk.size()) < 0)
                std::this_thread::sleep_for(1ms);
    });
    ASSERT_TRUE(receiver.WaitForBytes(100000));
    EXPECT_TRUE(port.Close());
    const std::size_t count = receiver.Count();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(receiver.Count(), count); // nothing arrives after Close has returned
    EXPECT_EQ(receiver.Stops(), 0);     // a Close is no failure
    stop = true;
    writer.join();
}

namespace {
// Runs `body` in a child process under another user id; its result is the exit status.
int AsOtherUser(const std::function<int()>& body)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}
} // namespace

TEST_F(SerialPortTest, OthersAreKeptOutWhileOpenAndLetInAfterClose)
{
    auto plainOpen = [&] {
        const int fd = open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd >= 0) {
            close(fd);
            return 0;
        }
        return errno == EBUSY ? 1 : 2;
    };
    // A program that takes no lock is kept out by TIOCEXCL, which root passes: try it as
    // another user where the test runs as root.
    const bool root = geteuid() == 0;
    auto other = [&] { return root ? AsOtherUser(plainOpen) : plainOpen(); };
    if (root) {
        ASSERT_EQ(chmod(pty.Path().c_str(), 0666), 0);
    }
    ASSERT_EQ(other(), 0);
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    EXPECT_EQ(other(), 1);
    port.Close();
    EXPECT_EQ(other(), 0); // the test keeps the slave open: exclusive mode must be cleared

    if (!root)
        GTEST_SKIP() << "the no-permission case needs root to act as a second user";
    // A device the user may not open: the Linux cause, not "in use".
    ASSERT_EQ(chmod(pty.Path().c_str(), 0600), 0);
    const int result = AsOtherUser([&] {
        RecordingSink childSink;
        SerialPort childPort(&childSink);
        const bool opened = childPort.Open(&receiver, 0, pty.Path(), true, false);
        return !opened && childSink.m_messages == std::vector<std::string>{"COM1 没有访问权限！"}
                   ? 0
                   : 1;
    });
    EXPECT_EQ(result, 0);
}
