#include "core/plot/PlotSampler.h"

#include "core/modbus/ModbusRecord.h"
#include "core/plot/TextValueReader.h"

#include <algorithm>

void PlotSampler::SetChannels(std::vector<PlotSource> sources)
{
    m_sources = std::move(sources);
    m_skipped.assign(m_sources.size(), 0);
}

void PlotSampler::Emit(std::size_t channel, std::int64_t timeUs, double value)
{
    if (m_sink)
        m_sink(channel, timeUs, value);
}

void PlotSampler::OnRecord(const DecodedRecord& decoded)
{
    const auto* record = dynamic_cast<const ModbusRecord*>(&decoded);
    if (!record || record->m_direction != 1 || record->m_kind != RecordKind::Frame)
        return;
    const std::int64_t timeUs = record->m_timeMs * 1000;
    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        const PlotSource& s = m_sources[i];
        if (s.m_kind != PlotSource::Kind::Modbus || s.m_port != record->m_port
            || s.m_slave != record->m_slave)
            continue;
        if (const auto value = ReadRegisterValue(*record, s))
            Emit(i, timeUs, *value);
        else if (record->m_exception != 0 || record->m_check == CheckVerdict::Wrong)
            ++m_skipped[i];
    }
}

void PlotSampler::OnReceived(unsigned port, std::int64_t timeUs, const std::uint8_t* bytes,
                             std::size_t count)
{
    if (!ReadsText(port))
        return;
    auto it = std::find_if(m_pending.begin(), m_pending.end(),
                           [port](const PendingLine& p) { return p.m_port == port; });
    if (it == m_pending.end()) {
        m_pending.push_back({port, {}, timeUs, false});
        it = m_pending.end() - 1;
    }
    PendingLine& line = *it;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (line.m_text.empty() && !line.m_tooLong)
            line.m_timeUs = timeUs;
        if (c == '\n') {
            if (line.m_tooLong) {
                for (std::size_t ch = 0; ch < m_sources.size(); ++ch)
                    if (m_sources[ch].m_port == port
                        && (m_sources[ch].m_kind == PlotSource::Kind::TextNamed
                            || m_sources[ch].m_kind == PlotSource::Kind::TextNth))
                        ++m_skipped[ch];
            } else {
                OnLine(port, line.m_timeUs, line.m_text);
            }
            line.m_text.clear();
            line.m_tooLong = false;
        } else if (c != '\r' && !line.m_tooLong) {
            line.m_text.push_back(c);
            if (line.m_text.size() > kLongestLine) {
                line.m_text.clear();
                line.m_tooLong = true;
            }
        }
    }
}

void PlotSampler::OnLine(unsigned port, std::int64_t timeUs, const std::string& line)
{
    for (std::size_t i = 0; i < m_sources.size(); ++i) {
        const PlotSource& s = m_sources[i];
        if (s.m_port != port)
            continue;
        std::optional<double> value;
        if (s.m_kind == PlotSource::Kind::TextNamed)
            value = TextValueReader::Named(line, s.m_name);
        else if (s.m_kind == PlotSource::Kind::TextNth)
            value = TextValueReader::Nth(line, s.m_nth);
        else
            continue;
        if (value)
            Emit(i, timeUs, *value);
        else if (!line.empty())
            ++m_skipped[i];
    }
}

void PlotSampler::OnScriptValue(const std::string& name, std::int64_t timeUs, double value)
{
    for (std::size_t i = 0; i < m_sources.size(); ++i)
        if (m_sources[i].m_kind == PlotSource::Kind::Script && m_sources[i].m_name == name)
            Emit(i, timeUs, value);
}

std::uint64_t PlotSampler::Skipped(std::size_t channel) const
{
    return channel < m_skipped.size() ? m_skipped[channel] : 0;
}

bool PlotSampler::ReadsText(unsigned port) const
{
    return std::any_of(m_sources.begin(), m_sources.end(), [port](const PlotSource& s) {
        return s.m_port == port
               && (s.m_kind == PlotSource::Kind::TextNamed
                   || s.m_kind == PlotSource::Kind::TextNth);
    });
}

void PlotSampler::ClearCounts()
{
    std::fill(m_skipped.begin(), m_skipped.end(), 0);
}
