#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Colour indexes of the monitor view's six character formats.
enum MonitorColour : int
{
    kColourDefault = 0, // black: the insertion point after every append
    kColourPortNo = 1,  // red: the port number
    kColourGreen = 2,
    kColourReceived = 3, // blue: received message text
    kColourSent = 4,     // red: sent message text
    kColourGrey = 5,     // time stamp, "COM", the direction arrow
    kColourScript = 6,   // purple: what a script logs
};

constexpr int kMonitorColourCount = 7;

// The colour of an index as 0xRRGGBB, as the monitor shows and saves it; an index out of
// range gives black.
std::uint32_t MonitorColourRgb(int colour);

// One piece of a monitor line: UTF-8 text and its colour index.
struct MonitorPiece
{
    std::string m_text;
    int m_colour = kColourDefault;
};

// Milliseconds of a steady clock as an unsigned 32-bit count that wraps (GetTickCount).
std::uint32_t GetTickCount();
// Milliseconds of the same steady clock, without wrapping.
std::int64_t SteadyMilliseconds();
// Microseconds of the same steady clock.
std::int64_t SteadyMicroseconds();

// The local time of day as HH:MM:SS (24-hour).
std::string LocalTimeText();
// The local time of day with its milliseconds, HH:MM:SS.mmm, read at one instant.
std::string LocalClockText();

// The millisecond field of a time stamp: one blank, then elapsed modulo 1000 right-aligned
// in three characters padded with blanks; 0 gives four blanks (what " %03.0d" prints).
std::string MillisecondField(std::uint32_t elapsed);

// The text of a received message, UTF-8: in ASC mode the bytes as GBK characters up to the
// first zero byte (every byte, escaped as EscapedMessageText does, when everyByte is set),
// else hexadecimal message text.
std::string ReceivedMessageText(const std::uint8_t* bytes, std::size_t count, bool asc,
                                bool everyByte = false);

// Every byte of a message as characters of the system code page, UTF-8, with nothing hidden:
// control bytes as escapes (\0, \t, \n, \r, others \xHH), a backslash as \\, and a byte
// that begins no character of the code page as \xHH. Nothing ends the text early and no
// line break is left in it.
std::string EscapedMessageText(const std::uint8_t* bytes, std::size_t count);

// Builds the pieces of monitor lines: time stamp, port label, direction arrow and text.
// The clocks are injectable so that the millisecond field can be tested.
class MonitorLineBuilder
{
public:
    using TickSource = std::function<std::uint32_t()>;
    using TimeSource = std::function<std::string()>;

    // clock: the time with milliseconds, for the clock form of the stamp.
    explicit MonitorLineBuilder(TickSource tick = GetTickCount, TimeSource time = LocalTimeText,
                                TimeSource clock = LocalClockText);

    // The stamp as the clock reads, "[HH:MM:SS.mmm] ", instead of the time with the
    // milliseconds since the previous stamp. The previous stamp is still counted from.
    void SetClockMilliseconds(bool clock) { m_bClockMs = clock; }

    // Appends the pieces of one line to pieces. direction: 1 received, 0 sent. A time
    // stamp counts from the previous time stamp (or from construction) and restarts it.
    void Build(std::string_view text, unsigned port, int direction, bool showTime, bool showPort,
               std::vector<MonitorPiece>& pieces);
    // The time stamp alone, "[HH:MM:SS  ms] " or "[HH:MM:SS.mmm] ", counted as Build counts
    // (a line of the program's own between two messages).
    std::string Stamp();

    std::uint32_t LastStampTick() const { return m_lastStampTick; }

private:
    TickSource m_tick;
    TimeSource m_time;
    TimeSource m_clock;
    std::uint32_t m_lastStampTick;
    bool m_bClockMs = false;
};
