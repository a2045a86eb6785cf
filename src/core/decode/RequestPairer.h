#pragma once

#include "core/decode/DecodedRecord.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Pairs requests with their answers by a key that the protocol gives (MODBUS: slave and
// function). A link is one port, or the two ports of a forwarding pair: the program as
// master sends a request on a port and reads the answer there; a tap reads the request on
// one port of the pair and the answer on the other. An answer's delay is from the request's
// last byte to the answer's first.
class RequestPairer
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
        std::uint32_t m_key = 0;
        std::shared_ptr<const DecodedRecord> m_request;
        bool m_replaced = false; // a newer request of the same key came before its answer
    };
    struct Answer
    {
        bool m_paired = false;
        std::int64_t m_delayMs = 0;
        std::shared_ptr<const DecodedRecord> m_request;
    };

    void SetTimeout(std::int64_t ms) { m_timeoutMs = ms; }
    std::int64_t Timeout() const { return m_timeoutMs; }

    // A request from the same source with the same key that still waits will not be
    // answered any more: it goes to missing. Then request waits for its answer, unless
    // answered is false (no device answers it: broadcast, damaged).
    void AddRequest(unsigned link, Source source, std::uint32_t key,
                    std::shared_ptr<const DecodedRecord> request, bool answered,
                    std::vector<Waiting>& missing);
    // An answer beginning at startMs takes the oldest waiting request of its link and key.
    Answer TakeAnswer(unsigned link, std::uint32_t key, std::int64_t startMs);
    // Whether a request of link and key waits that match (the protocol's rule) accepts.
    bool AnyWaiting(unsigned link, std::uint32_t key,
                    const std::function<bool(const Waiting&)>& match) const;
    // Requests whose answer has not come within the timeout by nowMs go to missing.
    void Poll(std::int64_t nowMs, std::vector<Waiting>& missing);
    // Forgets the waiting requests of a port (its decoding was switched off).
    void Forget(unsigned port);

    std::size_t WaitingCount() const { return m_waiting.size(); }

private:
    std::int64_t m_timeoutMs = kDefaultTimeoutMs;
    std::vector<Waiting> m_waiting; // oldest first
};
