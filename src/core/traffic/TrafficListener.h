#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One message of one port as it went over the wire: read by the port's worker, written by
// the program, or carried across by the forwarding tap (a copy: the bytes the tap wrote to
// the partner of the port that read them).
struct TrafficMessage
{
    unsigned m_port = 0;
    int m_direction = 1;       // 1 received, 0 sent
    std::int64_t m_timeUs = 0; // steady clock at its first byte (sent: when handed to the port)
    const std::uint8_t* m_bytes = nullptr;
    std::size_t m_count = 0;
    bool m_forwarded = false; // the tap's copy of the partner's received message
    // On the window thread only: the monitor's text of the message when the monitor made it
    // (else null), and whether its line passed the filter.
    const std::string* m_text = nullptr;
    bool m_shown = true;
};

// Whoever follows the traffic of the ports. A listener says where it runs when it is added
// (PortTraffic::Add): on the port's worker, where it must never block (the port reads no
// more meanwhile), or on the window thread, in the receive turns' batches.
class TrafficListener
{
public:
    virtual ~TrafficListener() = default;
    virtual void OnTraffic(const TrafficMessage& message) = 0;
    // On the window thread, every few tens of milliseconds: what time brings (a frame ended
    // by silence, an answer that did not come). nowMs: steady milliseconds.
    virtual void OnTick(std::int64_t nowMs) { (void)nowMs; }
    // On the window thread: whether it reads TrafficMessage::m_text, so that the monitor
    // makes the text also while the display would not need it (paused, hidden).
    virtual bool WantsText() const { return false; }
};
