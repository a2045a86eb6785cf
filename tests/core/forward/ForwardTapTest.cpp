#include "core/forward/ForwardTap.h"
#include "core/send/SendQueues.h"
#include "core/serial/SerialPort.h"

#include "FakeModemLines.h"
#include "LoopbackServer.h"
#include "PortRecorders.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

namespace {
// Two ports on pseudo-terminals, COM1 (0) and COM2 (1), forwarding through one tap; the far
// ends stand for master and device.
struct Tap
{
    PtyPair a, b;
    FakeLineState linesA, linesB;
    RecordingReceiver receiver;
    ForwardTap tap;
    SerialPort portA, portB;

    void Open(std::uint32_t packA, std::uint32_t packB, bool lines = false)
    {
        ASSERT_FALSE(a.Path().empty() || b.Path().empty());
        portA.SetModemLinesFactory(
            [this](int) { return std::make_unique<FakeModemLines>(linesA); });
        portB.SetModemLinesFactory(
            [this](int) { return std::make_unique<FakeModemLines>(linesB); });
        portA.m_dwPackInterval = packA;
        portB.m_dwPackInterval = packB;
        portA.SetTap(&tap);
        portB.SetTap(&tap);
        tap.SetPair(true, 0, 1, lines);
        ASSERT_TRUE(portA.Open(&receiver, 0, a.Path()));
        ASSERT_TRUE(portB.Open(&receiver, 1, b.Path()));
    }
};

template <typename Check> bool Eventually(Check check)
{
    for (int i = 0; i < 500 && !check(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return check();
}
} // namespace

// The request crosses before its message is even shown, and the answer, whatever the two
// ports' packing intervals, is handed on after the request and never joined with the next.
class ForwardTapOrder : public ::testing::TestWithParam<std::pair<std::uint32_t, std::uint32_t>>
{
};

TEST_P(ForwardTapOrder, BytesCrossAtOnceAndAnswersFollowTheirRequests)
{
    Tap t;
    t.Open(GetParam().first, GetParam().second);
    for (int i = 0; i < 3; ++i) {
        t.a.Send("REQ");
        ASSERT_EQ(t.b.Receive(3), "REQ");
        if (GetParam().first >= 300) {
            EXPECT_LE(t.receiver.Count(), std::size_t(2 * i)) << "waited for the packing interval";
        }
        t.b.Send("ANS");
        ASSERT_EQ(t.a.Receive(3), "ANS");
    }
    ASSERT_TRUE(t.receiver.WaitForMessages(6));
    std::this_thread::sleep_for(std::chrono::milliseconds(GetParam().first + GetParam().second));
    EXPECT_EQ(t.receiver.Texts(),
              (std::vector<std::string>{"REQ", "ANS", "REQ", "ANS", "REQ", "ANS"}));
    EXPECT_EQ(t.receiver.Ports(), (std::vector<unsigned>{0, 1, 0, 1, 0, 1}));
}

INSTANTIATE_TEST_SUITE_P(PackingIntervals, ForwardTapOrder,
                         ::testing::Values(std::make_pair(300u, 1u), std::make_pair(1u, 300u),
                                           std::make_pair(20u, 20u), std::make_pair(300u, 300u)));

// A device that stops reading holds the master back instead of filling memory or losing
// bytes; once it reads again everything arrives, in order.
TEST(ForwardTapTest, TargetThatStopsReadingHoldsTheSource)
{
    Tap t;
    t.Open(20, 20);
    std::string data(1 << 20, '\0');
    std::mt19937 random(7);
    for (char& c : data)
        c = static_cast<char>(random());
    std::thread writer([&] { t.a.Send(data); });
    EXPECT_TRUE(Eventually([&] { return t.tap.IsHolding(0); }));
    EXPECT_LE(t.tap.Waiting(1), SerialPort::kReadBuffer);
    const std::string got = t.b.Receive(data.size(), 20000);
    writer.join();
    EXPECT_TRUE(got == data) << got.size() << " of " << data.size() << " bytes";
    EXPECT_TRUE(Eventually([&] { return !t.tap.IsHolding(0) && t.tap.Waiting(1) == 0; }));
}

// Each side's CTS and DSR drive the other side's RTS and DTR; DCD and RI cross nowhere; a
// BREAK counted on one side is sent on the other, and ended.
struct LineCase
{
    bool fromA;
    unsigned inputs;
    unsigned outputs; // on the other side
};

class ForwardTapLines : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(ForwardTapLines, InputsOfOneSideDriveTheOutputsOfTheOther)
{
    Tap t;
    t.Open(20, 20, true);
    FakeLineState& from = GetParam().fromA ? t.linesA : t.linesB;
    FakeLineState& to = GetParam().fromA ? t.linesB : t.linesA;
    ASSERT_TRUE(Eventually(
        [&] { return (to.lines & ModemLines::kOutputs) == 0; })); // no input asserted yet
    from.lines |= GetParam().inputs;
    EXPECT_TRUE(
        Eventually([&] { return (to.lines & ModemLines::kOutputs) == GetParam().outputs; }));
    EXPECT_EQ((GetParam().fromA ? t.portB : t.portA).OutputLines(),
              GetParam().outputs); // what DTR/RTS show
    ++from.breaks;
    EXPECT_TRUE(Eventually([&] { return to.breaksSent == 1 && !to.breakOn; }));
    EXPECT_EQ(from.breaksSent, 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, ForwardTapLines,
                         ::testing::Values(LineCase{true, ModemLines::kCts, ModemLines::kRts},
                                           LineCase{true, ModemLines::kDsr, ModemLines::kDtr},
                                           LineCase{false, ModemLines::kCts | ModemLines::kDsr,
                                                    ModemLines::kOutputs},
                                           LineCase{true, ModemLines::kDcd | ModemLines::kRi, 0}));

// A remote port (raw TCP, as ser2net serves it) is one side of the pair like a local one.
TEST(ForwardTapTest, RemotePortIsOneSideOfThePair)
{
    PtyPair a;
    LoopbackServer server;
    RecordingReceiver receiver;
    ForwardTap tap;
    SerialPort local, remote;
    local.SetTap(&tap);
    remote.SetTap(&tap);
    tap.SetPair(true, 0, 1, false);
    ASSERT_TRUE(local.Open(&receiver, 0, a.Path()));
    ASSERT_TRUE(remote.Open(&receiver, 1, "tcp://127.0.0.1:" + std::to_string(server.port)));
    ASSERT_TRUE(server.Accept());
    ASSERT_TRUE(Eventually([&] { return remote.HasConnected(); }));
    a.Send("REQ");
    EXPECT_EQ(server.Receive(3), (std::vector<std::uint8_t>{'R', 'E', 'Q'}));
    ASSERT_TRUE(server.Send({'A', 'N', 'S'}));
    EXPECT_EQ(a.Receive(3), "ANS");
    ASSERT_TRUE(receiver.WaitForMessages(2));
    EXPECT_EQ(receiver.Texts(), (std::vector<std::string>{"REQ", "ANS"}));
}

namespace {
// A port whose writes hang while stalled; the write under way then takes at most `takes`.
class StallingEnd : public ForwardEnd
{
public:
    std::ptrdiff_t WriteSome(const void* bytes, std::size_t length) override
    {
        std::unique_lock lock(m_mutex);
        if (m_full)
            return 0;
        if (m_stall) {
            m_inWrite = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return !m_stall; });
            m_inWrite = false;
            length = std::min(length, m_takes);
        }
        m_written.append(static_cast<const char*>(bytes), length);
        return static_cast<std::ptrdiff_t>(length);
    }
    int WriteFd() const override { return -1; }
    ModemLines* Lines() const override { return nullptr; }
    void NoteOutputLine(unsigned, bool) override {}

    void Stall(bool stall, std::size_t takes = 0)
    {
        std::lock_guard lock(m_mutex);
        m_stall = stall;
        if (stall)
            m_takes = takes;
        m_changed.notify_all();
    }
    // While full, a write takes nothing and returns at once.
    void Full(bool full)
    {
        std::lock_guard lock(m_mutex);
        m_full = full;
    }
    bool WaitUntilInWrite()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(2), [this] { return m_inWrite; });
    }
    std::string Written()
    {
        std::lock_guard lock(m_mutex);
        return m_written;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stall = false;
    bool m_full = false;
    bool m_inWrite = false;
    std::size_t m_takes = 0;
    std::string m_written;
};

void Read(ForwardTap& tap, unsigned port, const std::string& bytes)
{
    tap.OnRead(port, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 1, true);
}
} // namespace

