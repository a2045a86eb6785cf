#pragma once

#include "core/traffic/TrafficListener.h"

#include <array>
#include <atomic>
#include <vector>

// The traffic of every port, for any number of listeners added and removed at run time.
//
// Worker listeners are called by Publish, on the thread of the port whose message it is
// (a worker, or whoever sent), without a lock: per port in the wire's order, across the
// ports of the forwarding pair in the order the monitor shows. A listener added while ports
// stream gets every message published after Add returned, once; one removed gets nothing
// after Remove returned; the others miss nothing meanwhile. With no worker listener a
// message costs one atomic load.
//
// Window listeners are called by PublishToWindow, on the window thread, in the order of
// their rank (then of their adding): the receive pipeline calls it for every message after
// the message's monitor line. Added and removed on the window thread only.
class PortTraffic
{
public:
    enum class Runs
    {
        OnWorker,
        OnWindow
    };
    static constexpr int kMostWorkerListeners = 32;
    // Ranks of the window listeners whose order the monitor's lines show.
    static constexpr int kRankDecode = 10;  // lines under the message
    static constexpr int kRankForward = 20; // the tap's copy as a sent line of the partner
    static constexpr int kRankAnswer = 30;  // answers sent back (trigger mode)
    static constexpr int kRankLast = 100;

    PortTraffic() = default;
    PortTraffic(const PortTraffic&) = delete;
    PortTraffic& operator=(const PortTraffic&) = delete;

    // False when kMostWorkerListeners run already. A listener is added once.
    bool Add(TrafficListener& listener, Runs runs, int rank = kRankLast);
    // Not from inside the listener's own OnTraffic on a worker (it would wait for itself).
    void Remove(TrafficListener& listener);

    // Any thread: the worker listeners, now.
    void Publish(const TrafficMessage& message) const;
    bool HasWorkerListeners() const { return m_workerCount.load() > 0; }

    // Window thread.
    void PublishToWindow(const TrafficMessage& message);
    void TickWindow(std::int64_t nowMs);
    // Some window listener reads the monitor's text.
    bool WindowWantsText() const;

private:
    struct Slot
    {
        std::atomic<TrafficListener*> m_listener{nullptr};
        std::atomic<int> m_busy{0}; // calls under way
    };
    struct WindowListener
    {
        TrafficListener* m_listener;
        int m_rank;
    };

    void InsertWindow(WindowListener listener);
    void EndCalls();

    mutable std::array<Slot, kMostWorkerListeners> m_slots;
    std::atomic<int> m_workerCount{0}; // slots in use
    std::atomic<int> m_slotsUsed{0};   // slots [0, m_slotsUsed) may hold a listener
    // Window listeners by rank. While they are being called (m_calling), a removed one is
    // only cleared and an added one waits in m_added, so that the call loop stays valid.
    std::vector<WindowListener> m_window;
    std::vector<WindowListener> m_added;
    int m_calling = 0;
};
