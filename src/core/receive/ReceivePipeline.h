#pragma once

#include "core/receive/MonitorLine.h"
#include "core/receive/ReceiveInbox.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
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

// Forwarding: every received message goes here after the display, whatever the display,
// pause, filter or ASC mode did with it.
class ForwardStep
{
public:
    virtual ~ForwardStep() = default;
    virtual void ForwardReceived(unsigned port, const std::uint8_t* bytes, std::size_t count) = 0;
    // The other port of the pair that port is in, or -1.
    virtual int PartnerOf(unsigned) const { return -1; }
};

// Triggered answers: while trigger mode is on, every received message's text (empty when
// the filter rejected the message) goes here after forwarding.
class TriggerStep
{
public:
    virtual ~TriggerStep() = default;
    virtual bool IsTriggerMode() const = 0;
    virtual void LookUpTrigger(unsigned port, const std::string& text) = 0;
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
// decoding step's lines under it, then the forwarding step, then the trigger step. The steps
// are slots; an empty slot is skipped.
class ReceivePipeline
{
public:
    using CurrentPortSource = std::function<int()>;

    // options and sink outlive the pipeline; currentPort tells the frame's current port.
    ReceivePipeline(const FrameOptions& options, MonitorSink& sink, CurrentPortSource currentPort);

    void SetFilter(const ReceiveFilter* filter) { m_pFilter = filter; }
    void SetForwarding(ForwardStep* forward) { m_pForward = forward; }
    void SetTrigger(TriggerStep* trigger) { m_pTrigger = trigger; }
    void SetDecoding(DecodeStep* decode) { m_pDecode = decode; }
    // The steady clock of decoding, for messages that come without a time (tests inject).
    void SetDecodeClock(std::function<std::int64_t()> clock) { m_decodeClock = std::move(clock); }

    // 0: lines of every port are shown; 1: only those of the current port.
    void SetDisplayScope(int scope) { m_displayScope = scope; }
    int DisplayScope() const { return m_displayScope; }

    // Clocks of the time stamps (tests inject their own).
    void SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time,
                   MonitorLineBuilder::TimeSource clock = LocalClockText);

    // One received message; receivedMs: when its worker handed it over (-1: now).
    void OnReceiveData(unsigned port, const std::uint8_t* bytes, std::size_t count,
                       std::int64_t receivedMs = -1);
    // A message the program wrote to port, after its monitor line: decoded when that port is.
    void OnSentData(unsigned port, const std::uint8_t* bytes, std::size_t count);
    // The decoding step's lines that time brings (its owner's timer calls this).
    void PollDecoding();

    // Writes a monitor line unless paused, a sent line while sent lines are hidden, or a
    // line of another port while the scope is the current port. direction: 1 received,
    // 0 sent. A dropped line is gone.
    void AppendMonitorLine(const std::string& text, unsigned port, int direction);
    bool IsShown(unsigned port, int direction) const;

    bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const;

    // While a received message goes through the steps: its text (ReceivedMessageText in the
    // receive mode in force) when the pipeline made it, else null. The forwarding step shows
    // the same text as the target's sent line and need not make it a second time.
    const std::string* ReceivedText() const { return m_pReceivedText; }

    // Handles the messages waiting in inbox, oldest first, in one edit of the monitor, until
    // turnOver() says the turn has lasted long enough (asked before each message). True when
    // messages are left for another turn, in the pipeline or in the inbox: the caller then
    // schedules one, whatever wake-ups it has had.
    bool ProcessTurn(ReceiveInbox& inbox, const std::function<bool()>& turnOver);
    bool HasPending() const { return !m_pending.empty(); }

private:
    void Decode(unsigned port, int direction, const std::uint8_t* bytes, std::size_t count,
                std::int64_t nowMs, bool messageShown);
    void WriteDecoded(bool messageShown);

    const FrameOptions& m_options;
    MonitorSink& m_sink;
    CurrentPortSource m_currentPort;
    const ReceiveFilter* m_pFilter = nullptr;
    ForwardStep* m_pForward = nullptr;
    TriggerStep* m_pTrigger = nullptr;
    DecodeStep* m_pDecode = nullptr;
    std::function<std::int64_t()> m_decodeClock = SteadyMilliseconds;
    std::vector<DecodedLine> m_decoded; // reused for every message
    int m_displayScope = 0;
    MonitorLineBuilder m_lineBuilder;
    std::vector<MonitorPiece> m_pieces;           // reused for every line
    std::deque<ReceiveInbox::Message> m_pending;  // taken from the inbox, not yet handled
    const std::string* m_pReceivedText = nullptr; // see ReceivedText()
};
