#include "core/serial/ModemLines.h"
#include "core/serial/Rfc2217.h"
#include "core/serial/SerialLine.h"
#include "core/serial/SerialPort.h"
#include "core/serial/SerialTransport.h"

#include "LoopbackServer.h"
#include "PortRecorders.h"
#include "PtyPair.h"
#include "Ser2net.h"
#include "WriteAll.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/tcp.h>
#include <numeric>
#include <sys/eventfd.h>
#include <thread>

namespace {
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// What the client sends first, and ser2net's greeting on a telnet(rfc2217) port, recorded.
const Bytes kClientGreeting = B({255, 251, 0, 255, 251, 3, 255, 251, 44, 255, 253, 0, 255, 253, 3});
const Bytes kSer2netGreeting =
    B({255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0, 255, 251, 0, 255, 253, 44});
// After DO COM-PORT with 19200 7E2 and DTR on, RTS off, no flow control: ask for every
// modem change, then the settings, then the lines.
const Bytes kSettings19200E72 = B({255, 250, 44, 11, 255, 255, 255,  240, // modem-state mask 0xFF
                                   255, 250, 44, 1,  0,   0,   0x4B, 0x00, 255, 240, // 19200
                                   255, 250, 44, 2,  7,   255, 240,                  // 7 data bits
                                   255, 250, 44, 3,  3,   255, 240,                  // even
                                   255, 250, 44, 4,  2,   255, 240,                  // 2 stop bits
                                   255, 250, 44, 5,  1,   255, 240,   // no flow control
                                   255, 250, 44, 5,  8,   255, 240,   // DTR on
                                   255, 250, 44, 5,  12,  255, 240}); // RTS off

const SerialLine::LineSettings kLine19200E72{19200, 2, 7, 2};

class RemoteReceiver : public RecordingReceiver
{
public:
    void OnPortConnected(unsigned, std::string where) override
    {
        std::lock_guard lock(m_mutex);
        m_connected.push_back(std::move(where));
    }
    void OnModemLines(unsigned, bool available, unsigned lines) override
    {
        std::lock_guard lock(m_mutex);
        m_lines.emplace_back(available, lines);
    }
    template <class T> T Get(const T& member)
    {
        std::lock_guard lock(m_mutex);
        return member;
    }
    bool Until(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < until) {
            {
                std::lock_guard lock(m_mutex);
                if (done())
                    return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    std::mutex m_mutex;
    std::vector<std::string> m_connected;
    std::vector<std::pair<bool, unsigned>> m_lines;
};

std::string Joined(const std::vector<std::vector<std::uint8_t>>& messages)
{
    std::string all;
    for (const auto& m : messages)
        all.append(m.begin(), m.end());
    return all;
}
} // namespace

// --- The protocol, against recorded byte sequences --------------------------------------

TEST(Rfc2217SessionTest, NegotiatesAndDecodesRecordedSequences)
{
    struct Case
    {
        const char* name;
        std::vector<Bytes> reads; // what the server sends, read by read
        std::string data;         // the port's data found in it
        Bytes answer;             // what the client answers (after its greeting)
        Rfc2217Session::ComPort comPort;
        std::vector<std::string> notes;
    };
    const std::string ff = "\xff";
    const std::vector<Case> cases = {
        {"ser2net greeting: refuse echo, agree, then settings",
         {kSer2netGreeting},
         "",
         Concat({B({255, 254, 1}), kSettings19200E72}),
         Rfc2217Session::ComPort::Agreed,
         {}},
        {"doubled IAC is one data byte",
         {B({'x', 255, 255, 'y'})},
         "x" + ff + "y",
         {},
         Rfc2217Session::ComPort::Asked,
         {}},
        {"IAC IAC split between reads",
         {B({'x', 255}), B({255, 'y'})},
         "x" + ff + "y",
         {},
         Rfc2217Session::ComPort::Asked,
         {}},
        {"DO COM-PORT split after IAC and after DO",
         {B({'a', 255}), B({253}), B({44, 'b'})},
         "ab",
         kSettings19200E72,
         Rfc2217Session::ComPort::Agreed,
         {}},
        {"subnegotiation split, with a doubled IAC in it, and data around",
         {B({'1', 255, 250, 44}), B({107, 0x30, 255}), B({240, '2', 255, 255})},
         "12" + ff,
         {},
         Rfc2217Session::ComPort::Asked,
         {}},
        {"NOP and go-ahead carry no data",
         {B({'a', 255, 241, 'b', 255, 249})},
         "ab",
         {},
         Rfc2217Session::ComPort::Asked,
         {}},
        {"runs of data between commands close up",
         {B({255, 241, 'a', 'b', 'c', 255, 255, 'd', 'e', 255, 241, 'f', 'g'})},
         "abc" + ff + "defg",
         {},
         Rfc2217Session::ComPort::Asked,
         {}},
        {"refused option is told once",
         {B({255, 254, 44, 255, 254, 44})},
         "",
         B({255, 252, 44}),
         Rfc2217Session::ComPort::Refused,
         {"服务器拒绝了 RFC 2217 串口控制：波特率、数据位、校验、停止位和 DTR/RTS 不会传到远端串口"}},
        {"unknown option requested: refused once",
         {B({255, 253, 24, 255, 253, 24})},
         "",
         B({255, 252, 24}),
         Rfc2217Session::ComPort::Asked,
         {}},
        {"answers that differ become notes; equal ones do not",
         {B({255, 253, 44}),
          B({255, 250, 44,  101, 0,   0, 0x25, 0x80, 255, 240, 255, 250, 44, 102, 8,  255,
             240, 255, 250, 44,  103, 3, 255,  240,  255, 250, 44,  104, 2,  255, 240})},
         "",
         kSettings19200E72,
         Rfc2217Session::ComPort::Agreed,
         {"远端串口未接受 19200 波特（现为 9600）", "远端串口未接受 7 数据位（现为 8）"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rfc2217Session session;
        Bytes out;
        session.SetLine(kLine19200E72, 0, out);
        session.SetOutputs(ModemLines::kDtr, true, out);
        session.SetOutputs(ModemLines::kRts, false, out);
        EXPECT_TRUE(out.empty()); // nothing before the server agreed
        const auto decode = [&](const std::vector<Bytes>& reads) {
            out.clear();
            session.Start(out);
            EXPECT_EQ(out, kClientGreeting);
            out.clear();
            std::string data;
            for (Bytes read : reads) {
                const std::size_t n = session.Receive(read.data(), read.size(), out);
                data.append(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(n));
            }
            return data;
        };
        EXPECT_EQ(decode(c.reads), c.data);
        EXPECT_EQ(out, c.answer);
        EXPECT_EQ(session.ComPortState(), c.comPort);
        EXPECT_EQ(session.TakeNotes(), c.notes);

        // The same bytes cut anywhere by the reads (into two, or one byte each) decode alike.
        const Bytes wire = std::accumulate(c.reads.begin(), c.reads.end(), Bytes{},
                                           [](Bytes all, const Bytes& read) {
                                               all.insert(all.end(), read.begin(), read.end());
                                               return all;
                                           });
        std::vector<std::vector<Bytes>> cuts;
        for (std::size_t at = 0; at <= wire.size(); ++at)
            cuts.push_back({Bytes(wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(at)),
                            Bytes(wire.begin() + static_cast<std::ptrdiff_t>(at), wire.end())});
        cuts.emplace_back();
        for (std::uint8_t b : wire)
            cuts.back().push_back({b});
        for (const auto& reads : cuts) {
            SCOPED_TRACE(reads.size() == 2 ? "cut at " + std::to_string(reads[0].size())
                                           : "byte by byte");
            EXPECT_EQ(decode(reads), c.data);
            EXPECT_EQ(out, c.answer);
            (void)session.TakeNotes();
        }
    }
}

TEST(Rfc2217SessionTest, ModemStateAndEscapedValues)
{
    Rfc2217Session session;
    Bytes out;
    session.Start(out);
    unsigned lines = 0;
    EXPECT_FALSE(session.InputLines(lines)); // unknown until the server tells
    Bytes notify = B({255, 253, 44, 255, 250, 44, 107, 0xB0, 255, 240}); // DCD, DSR, CTS
    session.Receive(notify.data(), notify.size(), out);
    ASSERT_TRUE(session.InputLines(lines));
    EXPECT_EQ(lines, ModemLines::kDcd | ModemLines::kDsr | ModemLines::kCts);

    // A rate whose bytes hold 0xFF is escaped inside the subnegotiation too.
    out.clear();
    SerialLine::LineSettings line;
    line.baudRate = 0x0001FFFF;
    session.SetLine(line, 0, out);
    const Bytes rate = B({255, 250, 44, 1, 0, 1, 255, 255, 255, 255, 255, 240});
    ASSERT_GE(out.size(), rate.size());
    EXPECT_TRUE(std::equal(rate.begin(), rate.end(), out.begin()));

    // Port data for the wire, appended behind what is already there.
    const struct
    {
        Bytes data, wire;
    } escapes[] = {
        {{}, {}},
        {B({1, 2, 3}), B({1, 2, 3})},
        {B({255}), B({255, 255})},
        {B({0, 255, 255, 1, 255}), B({0, 255, 255, 255, 255, 1, 255, 255})},
        {Concat({Bytes(40, 'a'), B({255}), Bytes(40, 'b')}),
         Concat({Bytes(40, 'a'), B({255, 255}), Bytes(40, 'b')})},
    };
    for (const auto& e : escapes) {
        Bytes escaped = B({9});
        Rfc2217Session::Escape(e.data.data(), e.data.size(), escaped);
        EXPECT_EQ(escaped, Concat({B({9}), e.wire}));
    }
}

TEST(SerialTransportTest, ParsesAddresses)
{
    const struct
    {
        const char* text;
        bool ok;
        bool rfc2217;
        const char* host;
        unsigned port;
    } cases[] = {
        {"rfc2217://rig-pi:3001", true, true, "rig-pi", 3001},
        {"TCP://10.0.0.7:4001", true, false, "10.0.0.7", 4001},
        {"rfc2217://[::1]:3001", true, true, "::1", 3001},
        {"rfc2217://::1:3001", false, false, "", 0},
        {"tcp://host", false, false, "", 0},
        {"tcp://host:0", false, false, "", 0},
        {"tcp://host:65536", false, false, "", 0},
        {"tcp://:3001", false, false, "", 0},
        {"tcp://host:30a1", false, false, "", 0},
        {"telnet://host:23", false, false, "", 0},
        {"/dev/ttyUSB0", false, false, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SerialTransport::Endpoint e;
        ASSERT_EQ(SerialTransport::Parse(c.text, e), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(e.rfc2217, c.rfc2217);
        EXPECT_EQ(e.host, c.host);
        EXPECT_EQ(e.port, c.port);
    }
    EXPECT_TRUE(SerialTransport::IsRemote("telnet://host:23"));
    EXPECT_FALSE(SerialTransport::IsRemote("/dev/pts/3"));
}

// --- The port over a fake server -------------------------------------------------------

TEST(RemotePortTest, FakeServerSettingsLinesAndBinaryData)
{
    LoopbackServer server;
    RemoteReceiver receiver;
    RecordingSink sink;
    SerialPort port(&sink);
    static_cast<PortSettings&>(port) = PortSettings{19200, 2, 2, 7, 0, 20};
    port.SetOutputLines(ModemLines::kDtr);
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(port.Open(&receiver, 4, "rfc2217://127.0.0.1:" + std::to_string(server.port)));
    EXPECT_LT(std::chrono::steady_clock::now() - before,
              100ms); // no connect on the caller's thread
    ASSERT_TRUE(server.Accept());
    EXPECT_EQ(server.Receive(kClientGreeting.size()), kClientGreeting);
    ASSERT_TRUE(receiver.Until([&] { return receiver.m_connected.size() == 1; }));
    EXPECT_EQ(receiver.Get(receiver.m_connected).front(),
              "127.0.0.1:" + std::to_string(server.port));

    ASSERT_TRUE(server.Send(kSer2netGreeting));
    const Bytes answer = Concat({B({255, 254, 1}), kSettings19200E72});
    EXPECT_EQ(server.Receive(answer.size()), answer);
    ASSERT_TRUE(server.Send(B({255, 250, 44, 107, 0x10, 255, 240}))); // CTS on
    ASSERT_TRUE(
        receiver.Until([&] { return !receiver.m_lines.empty() && receiver.m_lines.back().first; }));
    EXPECT_EQ(receiver.Get(receiver.m_lines).back().second, ModemLines::kCts);

    // DTR switched by the user goes out at once, unanswered.
    EXPECT_TRUE(port.SetOutputLine(ModemLines::kDtr, false));
    EXPECT_EQ(server.Receive(7), B({255, 250, 44, 5, 9, 255, 240}));

    // Every byte value both ways, 0xFF doubled on the wire only.
    Bytes all(259, 255);
    std::iota(all.begin(), all.begin() + 256, std::uint8_t{0});
    Bytes wire;
    Rfc2217Session::Escape(all.data(), all.size(), wire);
    EXPECT_EQ(WriteAll(port, all.data(), all.size()), all.size());
    EXPECT_EQ(server.Receive(wire.size()), wire);
    ASSERT_TRUE(server.Send(wire));
    ASSERT_TRUE(receiver.WaitForBytes(all.size()));
    EXPECT_EQ(Joined(receiver.Messages()), std::string(all.begin(), all.end()));

    // The server goes away: the port says so and writes nothing more.
    server.Drop();
    ASSERT_TRUE(receiver.WaitForStop());
    EXPECT_EQ(receiver.Reason(), "连接已断开（127.0.0.1:" + std::to_string(server.port) + "）");
    EXPECT_EQ(WriteAll(port, "x", 1), 0u);

    // Called again, a server that takes the call and hangs up at once is not back; one
    // that keeps it is.
    ASSERT_TRUE(port.Redial(&receiver));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(server.Accept());
        server.Drop();
    }
    EXPECT_EQ(receiver.Get(receiver.m_connected).size(), 1u);
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(receiver.Until([&] { return receiver.m_connected.size() == 2; }));
    port.Close();
    EXPECT_TRUE(sink.m_messages.empty());
}

// DTR switched from the window thread and RTS from the forwarding tap's (the other port's
// worker), the settings changed meanwhile, while the worker reads a stream with the
// server's line notices in it: every command reaches the wire whole and in its thread's
// order, no byte is lost, and neither switch undoes the other. The transport's lock keeps
// the switches apart (ThreadSanitizer sees one without it at once).
TEST(RemotePortTest, LinesSwitchedFromTwoThreadsWhileDataStreams)
{
    LoopbackServer server;
    RemoteReceiver receiver;
    SerialPort port;
    port.m_dwPackInterval = 1; // each piece of the stream delivered at once
    ASSERT_TRUE(port.Open(&receiver, 4, "rfc2217://127.0.0.1:" + std::to_string(server.port)));
    ASSERT_TRUE(server.Accept());
    EXPECT_EQ(server.Receive(kClientGreeting.size()), kClientGreeting);
    ASSERT_TRUE(server.Send(kSer2netGreeting));
    const std::size_t agreed = 3 + kSettings19200E72.size(); // DONT ECHO, then the settings
    ASSERT_EQ(server.Receive(agreed).size(), agreed);

    // Both switch at least kSwitches times, and on until the worker has read the stream.
    constexpr int kSwitches = 3000;
    constexpr int kSettingsEvery = 100; // DTR switches; 5 commands, 38 bytes
    Bytes stream;
    for (int i = 0; i < 200 * 1000; ++i)
        stream.push_back(static_cast<std::uint8_t>((i * 13 + i / 1000) & 0xFF));
    const auto until = std::chrono::steady_clock::now() + 20s; // a lost byte ends it too
    const auto streaming = [&] {
        return receiver.Bytes() < stream.size() && std::chrono::steady_clock::now() < until;
    };
    std::atomic<int> undone{0};
    const auto shows = [&](unsigned line, bool on) {
        if (((port.OutputLines() & line) != 0) != on)
            ++undone;
    };
    std::thread far([&] {
        // In small pieces, each with a notice, one read each: each read decodes while the
        // switches go out.
        for (std::size_t at = 0; at < stream.size(); at += 800) {
            while (receiver.Bytes() < at && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(100us);
            Bytes wire;
            Rfc2217Session::Escape(stream.data() + at, 800, wire);
            const Bytes notice = B({255, 250, 44, 107, at % 1600 ? 0x10 : 0x00, 255, 240});
            wire.insert(wire.end(), notice.begin(), notice.end());
            ASSERT_TRUE(server.Send(wire));
        }
    });
    int rtsSwitches = 0;
    std::thread tap([&] {
        for (; rtsSwitches < kSwitches || streaming(); ++rtsSwitches) {
            port.NoteOutputLine(ModemLines::kRts, rtsSwitches % 2 == 0);
            port.Lines()->Set(ModemLines::kRts, rtsSwitches % 2 == 0);
            shows(ModemLines::kRts, rtsSwitches % 2 == 0);
            std::this_thread::sleep_for(20us); // room for the worker on a small machine
        }
    });
    int dtrSwitches = 0;
    int settingsChanges = 0;
    for (; dtrSwitches < kSwitches || streaming(); ++dtrSwitches) {
        port.SetOutputLine(ModemLines::kDtr, dtrSwitches % 2 == 0);
        shows(ModemLines::kDtr, dtrSwitches % 2 == 0);
        std::this_thread::sleep_for(20us);
        if (dtrSwitches % kSettingsEvery == 0) {
            port.m_dwBaudRate = port.m_dwBaudRate == 9600 ? 19200 : 9600;
            EXPECT_TRUE(port.Configure());
            ++settingsChanges;
        }
    }
    tap.join();
    far.join();

    // The wire: IAC SB COM-PORT command value IAC SE, one after another.
    const Bytes wire = server.Receive(
        static_cast<std::size_t>((dtrSwitches + rtsSwitches) * 7 + settingsChanges * 38));
    Bytes dtr, rts;
    int settings = 0;
    std::size_t at = 0;
    while (at + 7 <= wire.size() && wire[at] == 255 && wire[at + 1] == 250 && wire[at + 2] == 44) {
        std::size_t end = at + 4;
        while (end + 1 < wire.size() && !(wire[end] == 255 && wire[end + 1] == 240))
            end += wire[end] == 255 ? 2 : 1;
        const std::uint8_t command = wire[at + 3], value = wire[at + 4];
        if (command == 5 && (value == 8 || value == 9))
            dtr.push_back(value);
        else if (command == 5 && (value == 11 || value == 12))
            rts.push_back(value);
        else
            ++settings;
        at = end + 2;
    }
    EXPECT_EQ(at, wire.size()) << "a command cut or mixed into another";
    Bytes dtrAsked, rtsAsked;
    for (int i = 0; i < dtrSwitches; ++i)
        dtrAsked.push_back(i % 2 == 0 ? 8 : 9);
    for (int i = 0; i < rtsSwitches; ++i)
        rtsAsked.push_back(i % 2 == 0 ? 11 : 12);
    EXPECT_TRUE(dtr == dtrAsked);
    EXPECT_TRUE(rts == rtsAsked);
    EXPECT_EQ(settings, settingsChanges * 5);
    EXPECT_EQ(undone.load(), 0);

    EXPECT_TRUE(Joined(receiver.Messages()) == std::string(stream.begin(), stream.end()));
    port.Close();
}

// An idle server that vanishes without a word (power cut, cable pulled) is noticed only by
// keep-alive probes: both transports ask for them on the socket they read, soon enough that
// the port calls again within about half a minute (the kernel's own wait is two hours).
TEST(RemotePortTest, TransportsProbeAnIdleServer)
{
    LoopbackServer server;
    const int stop = eventfd(0, EFD_CLOEXEC);
    for (const char* scheme : {"tcp://", "rfc2217://"}) {
        SCOPED_TRACE(scheme);
        const auto link = SerialTransport::Create(scheme + std::string("127.0.0.1:")
                                                  + std::to_string(server.port));
        ASSERT_TRUE(link);
        std::string reason;
        ASSERT_EQ(link->Connect(stop, 5000, reason), SerialTransport::ConnectResult::Connected)
            << reason;
        const auto option = [&](int level, int name) {
            int value = -1;
            socklen_t size = sizeof value;
            return getsockopt(link->Fd(), level, name, &value, &size) == 0 ? value : -1;
        };
        EXPECT_EQ(option(SOL_SOCKET, SO_KEEPALIVE), 1);
        const int idle = option(IPPROTO_TCP, TCP_KEEPIDLE);
        const int interval = option(IPPROTO_TCP, TCP_KEEPINTVL);
        const int count = option(IPPROTO_TCP, TCP_KEEPCNT);
        EXPECT_GT(idle, 0);
        EXPECT_GT(interval, 0);
        EXPECT_GT(count, 0);
        EXPECT_LE(idle + interval * count, 30) << idle << " + " << interval << " x " << count;
        // Data the server never acknowledges ends the connection as soon.
        const int unacknowledged = option(IPPROTO_TCP, TCP_USER_TIMEOUT);
        EXPECT_GT(unacknowledged, 0);
        EXPECT_LE(unacknowledged, 30000);
        link->Disconnect();
        ASSERT_TRUE(server.Accept());
        server.Drop();
    }
    close(stop);
}

TEST(RemotePortTest, UnreachableServersAndBadAddresses)
{
    // A loopback port nobody listens on refuses at once.
    LoopbackServer gone;
    gone.StopListening();
    const std::uint16_t closedPort = gone.port;
    const struct
    {
        std::string device;
        bool opens;
        std::string said; /* stop reason or refusal */
    } cases[] = {
        {"tcp://127.0.0.1:" + std::to_string(closedPort), true,
         "无法连接 127.0.0.1:" + std::to_string(closedPort)
             + "：连接被拒绝（服务器未运行或端口不对）"},
        {"rfc2217://no-such-host.invalid:3001", true,
         "无法连接 no-such-host.invalid:3001：找不到主机 no-such-host.invalid"},
        {"rfc2217://rig-pi", false, "COM5 为无效端口！"},
        {"telnet://rig-pi:23", false, "COM5 为无效端口！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        RemoteReceiver receiver;
        RecordingSink sink;
        SerialPort port(&sink);
        ASSERT_EQ(port.Open(&receiver, 4, c.device), c.opens);
        if (!c.opens) {
            EXPECT_EQ(sink.m_messages, std::vector<std::string>{c.said});
            EXPECT_FALSE(port.IsOpen());
            continue;
        }
        ASSERT_TRUE(receiver.WaitForStop(8000));
        EXPECT_EQ(receiver.Reason(), c.said);
        EXPECT_FALSE(port.HasConnected());
        EXPECT_TRUE(port.Close());
    }
}

// --- A real ser2net on loopback, serving a pseudo-terminal ------------------------------

TEST(RemotePortTest, Ser2netRoundTripRateAndRestart)
{
    if (!Ser2net::Installed())
        GTEST_SKIP() << "ser2net is not installed (scripts/deps installs it)";
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("vrl-ser2net-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    PtyPair pty;
    Ser2net server({pty.Path()}, dir.string());
    ASSERT_TRUE(server.Start());

    std::string data = "\xff\xff\xff";
    for (int i = 0; i < 4000; ++i)
        data.push_back(static_cast<char>((i * 97 + i / 256) & 0xFF));
    data += "\xff";
    for (const bool rfc2217 : {true, false}) {
        SCOPED_TRACE(rfc2217 ? "rfc2217" : "raw tcp");
        RemoteReceiver receiver;
        SerialPort port;
        port.m_dwBaudRate = rfc2217 ? 57600 : 9600;
        ASSERT_TRUE(port.Open(&receiver, 2, rfc2217 ? server.Rfc2217Url() : server.RawUrl()));
        ASSERT_TRUE(receiver.Until([&] { return receiver.m_connected.size() == 1; }));
        if (rfc2217) {
            // The rate set in the port is the served device's rate (what stty -F reads).
            SerialLine::LineSettings line;
            EXPECT_TRUE(receiver.Until([&] {
                return SerialLine::Read(pty.Slave(), line) && line.baudRate == 57600;
            })) << line.baudRate;
        } else
            std::this_thread::sleep_for(200ms); // ser2net opens the device after the accept

        // Both ways, 0xFF included, nothing lost or changed.
        EXPECT_EQ(WriteAll(port, data.data(), data.size()), data.size());
        EXPECT_TRUE(pty.Receive(data.size()) == data);
        pty.Send(data);
        ASSERT_TRUE(receiver.WaitForBytes(data.size()));
        EXPECT_TRUE(Joined(receiver.Messages()) == data);

        // The server restarts: the port hears the loss, calls again at most once a second,
        // and carries data again once the server is back.
        server.Stop();
        ASSERT_TRUE(receiver.WaitForStop());
        EXPECT_NE(receiver.Reason().find("连接已断开"), std::string::npos) << receiver.Reason();
        ASSERT_TRUE(port.Redial(&receiver));
        std::this_thread::sleep_for(1500ms);
        EXPECT_EQ(receiver.Get(receiver.m_connected).size(), 1u);
        ASSERT_TRUE(server.Start());
        ASSERT_TRUE(receiver.Until([&] { return receiver.m_connected.size() == 2; }, 4000));
        std::this_thread::sleep_for(200ms);
        const std::size_t before = receiver.Bytes();
        pty.Send("back\xff");
        ASSERT_TRUE(receiver.WaitForBytes(before + 5));
        EXPECT_EQ(Joined(receiver.Messages()).substr(before), "back\xff");
        EXPECT_EQ(WriteAll(port, "again", 5), 5u);
        EXPECT_EQ(pty.Receive(5), "again");
        port.Close();
        std::this_thread::sleep_for(300ms); // ser2net lets go of the device after the close
    }
    server.Stop();
    std::filesystem::remove_all(dir);
}
