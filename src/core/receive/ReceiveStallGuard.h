#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// The last line of defence of the hand-over from the inbox to the window. The window asks it
// now and then whether messages wait while no turn is scheduled; when they have waited so for
// kStallMs with no turn in between, a wake-up went missing. The window then runs a turn by
// itself, and the count lets a benchmark report that it had to.
class ReceiveStallGuard
{
public:
    using TickSource = std::function<std::int64_t()>; // monotonic milliseconds
    static constexpr std::int64_t kStallMs = 1000;

    explicit ReceiveStallGuard(TickSource now = SteadyMs);

    void TurnRan() { m_waitingSince.reset(); }
    // True (and counted) when a turn is due that nothing scheduled.
    bool Check(bool messagesWaiting, bool turnScheduled);
    std::uint64_t Stalls() const { return m_stalls; }

    static std::int64_t SteadyMs();

private:
    TickSource m_now;
    std::optional<std::int64_t> m_waitingSince; // first seen waiting with no turn scheduled
    std::uint64_t m_stalls = 0;
};
