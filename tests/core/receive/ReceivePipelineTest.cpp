#include "core/receive/ReceivePipeline.h"

#include "core/receive/DecodeListener.h"

#include "core/settings/FrameOptions.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

namespace {

// A window listener of the traffic that records what it is told.
struct Step : TrafficListener
{
    std::function<void(const TrafficMessage&)> m_on;
    std::function<bool()> m_wantsText = [] { return false; };
    void OnTraffic(const TrafficMessage& m) override { m_on(m); }
    bool WantsText() const override { return m_wantsText(); }
};

// Records everything the pipeline does, in order, as short texts; its forwarding and trigger
// steps listen where the window's do.
struct Recorder : MonitorSink, ReceiveFilter
{
    std::vector<std::string> m_events;
    bool m_accept = true;
    bool m_triggerMode = true;
    Step m_forward, m_trigger;

    Recorder()
    {
        m_forward.m_on = [this](const TrafficMessage& m) {
            if (m.m_direction == 1)
                ForwardReceived(m.m_port, m.m_bytes, m.m_count);
        };
        m_trigger.m_on = [this](const TrafficMessage& m) {
            if (m_triggerMode && m.m_direction == 1)
                LookUpTrigger(m.m_port, m.m_text ? *m.m_text : std::string());
        };
        m_trigger.m_wantsText = [this] { return m_triggerMode; };
    }

    void BeginAppend() override { m_events.push_back("begin"); }
    void EndAppend() override { m_events.push_back("end"); }
    void AppendLine(const std::vector<MonitorPiece>& pieces) override
    {
        std::string line = "line ";
        for (const MonitorPiece& p : pieces)
            line += p.m_text;
        line.pop_back(); // the line feed
        m_events.push_back(line);
    }
    void ShowStoppedPort(unsigned port, const std::string& reason) override
    {
        m_events.push_back("stopped " + std::to_string(port) + " " + reason);
    }
    bool PassesFilter(const std::uint8_t*, std::size_t) const override { return m_accept; }
    void ForwardReceived(unsigned port, const std::uint8_t*, std::size_t count)
    {
        m_events.push_back("forward " + std::to_string(port) + " " + std::to_string(count));
    }
    void LookUpTrigger(unsigned port, const std::string& text)
    {
        m_events.push_back("trigger " + std::to_string(port) + " [" + text + "]");
    }
};

struct PipelineTest : ::testing::Test
{
    FrameOptions m_options;
    Recorder m_rec;
    int m_currentPort = 0;
    ReceivePipeline m_pipeline{m_options, m_rec, [this] { return m_currentPort; }};

    PipelineTest()
    {
        m_options.m_showPort = 0;
        m_pipeline.SetFilter(&m_rec);
        SetForwarding(true);
        SetTrigger(true);
    }
    void SetForwarding(bool on)
    {
        if (on)
            m_pipeline.Traffic().Add(m_rec.m_forward, PortTraffic::Runs::OnWindow,
                                     PortTraffic::kRankForward);
        else
            m_pipeline.Traffic().Remove(m_rec.m_forward);
    }
    void SetTrigger(bool on)
    {
        if (on)
            m_pipeline.Traffic().Add(m_rec.m_trigger, PortTraffic::Runs::OnWindow,
                                     PortTraffic::kRankAnswer);
        else
            m_pipeline.Traffic().Remove(m_rec.m_trigger);
    }
    void Receive(unsigned port, std::vector<std::uint8_t> bytes)
    {
        m_pipeline.OnReceiveData(port, bytes.data(), bytes.size());
    }
    std::vector<std::string> Take() { return std::exchange(m_rec.m_events, {}); }
};

using Events = std::vector<std::string>;

} // namespace

