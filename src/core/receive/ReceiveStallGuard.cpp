#include "core/receive/ReceiveStallGuard.h"

#include <chrono>

ReceiveStallGuard::ReceiveStallGuard(TickSource now) : m_now(std::move(now)) {}

std::int64_t ReceiveStallGuard::SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool ReceiveStallGuard::Check(bool messagesWaiting, bool turnScheduled)
{
    // A wake-up on its way, or a window thread that was busy, looks the same at one look;
    // only a second look a while later with no turn in between tells a lost one.
    if (!messagesWaiting || turnScheduled) {
        m_waitingSince.reset();
        return false;
    }
    const std::int64_t now = m_now();
    if (!m_waitingSince) {
        m_waitingSince = now;
        return false;
    }
    if (now - *m_waitingSince < kStallMs)
        return false;
    ++m_stalls;
    m_waitingSince.reset();
    return true;
}
