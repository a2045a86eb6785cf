#include "core/receive/TrafficPublisher.h"

#include "core/receive/MonitorLine.h"
#include "core/traffic/PortTraffic.h"

TrafficPublisher::TrafficPublisher(PortTraffic& traffic, PortReceiver& next)
    : m_traffic(traffic), m_next(next)
{
}

void TrafficPublisher::Publish(unsigned port, const std::vector<std::uint8_t>& bytes,
                               std::int64_t timeUs)
{
    if (!m_traffic.HasWorkerListeners())
        return;
    TrafficMessage message;
    message.m_port = port;
    message.m_direction = 1;
    message.m_timeUs = timeUs;
    message.m_bytes = bytes.data();
    message.m_count = bytes.size();
    m_traffic.Publish(message);
    const int partner = m_partner ? m_partner(port) : -1;
    if (partner < 0)
        return;
    message.m_port = static_cast<unsigned>(partner);
    message.m_direction = 0;
    message.m_forwarded = true;
    m_traffic.Publish(message);
}

void TrafficPublisher::OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes)
{
    Publish(uiPortNo, bytes, SteadyMicroseconds());
    m_next.OnPortData(uiPortNo, std::move(bytes));
}

void TrafficPublisher::OnPortMessage(unsigned uiPortNo, std::vector<std::uint8_t> bytes,
                                     std::int64_t readUs, bool mustNotWait)
{
    Publish(uiPortNo, bytes, readUs);
    m_next.OnPortMessage(uiPortNo, std::move(bytes), readUs, mustNotWait);
}

void TrafficPublisher::OnPortStopped(unsigned uiPortNo, std::string reason)
{
    m_next.OnPortStopped(uiPortNo, std::move(reason));
}

void TrafficPublisher::OnModemLines(unsigned uiPortNo, bool available, unsigned lines)
{
    m_next.OnModemLines(uiPortNo, available, lines);
}

void TrafficPublisher::OnPortConnected(unsigned uiPortNo, std::string where)
{
    m_next.OnPortConnected(uiPortNo, std::move(where));
}

void TrafficPublisher::OnPortNotice(unsigned uiPortNo, std::string text)
{
    m_next.OnPortNotice(uiPortNo, std::move(text));
}
