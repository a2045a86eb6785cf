#include "core/decode/RequestPairer.h"

#include <algorithm>

namespace {
// A master has one request open at a time; so many waiting requests mean lost answers on
// many links, and the oldest go.
constexpr std::size_t kMostWaiting = 1024;
} // namespace

void RequestPairer::AddRequest(unsigned link, Source source, std::uint32_t key,
                               std::shared_ptr<const DecodedRecord> request, bool answered,
                               std::vector<Waiting>& missing)
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->m_link == link && it->m_source == source && it->m_key == key) {
            it->m_replaced = true;
            missing.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
    if (!answered)
        return;
    if (m_waiting.size() >= kMostWaiting)
        m_waiting.erase(m_waiting.begin());
    m_waiting.push_back({link, source, key, std::move(request), false});
}

RequestPairer::Answer RequestPairer::TakeAnswer(unsigned link, std::uint32_t key,
                                                std::int64_t startMs)
{
    Answer result;
    auto it = std::find_if(m_waiting.begin(), m_waiting.end(),
                           [&](const Waiting& w) { return w.m_link == link && w.m_key == key; });
    if (it == m_waiting.end())
        return result;
    result.m_paired = true;
    result.m_delayMs = std::max<std::int64_t>(0, startMs - it->m_request->m_endMs);
    result.m_request = std::move(it->m_request);
    m_waiting.erase(it);
    return result;
}

bool RequestPairer::AnyWaiting(unsigned link, std::uint32_t key,
                               const std::function<bool(const Waiting&)>& match) const
{
    return std::any_of(m_waiting.begin(), m_waiting.end(), [&](const Waiting& w) {
        return w.m_link == link && w.m_key == key && match(w);
    });
}

void RequestPairer::Poll(std::int64_t nowMs, std::vector<Waiting>& missing)
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (nowMs - it->m_request->m_endMs > m_timeoutMs) {
            missing.push_back(std::move(*it));
            it = m_waiting.erase(it);
        } else {
            ++it;
        }
    }
}

void RequestPairer::Forget(unsigned port)
{
    std::erase_if(m_waiting, [port](const Waiting& w) {
        return w.m_link == port || w.m_source.m_port == port;
    });
}