TEST_F(PipelineTest, LineThenForwardThenTriggerWhateverTheDisplayDid)
{
    Receive(2, {0x01, 0x03, 0x0A});
    EXPECT_EQ(Take(), (Events{"line 01 03 0A", "forward 2 3", "trigger 2 [01 03 0A]"}));

    // Rejected by the filter: no line, still forwarded, the trigger sees an empty text.
    m_rec.m_accept = false;
    Receive(1, {0x05});
    EXPECT_EQ(Take(), (Events{"forward 1 1", "trigger 1 []"}));

    // ASC receive does not ask the filter and stops at the first zero byte.
    m_options.m_ascReceive = 1;
    Receive(0, {0x41, 0x00, 0x42});
    EXPECT_EQ(Take(), (Events{"line A", "forward 0 3", "trigger 0 [A]"}));

    // Paused: nothing shown, but forwarded and looked up with the text.
    m_options.m_ascReceive = 0;
    m_rec.m_accept = true;
    m_options.m_paused = 1;
    Receive(0, {0x7F});
    EXPECT_EQ(Take(), (Events{"forward 0 1", "trigger 0 [7F]"}));

    // Trigger mode off: no lookup.
    m_rec.m_triggerMode = false;
    Receive(0, {0x7F});
    EXPECT_EQ(Take(), (Events{"forward 0 1"}));

    // Empty slots are skipped.
    m_options.m_paused = 0;
    SetForwarding(false);
    SetTrigger(false);
    m_pipeline.SetFilter(nullptr);
    Receive(0, {});
    EXPECT_EQ(Take(), (Events{"line "}));
}

TEST_F(PipelineTest, DropRulesOfMonitorLines)
{
    m_options.m_showPort = 1;
    m_options.m_showSent = 0;
    m_pipeline.AppendMonitorLine("01", 0, 0);
    m_pipeline.AppendMonitorLine("02", 0, 1);
    EXPECT_EQ(Take(), (Events{"line COM1↑02"}));

    // Scope "current port": other ports' lines go, in both directions.
    m_options.m_showSent = 1;
    m_pipeline.SetDisplayScope(1);
    m_currentPort = 3;
    m_pipeline.AppendMonitorLine("03", 2, 0);
    m_pipeline.AppendMonitorLine("04", 2, 1);
    m_pipeline.AppendMonitorLine("05", 3, 0);
    m_pipeline.AppendMonitorLine("06", 3, 1);
    EXPECT_EQ(Take(), (Events{"line COM4↓05", "line COM4↑06"}));

    m_pipeline.SetDisplayScope(0);
    m_options.m_paused = 1;
    m_pipeline.AppendMonitorLine("07", 2, 1);
    EXPECT_TRUE(Take().empty());

    // Pause counts only what another rule (sent, scope, filter) would not have dropped.
    m_options.m_showSent = 0;
    m_pipeline.AppendMonitorLine("08", 3, 0);
    m_pipeline.SetDisplayScope(1);
    m_pipeline.AppendMonitorLine("09", 2, 1);
    m_pipeline.AppendMonitorLine("0A", 3, 1);
    m_rec.m_accept = false;
    Receive(3, {0x01});
    m_rec.m_accept = true;
    Receive(3, {0x02});
    EXPECT_EQ(m_pipeline.TakePausedCount(), 3u); // 07, 0A, 02
}

TEST_F(PipelineTest, TurnTakesOldestFirstAndContinuesWhereItStopped)
{
    SetForwarding(false);
    SetTrigger(false);
    ReceiveInbox inbox([] {});
    for (std::uint8_t i = 1; i <= 5; ++i)
        inbox.Push(0, {i});
    inbox.PushStopped(0, "gone");

    // A turn that is over after two messages leaves the rest for the next turn.
    int asked = 0;
    EXPECT_TRUE(m_pipeline.ProcessTurn(inbox, [&] { return asked++ >= 2; }));
    EXPECT_EQ(Take(), (Events{"begin", "line 01", "line 02", "end"}));
    EXPECT_TRUE(m_pipeline.HasPending());

    inbox.Push(1, {0x10}); // arrives meanwhile: after what was taken before
    EXPECT_FALSE(m_pipeline.ProcessTurn(inbox, [] { return false; }));
    EXPECT_EQ(Take(), (Events{"begin", "line 03", "line 04", "line 05", "stopped 0 gone", "line 10",
                              "end"}));

    // Nothing waiting: no edit of the monitor at all.
    EXPECT_FALSE(m_pipeline.ProcessTurn(inbox, [] { return false; }));
    EXPECT_TRUE(Take().empty());
}