// A write under way to one port holds neither the other direction nor the program's own
// sends, which go out after it, in order; the port is not closed under it.
TEST(ForwardTapTest, AWriteUnderWayHoldsNoOneElse)
{
    StallingEnd a, b;
    ForwardTap tap;
    tap.SetPair(true, 0, 1, false);
    tap.Attach(0, &a);
    tap.Attach(1, &b);
    b.Stall(true, 4);
    std::thread master([&] { Read(tap, 0, "REQUEST"); });
    ASSERT_TRUE(b.WaitUntilInWrite());

    auto answer = std::async(std::launch::async, [&] { Read(tap, 1, "ANS"); });
    if (answer.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
        b.Stall(false);
        master.join();
        FAIL() << "the other direction waited for the write under way";
    }
    const std::string own = "+own";
    EXPECT_TRUE(tap.Send(1, reinterpret_cast<const std::uint8_t*>(own.data()), own.size()));
    tap.Detach(0, &a); // the other port closes without waiting for b's write
    b.Stall(false);
    master.join();
    EXPECT_EQ(a.Written(), "ANS");
    EXPECT_EQ(b.Written(), "REQUEST+own");
    EXPECT_EQ(tap.Waiting(1), 0u);

    // Closing the port a write is under way to waits for that write.
    b.Stall(true, 7);
    tap.Attach(0, &a);
    std::thread again([&] { Read(tap, 0, "REQUEST"); });
    ASSERT_TRUE(b.WaitUntilInWrite());
    std::atomic<bool> detached{false};
    std::thread closer([&] {
        tap.Detach(1, &b);
        detached = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(detached.load());
    b.Stall(false);
    again.join();
    closer.join();
    EXPECT_TRUE(detached.load());
}

// A worker whose hand-over to the window waits (the window far behind) holds neither the
// window's own calls into the tap nor the wire of the other direction.
TEST(ForwardTapTest, AHandOverThatWaitsHoldsNeitherTheWindowNorTheWire)
{
    StallingEnd a, b;
    GatedReceiver window;
    ForwardTap tap;
    tap.SetPair(true, 0, 1, false);
    tap.Attach(0, &a);
    tap.Attach(1, &b);
    std::thread worker([&] { tap.Deliver(0, {'R', 'E', 'Q'}, 1, &window); });
    ASSERT_TRUE(window.WaitForMessages(1));

    auto status = std::async(std::launch::async, [&] { return tap.Waiting(1); });
    auto answer = std::async(std::launch::async, [&] { Read(tap, 1, "ANS"); });
    const bool windowFree = status.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    const bool crossed = answer.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    window.Open();
    worker.join();
    EXPECT_TRUE(windowFree) << "the window waited for a worker that waits for the window";
    EXPECT_TRUE(crossed);
    EXPECT_EQ(a.Written(), "ANS");
}

// A message kept back behind the partner's earlier one goes to the window however the wait
// ends, and the one kept back never before the partner's.
TEST(ForwardTapTest, KeptBackMessagesGoOnHoweverTheWaitEnds)
{
    enum class End
    {
        PartnerDelivers,
        PartnerCloses,
        PairOff,
        OwnPortClosesFirst,
    };
    const struct
    {
        const char* name;
        End end;
        std::vector<std::string> shown;
    } cases[] = {
        {"the partner's message comes", End::PartnerDelivers, {"ANS", "REQ"}},
        {"the partner closes", End::PartnerCloses, {"REQ"}},
        {"forwarding is switched off", End::PairOff, {"REQ"}},
        {"its own port closes, then the partner's comes", End::OwnPortClosesFirst, {"ANS", "REQ"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StallingEnd a, b;
        RecordingReceiver window;
        ForwardTap tap;
        tap.SetPair(true, 0, 1, false);
        tap.Attach(0, &a);
        tap.Attach(1, &b);
        const std::string answer = "ANS";
        tap.OnRead(1, reinterpret_cast<const std::uint8_t*>(answer.data()), answer.size(), 10,
                   true);
        tap.Deliver(0, {'R', 'E', 'Q'}, 20, &window); // its first byte came later
        EXPECT_EQ(window.Count(), 0u);
        switch (c.end) {
        case End::PartnerDelivers: tap.Deliver(1, {'A', 'N', 'S'}, 10, &window); break;
        case End::PartnerCloses: tap.Detach(1, &b); break;
        case End::PairOff: tap.SetPair(false, -1, -1, false); break;
        case End::OwnPortClosesFirst:
            tap.Detach(0, &a);
            EXPECT_EQ(window.Count(), 0u);
            tap.Deliver(1, {'A', 'N', 'S'}, 10, &window);
            break;
        }
        EXPECT_EQ(window.Texts(), c.shown);
    }
}

// The program's own bytes for a port that takes nothing wait, in the pair or outside it;
// they have waited only since they were sent, so that the window names no port as behind
// that never was.
TEST(ForwardTapTest, OwnSendsHaveWaitedOnlySinceSent)
{
    constexpr std::int64_t kBehindMs = 100;
    for (const bool inPair : {true, false}) {
        SCOPED_TRACE(inPair ? "a port of a pair just set" : "a port outside the pair");
        StallingEnd a, b;
        ForwardTap tap;
        SendQueues queues(tap, [&](unsigned port) -> ForwardEnd* { return port ? &b : &a; });
        tap.SetPair(inPair, 0, 1, false);
        tap.Attach(0, &a);
        tap.Attach(1, &b);
        const auto behind = [&] {
            return inPair ? tap.StalledMs(1) >= kBehindMs : !queues.Troubles(kBehindMs).empty();
        };
        b.Full(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * kBehindMs));
        const std::string own = "own";
        ASSERT_TRUE(queues.Write(1, reinterpret_cast<const std::uint8_t*>(own.data()), own.size()));
        EXPECT_EQ(queues.Waiting(1), own.size());
        EXPECT_FALSE(behind());
        std::this_thread::sleep_for(std::chrono::milliseconds(2 * kBehindMs));
        EXPECT_TRUE(behind());
        b.Full(false);
        queues.Flush();
        EXPECT_EQ(b.Written(), own);
        EXPECT_FALSE(behind());
    }
}
