#include "core/modbus/ModbusDecoder.h"

#include "core/text/CoreText.h"

#include <algorithm>

namespace {

// Requests and answers pair by slave and function.
std::uint32_t KeyOf(const ModbusFrame& frame)
{
    return (static_cast<std::uint32_t>(frame.Slave()) << 8) | (frame.Function() & 0x7Fu);
}

} // namespace

void ModbusDecoder::Forget(unsigned port)
{
    m_streams.erase(port * 2);
    m_streams.erase(port * 2 + 1);
    m_pairer.Forget(port);
}

void ModbusDecoder::Decode(const DecodeMessage& m, RecordSink& out)
{
    Stream& stream = m_streams[m.m_port * 2 + (m.m_direction ? 1u : 0u)];
    stream.m_framer.SetLine(m.m_line.m_charMs, m.m_line.m_packMs, m.m_direction == 0);
    stream.m_partner = m.m_partner;
    m_frames.clear();
    stream.m_framer.Feed(m.m_bytes, m.m_count, m.m_nowMs, m_frames);
    Handle(m_frames, m.m_port, m.m_direction, m.m_partner, out);
}

void ModbusDecoder::Poll(std::int64_t nowMs, RecordSink& out)
{
    for (auto& [key, stream] : m_streams) {
        m_frames.clear();
        stream.m_framer.Poll(nowMs, m_frames);
        Handle(m_frames, key / 2, static_cast<int>(key % 2), stream.m_partner, out);
    }
    m_missing.clear();
    m_pairer.Poll(nowMs, m_missing);
    AddMissing(m_missing, nowMs, out);
}

bool ModbusDecoder::IsEcho(unsigned link, RequestPairer::Source source, const ModbusFrame& frame,
                           bool bothSides) const
{
    // Seen elsewhere, slave and function are enough (a damaged echo still answers); on the
    // same stream only the request's very bytes are its echo.
    const auto& b = frame.m_bytes;
    return m_pairer.AnyWaiting(link, KeyOf(frame), [&](const RequestPairer::Waiting& w) {
        if (!(w.m_source == source))
            return true;
        const auto& r = static_cast<const ModbusRecord&>(*w.m_request).m_frame.m_bytes;
        return bothSides && r.size() == b.size() && std::equal(r.begin(), r.end() - 2, b.begin());
    });
}

void ModbusDecoder::Handle(std::vector<ModbusFrame>& frames, unsigned port, int direction,
                           int partner, RecordSink& out)
{
    const unsigned link = partner >= 0 ? std::min(port, static_cast<unsigned>(partner)) : port;
    const RequestPairer::Source source{port, direction};
    for (ModbusFrame& frame : frames) {
        if (frame.m_form == ModbusForm::Request && !ModbusTwoLayouts(frame.Function())
            && IsEcho(link, source, frame, partner < 0 && direction == 1))
            frame.m_form = ModbusForm::Response;

        RequestPairer::Answer answer;
        if (frame.IsAnswer())
            answer = m_pairer.TakeAnswer(link, KeyOf(frame), frame.m_startMs);
        const auto* request = static_cast<const ModbusRecord*>(answer.m_request.get());

        auto record = std::make_shared<ModbusRecord>();
        record->m_port = port;
        record->m_direction = direction;
        record->m_timeMs = frame.m_startMs;
        record->m_endMs = frame.m_endMs;
        record->m_decoder = m_name;
        record->m_description = DescribeModbusFrame(frame, request ? &request->m_frame : nullptr);
        record->m_summary = record->m_description.m_text;
        record->m_kind = frame.m_form == ModbusForm::Noise ? RecordKind::Noise : RecordKind::Frame;
        record->m_alert = record->m_description.m_alert;
        record->m_check = frame.m_form == ModbusForm::Noise ? CheckVerdict::None
                          : frame.m_crcOk                   ? CheckVerdict::Right
                                                            : CheckVerdict::Wrong;
        record->m_paired = answer.m_paired;
        record->m_delayMs = answer.m_delayMs;
        if (answer.m_paired)
            record->m_summary += CoreText::Args(VRL_TR("ModbusDecoder", "  应答 %1 ms"),
                                                {std::to_string(answer.m_delayMs)});
        record->m_request = std::move(answer.m_request);
        record->m_frame = std::move(frame);
        ReadModbusNumbers(*record, request);

        if (record->m_frame.m_form == ModbusForm::Request) {
            // A broadcast or a damaged request is answered by no device.
            const bool answered = record->m_frame.Slave() != 0 && record->m_frame.m_crcOk;
            m_missing.clear();
            m_pairer.AddRequest(link, source, KeyOf(record->m_frame), record, answered, m_missing);
            AddMissing(m_missing, record->m_timeMs, out);
        }
        out.Emit(*record);
    }
}

void ModbusDecoder::AddMissing(std::vector<RequestPairer::Waiting>& missing, std::int64_t nowMs,
                               RecordSink& out)
{
    for (RequestPairer::Waiting& w : missing) {
        ModbusRecord record = static_cast<const ModbusRecord&>(*w.m_request);
        const std::string why = w.m_replaced
                                    ? VRL_TR("ModbusDecoder", "未应答即有新请求")
                                    : CoreText::Args(VRL_TR("ModbusDecoder", "%1 ms 内未应答"),
                                                     {std::to_string(m_pairer.Timeout())});
        record.m_summary = "COM" + std::to_string(w.m_source.m_port + 1) + " "
                           + record.m_description.m_text
                           + CoreText::Args(VRL_TR("ModbusDecoder", "  无应答（%1）"), {why});
        record.m_description.m_text = record.m_summary;
        record.m_description.m_alert = true;
        record.m_kind = RecordKind::NoAnswer;
        record.m_alert = true;
        record.m_timeMs = nowMs;
        record.m_delayMs = -1;
        record.m_request = std::move(w.m_request);
        out.Emit(record);
    }
}
