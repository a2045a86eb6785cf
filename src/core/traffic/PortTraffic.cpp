#include "core/traffic/PortTraffic.h"

#include <algorithm>
#include <thread>

// Publish marks a slot busy before it reads the listener, Remove clears the listener before
// it looks at the marks (both sequentially consistent): either the call sees no listener, or
// Remove sees it under way and waits for it.

bool PortTraffic::Add(TrafficListener& listener, Runs runs, int rank)
{
    if (runs == Runs::OnWindow) {
        if (m_calling > 0)
            m_added.push_back({&listener, rank});
        else
            InsertWindow({&listener, rank});
        return true;
    }
    for (int i = 0; i < kMostWorkerListeners; ++i) {
        TrafficListener* none = nullptr;
        if (m_slots[static_cast<std::size_t>(i)].m_listener.compare_exchange_strong(none,
                                                                                    &listener)) {
            int used = m_slotsUsed.load();
            while (used < i + 1 && !m_slotsUsed.compare_exchange_weak(used, i + 1)) {
            }
            m_workerCount.fetch_add(1);
            return true;
        }
    }
    return false;
}

void PortTraffic::InsertWindow(WindowListener listener)
{
    const auto at =
        std::upper_bound(m_window.begin(), m_window.end(), listener.m_rank,
                         [](int rank, const WindowListener& w) { return rank < w.m_rank; });
    m_window.insert(at, listener);
}

void PortTraffic::Remove(TrafficListener& listener)
{
    std::erase_if(m_added, [&](const WindowListener& w) { return w.m_listener == &listener; });
    for (WindowListener& w : m_window)
        if (w.m_listener == &listener)
            w.m_listener = nullptr;
    if (m_calling == 0)
        std::erase_if(m_window, [](const WindowListener& w) { return !w.m_listener; });
    for (Slot& slot : m_slots) {
        TrafficListener* expected = &listener;
        if (!slot.m_listener.compare_exchange_strong(expected, nullptr))
            continue;
        m_workerCount.fetch_sub(1);
        while (slot.m_busy.load() != 0)
            std::this_thread::yield();
    }
}

void PortTraffic::Publish(const TrafficMessage& message) const
{
    if (m_workerCount.load() == 0)
        return;
    const int used = m_slotsUsed.load();
    for (int i = 0; i < used; ++i) {
        Slot& slot = m_slots[static_cast<std::size_t>(i)];
        if (!slot.m_listener.load(std::memory_order_relaxed))
            continue;
        slot.m_busy.fetch_add(1);
        if (TrafficListener* listener = slot.m_listener.load())
            listener->OnTraffic(message);
        slot.m_busy.fetch_sub(1);
    }
}

void PortTraffic::PublishToWindow(const TrafficMessage& message)
{
    ++m_calling;
    for (std::size_t i = 0; i < m_window.size(); ++i)
        if (TrafficListener* listener = m_window[i].m_listener)
            listener->OnTraffic(message);
    EndCalls();
}

void PortTraffic::EndCalls()
{
    if (--m_calling > 0)
        return;
    std::erase_if(m_window, [](const WindowListener& w) { return !w.m_listener; });
    for (const WindowListener& w : m_added)
        InsertWindow(w);
    m_added.clear();
}

void PortTraffic::TickWindow(std::int64_t nowMs)
{
    ++m_calling;
    for (std::size_t i = 0; i < m_window.size(); ++i)
        if (TrafficListener* listener = m_window[i].m_listener)
            listener->OnTick(nowMs);
    EndCalls();
}

bool PortTraffic::WindowWantsText() const
{
    return std::any_of(m_window.begin(), m_window.end(), [](const WindowListener& w) {
        return w.m_listener && w.m_listener->WantsText();
    });
}
