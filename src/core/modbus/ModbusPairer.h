#pragma once

#include "core/modbus/ModbusRtu.h"

#include <cstdint>
#include <vector>

// Pairs MODBUS requests with their answers by slave and function. A link is one port, or
// the two ports of a forwarding pair: the program as master sends a request on a port and
// reads the answer there; a tap reads the request on one port of the pair and the answer
// on the other. An answer's delay is from the request's last byte to the answer's first.
class ModbusPairer
{
public:
    static constexpr std::int64_t kDefaultTimeoutMs = 1000;

    // Where a frame was seen: a port and a direction (1 received, 0 sent).
    struct Source
    {
        unsigned m_port = 0;
        int m_direction = 1;
        bool operator==(const Source&) const = default;
    };
    struct Waiting
    {
        unsigned m_link = 0;
        Source m_source;
        ModbusFrame m_request;
        bool m_replaced = false; // a newer request of the same kind came before its answer
    };
    struct Answer
    {
        bool m_paired = false;
        std::int64_t m_delayMs = 0;
        ModbusFrame m_request;
    };

    void SetTimeout(std::int64_t ms) { m_timeoutMs = ms; }
    std::int64_t Timeout() const { return m_timeoutMs; }

    // A request waits for its answer, unless it is broadcast or damaged (no device answers
    // those). A request from the same source for the same slave and function that still
    // waits will not be answered any more: it goes to missing.
    void AddRequest(unsigned link, Source source, const ModbusFrame& request,
                    std::vector<Waiting>& missing);
    // An answer (response or exception) takes the oldest waiting request of its link, slave
    // and function.
    Answer TakeAnswer(unsigned link, const ModbusFrame& answer);
    // Functions 5, 6 and 22 answer with an echo of the request: true when frame answers a
    // waiting request seen elsewhere, or repeats it on the same stream when that stream
    // carries both sides (a port that listens to a whole bus).
    bool IsEcho(unsigned link, Source source, const ModbusFrame& frame, bool bothSides) const;
    // Requests whose answer has not come within the timeout by nowMs go to missing.
    void Poll(std::int64_t nowMs, std::vector<Waiting>& missing);
    // Forgets the waiting requests of a port (its decoding was switched off).
    void Forget(unsigned link);

    std::size_t WaitingCount() const { return m_waiting.size(); }

private:
    std::int64_t m_timeoutMs = kDefaultTimeoutMs;
    std::vector<Waiting> m_waiting; // oldest first
};
