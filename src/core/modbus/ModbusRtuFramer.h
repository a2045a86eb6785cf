#pragma once

#include "core/decode/SilenceFramer.h"
#include "core/modbus/ModbusRtu.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Joins the messages of one port and one direction into MODBUS RTU frames. A message is
// what one read returned: a USB adapter cuts a long frame into pieces (32 or 62 bytes, every
// 16 ms or so), and packing may put two frames into one message.
//
// A frame is complete as soon as the length that its function code and byte count give is
// there and its CRC is right; it does not wait for silence. A silence of 3.5 characters or
// the packing interval, whichever is longer (SilenceFramer), ends a frame that is still
// incomplete. Bytes that form no frame are handed on as noise.
//
// Frames begin where the line was quiet before (after a silence, or right after another
// frame): only there is a frame with a wrong CRC taken as a frame, and only when its length
// ends where a message ended. After noise the framer looks for a frame at every byte, but
// takes only one with a right CRC, plausible fields and an end where a message ended, so
// that random bytes yield a frame well under once per megabyte.
//
// Request and response of functions 1 to 4, 15, 16 and 23 differ in layout: the framer
// tries first the form that this stream carried last, and takes the other while the first
// can still grow only when the other ends where a message ended.
//
// Times are milliseconds of the caller's monotonic clock.
class ModbusRtuFramer
{
public:
    enum class Role
    {
        Unknown,
        Requests,
        Responses
    };

    // charMs: one character on the line (start, data, parity and stop bits at the rate);
    // packMs: the port's packing interval; sent: the stream is what the program writes,
    // whose messages come when written instead of a packing interval after their last byte.
    void SetLine(double charMs, std::int64_t packMs, bool sent);

    // One message, handed over at nowMs. Frames and noise it completes are appended to out.
    void Feed(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs,
              std::vector<ModbusFrame>& out);
    // Ends what waits once the line has been quiet long enough by nowMs.
    void Poll(std::int64_t nowMs, std::vector<ModbusFrame>& out);

    std::size_t Waiting() const { return m_line.Bytes().size(); }
    Role CurrentRole() const { return m_role; }

private:
    enum class Verdict
    {
        Wait,
        Accept,
        Reject
    };

    void Parse(bool closed, std::vector<ModbusFrame>& out);
    Verdict TryFrame(std::size_t s, bool closed, ModbusLayout& chosen, bool& crcOk) const;
    Verdict TryOther(std::size_t s, bool closed, ModbusLayout& chosen) const;
    void Emit(std::size_t s, std::size_t length, ModbusForm form, bool crcOk,
              std::vector<ModbusFrame>& out);
    void FlushNoise(std::vector<ModbusFrame>& out);

    SilenceFramer m_line{3.5, kModbusMaxFrame}; // 3.5 characters of silence end a frame
    std::vector<std::uint8_t> m_noise;
    double m_noiseStartMs = 0;
    std::uint64_t m_noiseEnd = 0; // stream position of its last byte
    double m_noiseEndMs = 0;
    bool m_clean = true; // the next byte may begin a frame after quiet
    Role m_role = Role::Unknown;
};
