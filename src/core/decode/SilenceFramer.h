#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// The bytes of one port and one direction that a decoder has not yet cut into frames, with
// where each message ended and when each byte was on the line. A message is what one read
// returned: a USB adapter cuts a long frame into pieces, and packing may put two frames into
// one message, so frames are cut by what the bytes say and by silence.
//
// The line was quiet before a message when the gap exceeds the quiet rule: a number of
// characters (a protocol's own, 3.5 for MODBUS RTU) or the packing interval, whichever is
// longer. A decoder asks QuietBefore before it appends a message and QuietBy on its ticks;
// when either says yes, what waits is closed and the decoder cuts it for good.
//
// Times are milliseconds of the caller's monotonic clock.
class SilenceFramer
{
public:
    // quietChars: the characters of silence that end a frame; longestFrame: the most bytes a
    // frame of the protocol has.
    SilenceFramer(double quietChars, std::size_t longestFrame);

    // charMs: one character on the line; packMs: the port's packing interval; sent: the
    // stream is what the program writes, whose messages come when written instead of a
    // packing interval after their last byte.
    void SetLine(double charMs, std::int64_t packMs, bool sent);

    // Whether the line was quiet long enough before a message of count bytes handed over at
    // nowMs (asked before Append).
    bool QuietBefore(std::size_t count, std::int64_t nowMs) const;
    void Append(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs);
    // Whether the line has been quiet long enough by nowMs to end what waits.
    bool QuietBy(std::int64_t nowMs) const;

    // The bytes not yet cut; the first is at stream position Base().
    const std::vector<std::uint8_t>& Bytes() const { return m_buffer; }
    std::uint64_t Base() const { return m_base; }
    // Drops the first count bytes: they are cut.
    void Consume(std::size_t count);
    // Whether a message ended at this stream position.
    bool IsBoundary(std::uint64_t position) const;
    // When the byte at this stream position was on the line (an estimate).
    double TimeOf(std::uint64_t position) const;
    std::int64_t SilenceMs() const;

    // The messages whose bytes are not all cut, oldest first.
    struct Piece
    {
        std::uint64_t m_end; // stream position after its last byte
        double m_lastByteMs;
    };
    const std::deque<Piece>& Pieces() const { return m_pieces; }

private:
    double FirstByteMs(std::size_t count, std::int64_t nowMs) const;
    double LastByteMs(std::size_t count, std::int64_t nowMs) const;
    std::int64_t PollLimit() const;

    double m_quietChars;
    double m_longestFrame;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_base = 0;
    std::deque<Piece> m_pieces;
    std::int64_t m_quietFrom = 0; // since when the line is known to be quiet
    double m_charMs = 1.0;
    std::int64_t m_packMs = 20;
    bool m_sent = false;
    std::size_t m_lastCount = 0; // bytes of the last message
};
