#include "core/receive/ReceivePipeline.h"

#include "core/settings/FrameOptions.h"

ReceivePipeline::ReceivePipeline(const FrameOptions& options, MonitorSink& sink,
                                 CurrentPortSource currentPort)
    : m_options(options), m_sink(sink), m_currentPort(std::move(currentPort))
{
}

void ReceivePipeline::SetClocks(MonitorLineBuilder::TickSource tick,
                                MonitorLineBuilder::TimeSource time,
                                MonitorLineBuilder::TimeSource clock)
{
    m_lineBuilder = MonitorLineBuilder(std::move(tick), std::move(time), std::move(clock));
}

bool ReceivePipeline::PassesFilter(const std::uint8_t* bytes, std::size_t count) const
{
    return !m_pFilter || m_pFilter->PassesFilter(bytes, count);
}

void ReceivePipeline::OnReceiveData(unsigned port, const std::uint8_t* bytes, std::size_t count,
                                    std::int64_t receivedUs)
{
    if (m_diversion && port == m_divertedPort) {
        m_diversion(bytes, count);
        return;
    }
    // The text is made only when someone reads it: a paused display under a flood would
    // otherwise spend its time on hex text nobody sees.
    const bool wanted = IsShown(port, 1) || m_traffic.WindowWantsText();
    std::string text;
    bool show = false;
    if (m_options.m_ascReceive) {
        if (wanted)
            text = ReceivedMessageText(bytes, count, true, m_options.m_ascEveryByte != 0);
        show = true;
    } else if (PassesFilter(bytes, count)) {
        if (wanted)
            text = ReceivedMessageText(bytes, count, false);
        show = true;
    }
    if (show)
        AppendMonitorLine(text, port, 1);
    TrafficMessage message;
    message.m_port = port;
    message.m_direction = 1;
    message.m_timeUs = receivedUs < 0 ? m_decodeClock() * 1000 : receivedUs;
    message.m_bytes = bytes;
    message.m_count = count;
    message.m_text = wanted && show ? &text : nullptr;
    message.m_shown = show;
    m_traffic.PublishToWindow(message);
}

void ReceivePipeline::Divert(unsigned port, Diversion take)
{
    m_divertedPort = port;
    m_diversion = std::move(take);
}

TrafficMessage ReceivePipeline::OnSentData(unsigned port, const std::uint8_t* bytes,
                                           std::size_t count, const std::string* text)
{
    TrafficMessage message;
    message.m_port = port;
    message.m_direction = 0;
    message.m_timeUs = m_decodeClock() * 1000;
    message.m_bytes = bytes;
    message.m_count = count;
    message.m_text = text;
    m_traffic.PublishToWindow(message);
    return message;
}

void ReceivePipeline::PollDecoding()
{
    m_traffic.TickWindow(m_decodeClock());
}

// A line under a message follows its message (a message the filter hid takes its lines
// along); news of time follows the display rules of its port and direction.
void ReceivePipeline::WriteDecoded(const std::vector<DecodedLine>& lines, bool messageShown)
{
    for (const DecodedLine& line : lines) {
        if ((line.m_ofMessage && !messageShown) || !IsShown(line.m_port, line.m_direction))
            continue;
        m_pieces.clear();
        m_pieces.push_back({"  \xE2\xA4\xB7 " + line.m_text + '\n', line.m_colour}); // ⤷
        m_sink.AppendLine(m_pieces);
    }
}

bool ReceivePipeline::IsShown(unsigned port, int direction) const
{
    return !m_options.m_paused && PassesDisplayRules(port, direction);
}

bool ReceivePipeline::PassesDisplayRules(unsigned port, int direction) const
{
    if (direction == 0 && !m_options.m_showSent)
        return false;
    if (m_displayScope == 1 && static_cast<int>(port) != m_currentPort())
        return false;
    return true;
}

void ReceivePipeline::AppendMonitorLine(const std::string& text, unsigned port, int direction)
{
    if (!PassesDisplayRules(port, direction))
        return;
    if (m_options.m_paused) {
        ++m_pausedCount;
        return;
    }
    m_pieces.clear();
    m_lineBuilder.SetClockMilliseconds(m_options.m_clockMs != 0);
    m_lineBuilder.Build(text, port, direction, m_options.m_showTime != 0, m_options.m_showPort != 0,
                        m_pieces);
    m_sink.AppendLine(m_pieces);
}

std::string ReceivePipeline::NoticeStamp()
{
    if (m_options.m_showTime == 0)
        return {};
    m_lineBuilder.SetClockMilliseconds(m_options.m_clockMs != 0);
    return m_lineBuilder.Stamp();
}

bool ReceivePipeline::ProcessTurn(ReceiveInbox& inbox, const std::function<bool()>& turnOver)
{
    bool began = false;
    while (!turnOver()) {
        if (m_pending.empty()) {
            m_pending = inbox.TakeAll();
            if (m_pending.empty())
                break;
        }
        if (!began) {
            m_sink.BeginAppend();
            began = true;
        }
        const ReceiveInbox::Message m = std::move(m_pending.front());
        m_pending.pop_front();
        if (m.m_stopped)
            m_sink.ShowStoppedPort(m.m_port, m.m_reason);
        else
            OnReceiveData(m.m_port, m.m_bytes.data(), m.m_bytes.size(), m.m_receivedUs);
    }
    if (began)
        m_sink.EndAppend();
    // The inbox too: a message that arrived while this turn was scheduled woke nobody (the
    // wake-up found the turn on its way), and a turn whose time ran out just as its own
    // messages were done has not taken it.
    return !m_pending.empty() || inbox.HasWaiting();
}
