#include "core/receive/DecodeListener.h"

DecodeListener::DecodeListener(DecodeStep& step, ReceivePipeline& pipeline, PartnerSource partner)
    : m_step(step), m_pipeline(pipeline), m_partner(std::move(partner))
{
}

void DecodeListener::OnTraffic(const TrafficMessage& message)
{
    if (message.m_forwarded || !m_step.IsDecoding(message.m_port))
        return;
    m_lines.clear();
    const int partner = m_partner ? m_partner(message.m_port) : -1;
    m_step.Decode(message.m_port, message.m_direction, partner, message.m_bytes, message.m_count,
                  message.m_timeUs / 1000, m_lines);
    m_pipeline.WriteDecoded(m_lines, message.m_shown);
}

void DecodeListener::OnTick(std::int64_t nowMs)
{
    m_lines.clear();
    m_step.PollDecoding(nowMs, m_lines);
    m_pipeline.WriteDecoded(m_lines, false);
}
