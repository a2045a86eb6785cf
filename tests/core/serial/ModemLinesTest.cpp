#include "core/serial/ModemLines.h"
#include "core/base/SettingsStore.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"

#include "FakeModemLines.h"
#include "PortRecorders.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {
// Records the modem-line reports of the worker.
class LineReceiver : public RecordingReceiver
{
public:
    void OnModemLines(unsigned, bool available, unsigned lines) override
    {
        std::lock_guard lock(m_mutex);
        m_reports.push_back(available ? static_cast<int>(lines) : -1);
        m_changed.notify_all();
    }
    bool WaitForReport(int value, int timeoutMs = 3000)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return !m_reports.empty() && m_reports.back() == value; });
    }
    std::vector<int> Reports()
    {
        std::lock_guard lock(m_mutex);
        return m_reports;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_reports;
};

struct ModemLinesTest : ::testing::Test
{
    PtyPair pty;
    FakeLineState state;
    LineReceiver receiver;
    SerialPort port;

    void SetUp() override
    {
        ASSERT_FALSE(pty.Path().empty());
        port.SetModemLinesFactory([this](int) { return std::make_unique<FakeModemLines>(state); });
    }
};
} // namespace

TEST_F(ModemLinesTest, OutputsFollowTheSwitchesAndInputChangesAreReported)
{
    // DTR switched off for this port: dropped at open, RTS asserted as Linux does.
    state.lines = ModemLines::kDtr; // what the open left
    port.SetOutputLines(ModemLines::kRts);
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    EXPECT_EQ(state.lines & ModemLines::kOutputs, unsigned{ModemLines::kRts});
    ASSERT_TRUE(receiver.WaitForReport(0)); // the first look: no input asserted

    EXPECT_TRUE(port.SetOutputLine(ModemLines::kDtr, true));
    EXPECT_EQ(state.lines & ModemLines::kOutputs, unsigned{ModemLines::kOutputs});
    EXPECT_TRUE(port.SetOutputLine(ModemLines::kRts, false));
    EXPECT_EQ(port.OutputLines(), unsigned{ModemLines::kDtr});

    // The far end raises CTS, then DCD and RI: reported from the worker while it is idle.
    state.lines |= ModemLines::kCts;
    ASSERT_TRUE(receiver.WaitForReport(ModemLines::kCts));
    state.lines |= ModemLines::kDcd | ModemLines::kRi;
    ASSERT_TRUE(receiver.WaitForReport(ModemLines::kCts | ModemLines::kDcd | ModemLines::kRi));
    // Output changes alone are no news: the reports carry only the inputs.
    for (int report : receiver.Reports())
        EXPECT_EQ(static_cast<unsigned>(report) & ModemLines::kOutputs, 0u);

    // Data still flows while the lines are watched.
    pty.Send("ok");
    ASSERT_TRUE(receiver.WaitForMessages(1));
    EXPECT_EQ(receiver.Texts(), std::vector<std::string>{"ok"});

    // And while this thread switches DTR and the forwarding tap (the other port's worker)
    // RTS: nothing is lost, and neither switch undoes the other (also under ThreadSanitizer).
    std::string stream(256 * 1024, '\0');
    for (std::size_t i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    constexpr int kSwitches = 4000;
    std::atomic<int> undone{0};
    const auto shows = [&](unsigned line, bool on) {
        if (((port.OutputLines() & line) != 0) != on)
            ++undone;
    };
    std::thread far([&] { pty.Send(stream); });
    std::thread tap([&] {
        for (int i = 0; i < kSwitches; ++i) {
            port.NoteOutputLine(ModemLines::kRts, i % 2 == 0);
            port.Lines()->Set(ModemLines::kRts, i % 2 == 0);
            shows(ModemLines::kRts, i % 2 == 0);
        }
    });
    for (int i = 0; i < kSwitches; ++i) {
        port.SetOutputLine(ModemLines::kDtr, i % 2 == 0);
        shows(ModemLines::kDtr, i % 2 == 0);
    }
    tap.join();
    far.join();
    ASSERT_TRUE(receiver.WaitForBytes(2 + stream.size()));
    std::string received;
    for (const auto& m : receiver.Messages())
        received.append(m.begin(), m.end());
    EXPECT_TRUE(received == "ok" + stream);
    EXPECT_EQ(undone.load(), 0);
    EXPECT_EQ(state.lines & ModemLines::kOutputs, 0u);

    // Closed, the choice is kept for the next open, which applies it.
    port.Close();
    EXPECT_FALSE(port.SetOutputLine(ModemLines::kDtr, false));
    EXPECT_EQ(port.OutputLines(), 0u);
    state.lines = ModemLines::kOutputs;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    EXPECT_EQ(state.lines & ModemLines::kOutputs, 0u);
}

// A device without modem lines (a pseudo-terminal) is said once and never polled.
TEST_F(ModemLinesTest, DeviceWithoutLinesIsSaidOnceAndNotPolled)
{
    state.available = false;
    ASSERT_TRUE(port.Open(&receiver, 0, pty.Path()));
    ASSERT_TRUE(receiver.WaitForReport(-1));
    std::this_thread::sleep_for(std::chrono::milliseconds(4 * SerialPort::kModemPollMs));
    EXPECT_EQ(receiver.Reports(), std::vector<int>{-1});
    EXPECT_EQ(state.gets.load(), 1);
    EXPECT_FALSE(port.SetOutputLine(ModemLines::kDtr, false)); // no error beyond false
    port.Close();

    // The real thing on a pseudo-terminal: no lines there either.
    SerialPort real;
    LineReceiver realReceiver;
    ASSERT_TRUE(real.Open(&realReceiver, 1, pty.Path()));
    ASSERT_TRUE(realReceiver.WaitForReport(-1));
    EXPECT_FALSE(real.SetOutputLine(ModemLines::kRts, false));

    EXPECT_EQ(InputLinesText(false, 0), "CTS/DSR/DCD/RI 不可用");
    EXPECT_EQ(InputLinesText(true, ModemLines::kCts | ModemLines::kRi), "CTS● DSR○ DCD○ RI●");
}

TEST(ModemOutputsTest, StoredBesideThePortEntry)
{
    MemorySettingsStore store;
    EXPECT_EQ(LoadModemOutputs(store, 2), unsigned{ModemLines::kOutputs});
    SaveModemOutputs(store, 2, ModemLines::kRts);
    EXPECT_EQ(store.ReadInt("Settings", "COM3Modem", -1), 2);
    EXPECT_EQ(LoadModemOutputs(store, 2), unsigned{ModemLines::kRts});
    EXPECT_EQ(store.ReadString("Settings", "COM3"), ""); // the "COM%d" entry is not touched
}

// Besides the message box text, an open that fails says where and how to mend it.
TEST(OpenErrorHintTest, NamesTheDeviceAndTheFix)
{
    const std::string denied = SerialPort::OpenErrorHint("COM3", "/dev/ttyUSB0", EACCES);
    EXPECT_NE(denied.find("/dev/ttyUSB0"), std::string::npos);
    EXPECT_NE(denied.find("sudo usermod -aG dialout $USER"), std::string::npos);
    EXPECT_NE(SerialPort::OpenErrorHint("COM3", "", ENOENT).find("端口映射"), std::string::npos);

    struct HintSink : PortMessageSink
    {
        void ShowMessage(const std::string& utf8) override { messages.push_back(utf8); }
        void ShowHint(const std::string& utf8) override { hints.push_back(utf8); }
        std::vector<std::string> messages, hints;
    } sink;
    SerialPort port(&sink);
    RecordingReceiver receiver;
    EXPECT_FALSE(port.Open(&receiver, 4, "/nonexistent/ttyVRL"));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"COM5 为无效端口！"});
    ASSERT_EQ(sink.hints.size(), 1u);
    EXPECT_EQ(sink.hints[0],
              "COM5（/nonexistent/ttyVRL）：设备不存在，请检查连接或在“工具→端口映射”中重新选择");
}
