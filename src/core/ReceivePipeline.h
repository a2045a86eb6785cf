#pragma once

#include "MonitorLine.h"
#include "ReceiveInbox.h"

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
// forwarding step, then the trigger step. The steps are slots; an empty slot is skipped.
class ReceivePipeline
{
public:
    using CurrentPortSource = std::function<int()>;

    // options and sink outlive the pipeline; currentPort tells the frame's current port.
    ReceivePipeline(const FrameOptions& options, MonitorSink& sink, CurrentPortSource currentPort);

    void SetFilter(const ReceiveFilter* filter) { m_pFilter = filter; }
    void SetForwarding(ForwardStep* forward) { m_pForward = forward; }
    void SetTrigger(TriggerStep* trigger) { m_pTrigger = trigger; }

    // 0: lines of every port are shown; 1: only those of the current port.
    void SetDisplayScope(int scope) { m_displayScope = scope; }
    int DisplayScope() const { return m_displayScope; }

    // Clocks of the time stamps (tests inject their own).
    void SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time,
                   MonitorLineBuilder::TimeSource clock = LocalClockText);

    // One received message.
    void OnReceiveData(unsigned port, const std::uint8_t* bytes, std::size_t count);

    // Writes a monitor line unless paused, a sent line while sent lines are hidden, or a
    // line of another port while the scope is the current port. direction: 1 received,
    // 0 sent. A dropped line is gone.
    void AppendMonitorLine(const std::string& text, unsigned port, int direction);
    bool IsShown(unsigned port, int direction) const;

    bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const;

    // Handles the messages waiting in inbox, oldest first, in one edit of the monitor, until
    // turnOver() says the turn has lasted long enough (asked before each message). True when
    // messages are left for another turn, in the pipeline or in the inbox: the caller then
    // schedules one, whatever wake-ups it has had.
    bool ProcessTurn(ReceiveInbox& inbox, const std::function<bool()>& turnOver);
    bool HasPending() const { return !m_pending.empty(); }

private:
    const FrameOptions& m_options;
    MonitorSink& m_sink;
    CurrentPortSource m_currentPort;
    const ReceiveFilter* m_pFilter = nullptr;
    ForwardStep* m_pForward = nullptr;
    TriggerStep* m_pTrigger = nullptr;
    int m_displayScope = 0;
    MonitorLineBuilder m_lineBuilder;
    std::vector<MonitorPiece> m_pieces;           // reused for every line
    std::deque<ReceiveInbox::Message> m_pending;  // taken from the inbox, not yet handled
};
