#include "core/send/TriggerSend.h"

#include "core/receive/ReceivePipeline.h"
#include "core/send/AdvanceSendSettings.h"
#include "core/settings/FrameOptions.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

struct NullSink : MonitorSink
{
    void BeginAppend() override {}
    void EndAppend() override {}
    void AppendLine(const std::vector<MonitorPiece>&) override {}
    void ShowStoppedPort(unsigned, const std::string&) override {}
};

// The trigger step in the receive pipeline, over an editor of a few lines, a recorded
// sender and a delay that the test fires by hand.
struct TriggerSendTest : ::testing::Test
{
    AdvanceSendSettings m_settings;
    std::vector<std::string> m_lines{"01 03 00 00 00 01 84 0A", "AA", "BB", ""};
    int m_caretLine = 0;
    int m_reads = 0;
    std::vector<std::pair<unsigned, int>> m_sent;
    std::vector<int> m_delayStarts;
    int m_cancels = 0;
    TriggerSend m_trigger{m_settings,
                          [this](int line) {
                              ++m_reads;
                              if (line < 0 || line >= static_cast<int>(m_lines.size()))
                                  line = m_caretLine;
                              return m_lines[static_cast<std::size_t>(line)];
                          },
                          [this](unsigned port, int line) { m_sent.emplace_back(port, line); },
                          TriggerSend::Delay{[this](int ms) { m_delayStarts.push_back(ms); },
                                             [this] { ++m_cancels; }}};
    FrameOptions m_options;
    NullSink m_sink;
    ReceivePipeline m_pipeline{m_options, m_sink, [] { return 0; }};

    TriggerSendTest()
    {
        m_settings.m_triggers[0] = TriggerEntry{1, 1, 2};
        m_pipeline.Traffic().Add(m_trigger, PortTraffic::Runs::OnWindow, PortTraffic::kRankAnswer);
    }
    void Receive(unsigned port, std::vector<std::uint8_t> bytes)
    {
        m_pipeline.OnReceiveData(port, bytes.data(), bytes.size());
    }
};

const std::vector<std::uint8_t> kQuery{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};

} // namespace

TEST_F(TriggerSendTest, MatchesTheExactMonitorTextOnlyWhileOn)
{
    Receive(2, kQuery);
    EXPECT_TRUE(m_sent.empty()); // trigger mode is off

    m_trigger.SetOn(true);
    Receive(2, kQuery);
    EXPECT_EQ(m_sent, (std::vector<std::pair<unsigned, int>>{{2, 1}}));
    EXPECT_TRUE(m_delayStarts.empty());

    // The same line typed in lower case never equals the hex text the pipeline makes.
    m_sent.clear();
    m_lines[0] = "01 03 00 00 00 01 84 0a";
    m_trigger.TextsChanged();
    Receive(2, kQuery);
    EXPECT_TRUE(m_sent.empty());

    // In ASC receive the characters are the text; the first matching used row wins,
    // unused rows are skipped, and a line beyond the editor reads the caret line.
    m_options.m_ascReceive = 1;
    m_settings.m_triggers[1] = TriggerEntry{0, 2, 4};
    m_settings.m_triggers[2] = TriggerEntry{1, 99, 3};
    m_settings.m_triggers[3] = TriggerEntry{1, 2, 4};
    m_trigger.TextsChanged();
    Receive(0, {'A', 'A'});
    EXPECT_EQ(m_sent, (std::vector<std::pair<unsigned, int>>{{0, 3}}));
    EXPECT_EQ(m_trigger.FindTrigger("AA"), 3);
    m_caretLine = 1;
    m_trigger.TextsChanged();
    EXPECT_EQ(m_trigger.FindTrigger("AA"), 2);

    // An empty message text (the filter rejected the message) answers nothing, even with
    // an empty line in the table.
    m_settings.m_triggers[4] = TriggerEntry{1, 4, 1};
    EXPECT_EQ(m_trigger.FindTrigger(""), -1);
}

TEST_F(TriggerSendTest, DelayedAnswerIsReplacedByALaterMatchAndDroppedWhenTurnedOff)
{
    m_settings.m_triggerDelay = 200;
    m_settings.m_triggers[1] = TriggerEntry{1, 2, 3};
    m_options.m_ascReceive = 1;
    m_trigger.SetOn(true);

    Receive(0, {'A', 'A'});
    Receive(1, {'0', '1', ' ', '0', '3', ' ', '0', '0', ' ', '0', '0', ' ',
                '0', '0', ' ', '0', '1', ' ', '8', '4', ' ', '0', 'A'});
    EXPECT_EQ(m_delayStarts, (std::vector<int>{200, 200}));
    EXPECT_TRUE(m_sent.empty());
    m_trigger.OnDelayElapsed();
    // Only the latest match: row 1 on port 1.
    EXPECT_EQ(m_sent, (std::vector<std::pair<unsigned, int>>{{1, 1}}));
    m_trigger.OnDelayElapsed();
    EXPECT_EQ(m_sent.size(), 1u);

    Receive(0, {'A', 'A'});
    m_trigger.SetOn(false);
    EXPECT_EQ(m_cancels, 1);
    m_trigger.OnDelayElapsed();
    EXPECT_EQ(m_sent.size(), 1u);
}

TEST_F(TriggerSendTest, EditorIsReadOncePerChangeNotPerMessage)
{
    m_settings.m_triggers[1] = TriggerEntry{1, 2, 3};
    m_trigger.SetOn(true);
    for (int i = 0; i < 50; ++i)
        Receive(0, kQuery);
    EXPECT_EQ(m_reads, 2); // the two used rows, once
    EXPECT_EQ(m_sent.size(), 50u);

    // An edit makes the next message read the rows again, and the new text counts.
    m_lines[0] = "AA";
    m_trigger.TextsChanged();
    Receive(0, kQuery);
    EXPECT_EQ(m_reads, 4);
    EXPECT_EQ(m_sent.size(), 50u);

    // Switching trigger mode on reads them again as well.
    m_lines[0] = "01 03 00 00 00 01 84 0A";
    m_trigger.SetOn(false);
    m_trigger.SetOn(true);
    Receive(0, kQuery);
    EXPECT_EQ(m_sent.size(), 51u);
}
