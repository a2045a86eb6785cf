#include "core/modbus/ModbusMonitor.h"

#include "core/base/PortName.h"
#include "core/text/CoreText.h"

#include <algorithm>

namespace {

int ColourOf(const ModbusDescription& d, ModbusForm form)
{
    if (form == ModbusForm::Noise)
        return kColourGrey;
    return d.m_alert ? kColourSent : kColourGreen; // red, green
}

} // namespace

double ModbusMonitor::CharMilliseconds(const PortSettings& s)
{
    const double stop = s.m_nStopBits == 0 ? 1.0 : s.m_nStopBits == 1 ? 1.5 : 2.0;
    const double bits = 1.0 + s.m_nDataBits + (s.m_nParity != 0 ? 1.0 : 0.0) + stop;
    return bits * 1000.0 / static_cast<double>(std::max<std::uint32_t>(s.m_dwBaudRate, 1));
}

void ModbusMonitor::SetEnabled(unsigned port, bool on)
{
    if (port >= m_enabled.size() || m_enabled[port] == on)
        return;
    m_enabled[port] = on;
    if (!on) {
        m_streams.erase(port * 2);
        m_streams.erase(port * 2 + 1);
        m_pairer.Forget(port);
    }
}

bool ModbusMonitor::IsEnabled(unsigned port) const
{
    return port < m_enabled.size() && m_enabled[port];
}

ModbusMonitor::Stream& ModbusMonitor::StreamOf(unsigned port, int direction)
{
    Stream& stream = m_streams[port * 2 + (direction ? 1u : 0u)];
    // The settings may have changed since the last message (the port was reopened).
    // A port whose settings are not known is taken at the defaults.
    PortSettings settings;
    if (m_lineSource && !m_lineSource(port, settings))
        settings = PortSettings();
    stream.m_framer.SetLine(CharMilliseconds(settings), settings.m_dwPackInterval, direction == 0);
    return stream;
}

void ModbusMonitor::Decode(unsigned port, int direction, int partner, const std::uint8_t* bytes,
                           std::size_t count, std::int64_t nowMs, std::vector<DecodedLine>& lines)
{
    if (!IsEnabled(port))
        return;
    Stream& stream = StreamOf(port, direction);
    stream.m_partner = partner;
    m_frames.clear();
    stream.m_framer.Feed(bytes, count, nowMs, m_frames);
    Handle(m_frames, port, direction, partner, true, lines);
}

void ModbusMonitor::PollDecoding(std::int64_t nowMs, std::vector<DecodedLine>& lines)
{
    for (auto& [key, stream] : m_streams) {
        m_frames.clear();
        stream.m_framer.Poll(nowMs, m_frames);
        Handle(m_frames, key / 2, static_cast<int>(key % 2), stream.m_partner, false, lines);
    }
    m_missing.clear();
    m_pairer.Poll(nowMs, m_missing);
    AddMissing(m_missing, lines);
}

void ModbusMonitor::Handle(std::vector<ModbusFrame>& frames, unsigned port, int direction,
                           int partner, bool ofMessage, std::vector<DecodedLine>& lines)
{
    const unsigned link = partner >= 0 ? std::min(port, static_cast<unsigned>(partner)) : port;
    const ModbusPairer::Source source{port, direction};
    for (ModbusFrame& frame : frames) {
        ModbusRecord record;
        record.m_port = port;
        record.m_direction = direction;
        const std::uint8_t function = frame.Function();
        if (frame.m_form == ModbusForm::Request && !ModbusTwoLayouts(function)
            && m_pairer.IsEcho(link, source, frame, partner < 0 && direction == 1))
            frame.m_form = ModbusForm::Response;

        std::string suffix;
        ModbusPairer::Answer answer;
        if (frame.m_form == ModbusForm::Request) {
            m_missing.clear();
            m_pairer.AddRequest(link, source, frame, m_missing);
            AddMissing(m_missing, lines);
        } else if (frame.IsAnswer()) {
            answer = m_pairer.TakeAnswer(link, frame);
            record.m_paired = answer.m_paired;
            record.m_delayMs = answer.m_delayMs;
            if (answer.m_paired)
                suffix = CoreText::Args(VRL_TR("ModbusMonitor", "  应答 %1 ms"),
                                        {std::to_string(answer.m_delayMs)});
        }
        record.m_description =
            DescribeModbusFrame(frame, answer.m_paired ? &answer.m_request : nullptr);
        DecodedLine line;
        line.m_text = record.m_description.m_text + suffix;
        line.m_colour = ColourOf(record.m_description, frame.m_form);
        line.m_port = port;
        line.m_direction = direction;
        line.m_ofMessage = ofMessage;
        lines.push_back(std::move(line));
        if (m_recordSink) {
            record.m_frame = std::move(frame);
            m_recordSink(record);
        }
    }
}

void ModbusMonitor::AddMissing(std::vector<ModbusPairer::Waiting>& missing,
                               std::vector<DecodedLine>& lines)
{
    for (ModbusPairer::Waiting& w : missing) {
        DecodedLine line;
        const std::string why = w.m_replaced
                                    ? VRL_TR("ModbusMonitor", "未应答即有新请求")
                                    : CoreText::Args(VRL_TR("ModbusMonitor", "%1 ms 内未应答"),
                                                     {std::to_string(m_pairer.Timeout())});
        line.m_text = PortName(w.m_source.m_port) + " " + DescribeModbusFrame(w.m_request).m_text
                      + CoreText::Args(VRL_TR("ModbusMonitor", "  无应答（%1）"), {why});
        line.m_colour = kColourSent;
        line.m_port = w.m_source.m_port;
        line.m_direction = w.m_source.m_direction;
        line.m_ofMessage = false;
        lines.push_back(std::move(line));
        if (m_recordSink) {
            ModbusRecord record;
            record.m_port = w.m_source.m_port;
            record.m_direction = w.m_source.m_direction;
            record.m_description = DescribeModbusFrame(w.m_request);
            record.m_description.m_text = line.m_text;
            record.m_description.m_alert = true;
            record.m_frame = std::move(w.m_request);
            record.m_delayMs = -1; // no answer
            m_recordSink(record);
        }
    }
}
