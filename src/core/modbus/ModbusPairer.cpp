#include "core/modbus/ModbusPairer.h"

#include <algorithm>

namespace {
// An RTU master has one request open at a time; so many waiting requests mean lost answers
// on many links, and the oldest go.
constexpr std::size_t kMostWaiting = 1024;
} // namespace

void ModbusPairer::AddRequest(unsigned link, Source source, const ModbusFrame& request,
                              std::vector<Waiting>& missing)
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->m_link == link && it->m_source == source && it->m_request.Slave() == request.Slave()
            && it->m_request.Function() == request.Function()) {
            it->m_replaced = true;
            missing.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    if (request.Slave() == 0 || !request.m_crcOk)
        return;
    if (m_waiting.size() >= kMostWaiting)
        m_waiting.erase(m_waiting.begin());
    m_waiting.push_back({link, source, request, false});
}

ModbusPairer::Answer ModbusPairer::TakeAnswer(unsigned link, const ModbusFrame& answer)
{
    Answer result;
    const std::uint8_t function = answer.Function() & 0x7F;
    auto it = std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Waiting& w) {
        return w.m_link == link && w.m_request.Slave() == answer.Slave()
               && w.m_request.Function() == function;
    });
    if (it == m_waiting.end())
        return result;
    result.m_paired = true;
    result.m_delayMs = std::max<std::int64_t>(0, answer.m_startMs - it->m_request.m_endMs);
    result.m_request = std::move(it->m_request);
    m_waiting.erase(it);
    return result;
}

bool ModbusPairer::IsEcho(unsigned link, Source source, const ModbusFrame& frame,
                          bool bothSides) const
{
    // Seen elsewhere, slave and function are enough (a damaged echo still answers); on the
    // same stream only the request's very bytes are its echo.
    const auto& b = frame.m_bytes;
    return std::any_of(m_waiting.begin(), m_waiting.end(), [&](const Waiting& w) {
        const auto& r = w.m_request.m_bytes;
        if (w.m_link != link || w.m_request.Slave() != frame.Slave()
            || w.m_request.Function() != frame.Function())
            return false;
        if (!(w.m_source == source))
            return true;
        return bothSides && r.size() == b.size() && std::equal(r.begin(), r.end() - 2, b.begin());
    });
}

void ModbusPairer::Poll(std::int64_t nowMs, std::vector<Waiting>& missing)
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (nowMs - it->m_request.m_endMs > m_timeoutMs) {
            missing.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
}

void ModbusPairer::Forget(unsigned link)
{
    std::erase_if(m_waiting, [link](const Waiting& w) {
        return w.m_link == link || w.m_source.m_port == link;
    });
}
