#pragma once

#include "core/receive/MonitorLine.h"
#include "core/receive/ReceiveInbox.h"
#include "core/traffic/PortTraffic.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class FrameOptions;

// The filter of received messages: whether a message may be shown. Consulted only in
// hexadecimal receive; ASC receive shows every message.
class ReceiveFilter
{
public:
    virtual ~ReceiveFilter() = default;
    virtual bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const = 0;
};

// A line that protocol decoding adds to the monitor: UTF-8 text without indent and line
// end, its colour index, and the port and direction whose display rules it follows.
struct DecodedLine
{
    std::string m_text;
    int m_colour = kColourGreen;
    unsigned m_port = 0;
    int m_direction = 1;
    bool m_ofMessage = true; // goes under the message just handled (else it is news of time)
};

// Protocol decoding: every message of a port it decodes, received or sent by the program
// (not the copies forwarding writes: their bytes were decoded where they came in), after
// the message's monitor line. Times are steady milliseconds.
class DecodeStep
{
public:
    virtual ~DecodeStep() = default;
    virtual bool IsDecoding(unsigned port) const = 0;
    // partner: the other port of the forwarding pair, or -1.
    virtual void Decode(unsigned port, int direction, int partner, const std::uint8_t* bytes,
                        std::size_t count, std::int64_t nowMs, std::vector<DecodedLine>& lines) = 0;
    // What time brings: frames ended by silence, answers that did not come.
    virtual void PollDecoding(std::int64_t nowMs, std::vector<DecodedLine>& lines) = 0;
};

// Where the pipeline writes: the monitor view (and the status of stopped ports).
class MonitorSink
{
public:
    virtual ~MonitorSink() = default;
    // Appends between BeginAppend and EndAppend form one edit of the monitor.
    virtual void BeginAppend() = 0;
    virtual void EndAppend() = 0;
    // One monitor line, piece by piece with colour indexes.
    virtual void AppendLine(const std::vector<MonitorPiece>& pieces) = 0;
    // A port's worker ended by itself; reason is for the user.
    virtual void ShowStoppedPort(unsigned port, const std::string& reason) = 0;
};

// What the window thread does with every received message, and the one way a monitor line
// is written. In order: the message text (characters in ASC receive; else hexadecimal once
// the filter has accepted the bytes), the monitor line unless a drop rule says no, then the
// window listeners of the traffic (Traffic()), by rank: the decoders' lines under the
// message, the tap's copy as a sent line of the partner, the triggered answer, and whoever
// else listens. The traffic's worker listeners are fed by the ports' workers (through a
// TrafficPublisher), not here.
class ReceivePipeline
{
public:
    using CurrentPortSource = std::function<int()>;

    // options and sink outlive the pipeline; currentPort tells the frame's current port.
    ReceivePipeline(const FrameOptions& options, MonitorSink& sink, CurrentPortSource currentPort);

    void SetFilter(const ReceiveFilter* filter) { m_pFilter = filter; }
    // The listeners of every port's traffic: on the window thread they are called from here.
    PortTraffic& Traffic() { return m_traffic; }
    // The steady clock (ms) of messages that come without a time and of what time brings
    // (tests inject).
    void SetDecodeClock(std::function<std::int64_t()> clock) { m_decodeClock = std::move(clock); }

    // 0: lines of every port are shown; 1: only those of the current port.
    void SetDisplayScope(int scope) { m_displayScope = scope; }
    int DisplayScope() const { return m_displayScope; }

    // Clocks of the time stamps (tests inject their own).
    void SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time,
                   MonitorLineBuilder::TimeSource clock = LocalClockText);

    // The received messages of port go to take alone, not to the monitor nor the listeners
    // (a file transfer runs over it), until EndDiversion. One port at a time.
    using Diversion = std::function<void(const std::uint8_t* bytes, std::size_t count)>;
    void Divert(unsigned port, Diversion take);
    void EndDiversion() { m_diversion = nullptr; }

    // One received message; receivedUs: steady microseconds of its first byte (-1: now).
    void OnReceiveData(unsigned port, const std::uint8_t* bytes, std::size_t count,
                       std::int64_t receivedUs = -1);
    // A message the program writes to port, after its monitor line: to the window listeners
    // (decoded when that port is). text: the monitor line's text, or null. Returns the
    // message as they saw it (its bytes and text are the caller's).
    TrafficMessage OnSentData(unsigned port, const std::uint8_t* bytes, std::size_t count,
                              const std::string* text = nullptr);
    // What time brings to the window listeners (frames ended by silence, answers that did
    // not come); its owner's timer calls this.
    void PollDecoding();
    // Lines of a decoder under the message just handled (messageShown: that message's line
    // passed the filter) or, for news of time, on their own; each follows the display rules
    // of its port and direction.
    void WriteDecoded(const std::vector<DecodedLine>& lines, bool messageShown);

    // Writes a monitor line unless paused, a sent line while sent lines are hidden, or a
    // line of another port while the scope is the current port. direction: 1 received,
    // 0 sent. A dropped line is gone.
    void AppendMonitorLine(const std::string& text, unsigned port, int direction);
    bool IsShown(unsigned port, int direction) const;
    // The lines that pause alone kept off the monitor since the last call (those another
    // rule drops too are not counted); the count starts again from 0.
    std::uint64_t TakePausedCount() { return std::exchange(m_pausedCount, 0); }
    // The time stamp that a line of the program's own (a port lost or reopened) begins with:
    // the monitor's while time is shown, else empty.
    std::string NoticeStamp();

    bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const;

    // Handles the messages waiting in inbox, oldest first, in one edit of the monitor, until
    // turnOver() says the turn has lasted long enough (asked before each message). True when
    // messages are left for another turn, in the pipeline or in the inbox: the caller then
    // schedules one, whatever wake-ups it has had.
    bool ProcessTurn(ReceiveInbox& inbox, const std::function<bool()>& turnOver);
    bool HasPending() const { return !m_pending.empty(); }

private:
    bool PassesDisplayRules(unsigned port, int direction) const;

    const FrameOptions& m_options;
    MonitorSink& m_sink;
    CurrentPortSource m_currentPort;
    const ReceiveFilter* m_pFilter = nullptr;
    PortTraffic m_traffic;
    std::function<std::int64_t()> m_decodeClock = SteadyMilliseconds;
    int m_displayScope = 0;
    MonitorLineBuilder m_lineBuilder;
    std::vector<MonitorPiece> m_pieces;          // reused for every line
    std::deque<ReceiveInbox::Message> m_pending; // taken from the inbox, not yet handled
    std::uint64_t m_pausedCount = 0;
    unsigned m_divertedPort = 0;
    Diversion m_diversion;
};
