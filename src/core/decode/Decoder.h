#pragma once

#include "core/decode/DecodedRecord.h"
#include "core/decode/LineTiming.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Where a decoder hands its records, in the order the traffic gives them.
class RecordSink
{
public:
    virtual ~RecordSink() = default;
    virtual void Emit(const DecodedRecord& record) = 0;
};

// One message of a port, as a decoder gets it.
struct DecodeMessage
{
    unsigned m_port = 0;
    int m_direction = 1; // 1 received, 0 sent
    int m_partner = -1;  // the other port of the forwarding pair, or -1
    const std::uint8_t* m_bytes = nullptr;
    std::size_t m_count = 0;
    std::int64_t m_nowMs = 0; // steady time of the hand-over
    LineTiming m_line;        // the port's settings now
};

// A protocol decoder of a DecoderSet: fed the messages of the ports it is on for, it keeps
// what it needs per port and direction and emits records as frames complete.
class Decoder
{
public:
    virtual ~Decoder() = default;
    // The name it registers under; also its stored switch ("COM1" + name) and its records'.
    virtual const std::string& Name() const = 0;
    virtual void Decode(const DecodeMessage& message, RecordSink& out) = 0;
    // What time brings by nowMs: frames ended by silence, answers that did not come.
    virtual void Poll(std::int64_t nowMs, RecordSink& out) = 0;
    // Decoding of port was switched off: what waits of it goes.
    virtual void Forget(unsigned port) = 0;
};
