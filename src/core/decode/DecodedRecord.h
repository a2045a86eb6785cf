#pragma once

#include <cstdint>
#include <memory>
#include <string>

// What a record is about.
enum class RecordKind
{
    Frame,   // a frame of the protocol
    Noise,   // bytes that form no frame
    NoAnswer // a request whose answer did not come: news of time, not of a message
};

enum class CheckVerdict
{
    None, // nothing to check (noise)
    Right,
    Wrong
};

// One thing a decoder found in a port's traffic, with numbers, for any listener (the monitor
// lines, the frame table, a capture, plots, scripts, export). A protocol's record derives
// from this one and adds its fields (ModbusRecord). Times are steady milliseconds.
struct DecodedRecord
{
    virtual ~DecodedRecord() = default;

    unsigned m_port = 0;
    int m_direction = 1;       // 1 received, 0 sent
    std::int64_t m_timeMs = 0; // its first byte on the line (NoAnswer: when it was given up)
    std::int64_t m_endMs = 0;  // its last byte
    std::string m_decoder;     // the name the decoder is registered under
    std::string m_summary;     // the monitor line under the message, UTF-8
    RecordKind m_kind = RecordKind::Frame;
    bool m_alert = false; // shown in red: a wrong check code, an exception, no answer
    CheckVerdict m_check = CheckVerdict::None;
    // Pairing: an answer whose request was found has m_paired and m_delayMs (from the
    // request's last byte to the answer's first); NoAnswer has m_delayMs -1. Both carry the
    // request's record.
    bool m_paired = false;
    std::int64_t m_delayMs = 0;
    std::shared_ptr<const DecodedRecord> m_request;
};
