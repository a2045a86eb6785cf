#include "core/send/SendQueues.h"

#include "core/forward/ForwardTap.h"
#include "core/receive/MonitorLine.h"
#include "core/serial/ForwardEnd.h"

SendQueues::SendQueues(ForwardTap& tap, PortSource ports, std::size_t limit, Clock clock)
    : m_tap(tap), m_ports(std::move(ports)), m_limit(limit),
      m_clock(clock ? std::move(clock) : Clock(SteadyMilliseconds))
{
}

SendQueues::Target& SendQueues::TargetOf(unsigned port)
{
    auto it = m_targets.find(port);
    if (it == m_targets.end())
        it = m_targets.try_emplace(port, m_limit).first;
    return it->second;
}

ForwardQueue::Writer SendQueues::WriterOf(unsigned port) const
{
    ForwardEnd* end = m_ports(port);
    return [end](const std::uint8_t* bytes, std::size_t count) -> std::ptrdiff_t {
        return end ? end->WriteSome(bytes, count) : -1;
    };
}

bool SendQueues::Write(unsigned port, const std::uint8_t* bytes, std::size_t count)
{
    if (!m_ports(port))
        return false;
    if (m_tap.InPair(port))
        return m_tap.Send(port, bytes, count);
    Target& t = TargetOf(port);
    if (t.m_queue.IsEmpty())
        t.m_progressMs = m_clock();
    if (!t.m_queue.Append(bytes, count))
        return false;
    // Out at once as far as the port takes it, so that a line is on its way before whatever
    // the user does next (closing the port, say).
    const std::ptrdiff_t written = t.m_queue.Flush(WriterOf(port));
    if (written < 0)
        return false;
    if (written > 0)
        t.m_progressMs = m_clock();
    return true;
}

SendQueues::Flushed SendQueues::Flush()
{
    Flushed result;
    // The program's sends to a port of the pair whose partner is not read (closed): nobody
    // else pumps them.
    for (const int pairPort : {m_tap.PairPort(0), m_tap.PairPort(1)}) {
        const auto port = static_cast<unsigned>(pairPort);
        const std::size_t before = pairPort < 0 ? 0 : m_tap.Waiting(port);
        if (before == 0)
            continue;
        m_tap.Pump(port);
        const std::size_t after = m_tap.Waiting(port);
        result.m_progress = result.m_progress || after < before;
        result.m_waiting = result.m_waiting || after > 0;
    }
    for (auto& [port, t] : m_targets) {
        if (t.m_queue.IsEmpty())
            continue;
        // A closed target drops its share, as a chunk that arrives while it is closed would.
        if (!m_ports(port)) {
            t.m_queue.Clear();
            continue;
        }
        if (t.m_queue.Flush(WriterOf(port)) > 0) {
            result.m_progress = true;
            t.m_progressMs = m_clock();
        }
        result.m_waiting = result.m_waiting || !t.m_queue.IsEmpty();
    }
    return result;
}

bool SendQueues::IsWaiting() const
{
    for (const int port : {m_tap.PairPort(0), m_tap.PairPort(1)})
        if (port >= 0 && m_tap.Waiting(static_cast<unsigned>(port)) > 0)
            return true;
    for (const auto& [port, t] : m_targets)
        if (!t.m_queue.IsEmpty())
            return true;
    return false;
}

std::size_t SendQueues::Waiting(unsigned port) const
{
    if (m_tap.InPair(port))
        return m_tap.Waiting(port);
    auto it = m_targets.find(port);
    return it == m_targets.end() ? 0 : it->second.m_queue.Waiting();
}

std::vector<std::uint8_t> SendQueues::TakeWaiting(unsigned port)
{
    auto it = m_targets.find(port);
    return it == m_targets.end() ? std::vector<std::uint8_t>() : it->second.m_queue.Take();
}

void SendQueues::ResetDropped()
{
    for (auto& [port, t] : m_targets)
        t.m_queue.ResetDropped();
}

std::vector<SendQueues::Trouble> SendQueues::Troubles(std::int64_t behindMs) const
{
    std::vector<Trouble> troubles;
    const std::int64_t now = m_clock();
    for (const auto& [port, t] : m_targets) {
        const bool behind = !t.m_queue.IsEmpty() && now - t.m_progressMs >= behindMs;
        if (t.m_queue.Dropped() > 0 || behind)
            troubles.push_back({port, t.m_queue.Waiting(), t.m_queue.Dropped(), t.m_queue.Limit()});
    }
    return troubles;
}