// The hand-over as the window drives it: a wake-up starts the turn timer (a wake-up that
// finds it running is dropped), and a turn that reports work left starts it again. A message
// that arrives while the turn for left-over messages is scheduled, which then ends just as
// its last left-over message is done, must still be shown, and so must everything after it.
TEST_F(PipelineTest, WakeDroppedWhileATurnIsScheduledIsNotLost)
{
    SetForwarding(false);
    SetTrigger(false);
    int wakes = 0;
    ReceiveInbox inbox([&] { ++wakes; });
    bool timerActive = false;
    auto deliverWakes = [&] {
        if (wakes > 0)
            timerActive = true;
        wakes = 0;
    };
    auto runTurn = [&](int messages) {
        ASSERT_TRUE(timerActive);
        timerActive = false;
        int done = 0;
        timerActive = m_pipeline.ProcessTurn(inbox, [&] { return done++ >= messages; });
    };

    for (std::uint8_t i = 1; i <= 3; ++i)
        inbox.Push(0, {i});
    deliverWakes();
    runTurn(2); // 01 02; 03 is left over
    inbox.Push(0, {4});
    deliverWakes(); // the left-over turn is already scheduled
    runTurn(1);     // 03, and the turn's time is up
    inbox.Push(0, {5});
    deliverWakes();
    for (int turns = 0; timerActive && turns < 10; ++turns)
        runTurn(100);

    std::vector<std::string> lines;
    for (const std::string& e : Take())
        if (e.rfind("line ", 0) == 0)
            lines.push_back(e);
    EXPECT_EQ(lines, (Events{"line 01", "line 02", "line 03", "line 04", "line 05"}));
    EXPECT_EQ(inbox.WaitingBytes(), 0u);
}

namespace {
// Decodes port 2: one line per message, and one line of news when polled.
struct FakeDecode : DecodeStep
{
    bool IsDecoding(unsigned port) const override { return port == 2; }
    void Decode(unsigned port, int direction, int partner, const std::uint8_t*, std::size_t count,
                std::int64_t nowMs, std::vector<DecodedLine>& lines) override
    {
        lines.push_back({"frame " + std::to_string(count) + " at " + std::to_string(nowMs)
                             + " partner " + std::to_string(partner),
                         kColourGreen, port, direction, true});
    }
    void PollDecoding(std::int64_t nowMs, std::vector<DecodedLine>& lines) override
    {
        lines.push_back({"news at " + std::to_string(nowMs), kColourSent, 2, 0, false});
    }
};
} // namespace

TEST_F(PipelineTest, DecodedLinesGoUnderTheirMessageBeforeForwarding)
{
    FakeDecode decode;
    DecodeListener decoding(decode, m_pipeline);
    m_pipeline.Traffic().Add(decoding, PortTraffic::Runs::OnWindow, PortTraffic::kRankDecode);
    m_pipeline.SetDecodeClock([] { return 500; });
    SetTrigger(false);
    m_options.m_showSent = 1;
    m_pipeline.OnReceiveData(2, std::vector<std::uint8_t>{1, 2, 3}.data(), 3, 42000);
    Receive(1, {7});
    EXPECT_EQ(Take(), (Events{"line 01 02 03", "line   ⤷ frame 3 at 42 partner -1", "forward 2 3",
                              "line 07", "forward 1 1"}));

    // The filter hides the message and its decoded line; the program's own sends are decoded.
    m_rec.m_accept = false;
    Receive(2, {1});
    const std::uint8_t sent[] = {9, 9};
    m_pipeline.OnSentData(2, sent, 2);
    EXPECT_EQ(Take(), (Events{"forward 2 1", "line   ⤷ frame 2 at 500 partner -1"}));

    // News follows the display rules of its port and direction.
    m_options.m_showSent = 0;
    m_pipeline.PollDecoding();
    m_options.m_showSent = 1;
    m_pipeline.PollDecoding();
    EXPECT_EQ(Take(), (Events{"line   ⤷ news at 500"}));
}
