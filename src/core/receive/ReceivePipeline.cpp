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
                                    std::int64_t receivedMs)
{
    // The text is made only when someone reads it: a paused display under a flood would
    // otherwise spend its time on hex text nobody sees.
    const bool triggerMode = m_pTrigger && m_pTrigger->IsTriggerMode();
    const bool wanted = IsShown(port, 1) || triggerMode;
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
    if (m_pDecode && m_pDecode->IsDecoding(port))
        Decode(port, 1, bytes, count, receivedMs < 0 ? m_decodeClock() : receivedMs, show);
    if (m_pForward) {
        m_pReceivedText = wanted && show ? &text : nullptr;
        m_pForward->ForwardReceived(port, bytes, count);
        m_pReceivedText = nullptr;
    }
    if (triggerMode)
        m_pTrigger->LookUpTrigger(port, text);
}

void ReceivePipeline::OnSentData(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    if (m_pDecode && m_pDecode->IsDecoding(port))
        Decode(port, 0, bytes, count, m_decodeClock(), true);
}

void ReceivePipeline::Decode(unsigned port, int direction, const std::uint8_t* bytes,
                             std::size_t count, std::int64_t nowMs, bool messageShown)
{
    m_decoded.clear();
    const int partner = m_pForward ? m_pForward->PartnerOf(port) : -1;
    m_pDecode->Decode(port, direction, partner, bytes, count, nowMs, m_decoded);
    WriteDecoded(messageShown);
}

void ReceivePipeline::PollDecoding()
{
    if (!m_pDecode)
        return;
    m_decoded.clear();
    m_pDecode->PollDecoding(m_decodeClock(), m_decoded);
    WriteDecoded(false);
}

// A line under a message follows its message (a message the filter hid takes its lines
// along); news of time follows the display rules of its port and direction.
void ReceivePipeline::WriteDecoded(bool messageShown)
{
    for (const DecodedLine& line : m_decoded) {
        if ((line.m_ofMessage && !messageShown) || !IsShown(line.m_port, line.m_direction))
            continue;
        m_pieces.clear();
        m_pieces.push_back({"  \xE2\xA4\xB7 " + line.m_text + '\n', line.m_colour}); // ⤷
        m_sink.AppendLine(m_pieces);
    }
}

bool ReceivePipeline::IsShown(unsigned port, int direction) const
{
    if (m_options.m_paused)
        return false;
    if (direction == 0 && !m_options.m_showSent)
        return false;
    if (m_displayScope == 1 && static_cast<int>(port) != m_currentPort())
        return false;
    return true;
}

void ReceivePipeline::AppendMonitorLine(const std::string& text, unsigned port, int direction)
{
    if (!IsShown(port, direction))
        return;
    m_pieces.clear();
    m_lineBuilder.SetClockMilliseconds(m_options.m_clockMs != 0);
    m_lineBuilder.Build(text, port, direction, m_options.m_showTime != 0, m_options.m_showPort != 0,
                        m_pieces);
    m_sink.AppendLine(m_pieces);
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
            OnReceiveData(m.m_port, m.m_bytes.data(), m.m_bytes.size(), m.m_receivedMs);
    }
    if (began)
        m_sink.EndAppend();
    // The inbox too: a message that arrived while this turn was scheduled woke nobody (the
    // wake-up found the turn on its way), and a turn whose time ran out just as its own
    // messages were done has not taken it.
    return !m_pending.empty() || inbox.HasWaiting();
}
