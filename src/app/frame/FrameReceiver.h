#pragma once

#include "app/monitor/ReceiveTurns.h"
#include "core/receive/PortMessageSink.h"
#include "core/receive/PortReceiver.h"
#include "core/receive/ReceivePipeline.h"
#include "core/receive/TrafficPublisher.h"

#include <cstdint>
#include <string>
#include <vector>

class CLineControl;
class CPortControl;
class CUserNotices;
class CFrameMonitorView;
class FrameOptions;

// The window's receiving end. The ports' workers hand it what they read, which waits in the
// receive turns' inbox for the window thread, and their line events, which the line control
// takes over; what the serial engine has to tell the user goes to the notices; the receive
// pipeline writes its lines into the monitor view through it.
class CFrameReceiver : public PortReceiver, public PortMessageSink, private MonitorSink
{
public:
    // options and notices outlive the receiver; currentPort tells the frame's current port.
    CFrameReceiver(const FrameOptions& options, CUserNotices& notices,
                   ReceivePipeline::CurrentPortSource currentPort);

    // The units it hands over to, once they exist: before this no port is open and no line
    // is written.
    void Connect(CFrameMonitorView& view, CLineControl& lines, CPortControl& ports);

    ReceivePipeline& Pipeline() { return m_pipeline; }
    // What the ports hand their messages to: the traffic's worker listeners, then this.
    PortReceiver* PortEnd() { return &m_publisher; }
    TrafficPublisher& Publisher() { return m_publisher; }
    CReceiveTurns& Turns() { return m_turns; }
    // A grey line of the program's own, without time or port.
    void AppendNoticeLine(const std::string& text);
    // A line of the program's own in colour (a script's log), after the monitor's stamp.
    void AppendOwnLine(const std::string& text, int colour);

    // PortReceiver, on the workers: nothing here waits for the window thread.
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override;
    void OnPortMessage(unsigned uiPortNo, std::vector<std::uint8_t> bytes, std::int64_t readUs,
                       bool mustNotWait) override;
    void OnPortStopped(unsigned uiPortNo, std::string reason) override;
    void OnPortConnected(unsigned uiPortNo, std::string where) override;
    void OnPortNotice(unsigned uiPortNo, std::string text) override;
    void OnModemLines(unsigned uiPortNo, bool available, unsigned lines) override;
    // PortMessageSink, on the window thread.
    void ShowMessage(const std::string& utf8) override;
    void ShowHint(const std::string& utf8) override;

private:
    // MonitorSink, for the pipeline.
    void BeginAppend() override;
    void EndAppend() override;
    void AppendLine(const std::vector<MonitorPiece>& pieces) override;
    void ShowStoppedPort(unsigned port, const std::string& reason) override;

    CUserNotices& m_notices;
    ReceivePipeline m_pipeline;
    TrafficPublisher m_publisher;
    CReceiveTurns m_turns;
    CFrameMonitorView* m_pView = nullptr;
    CLineControl* m_pLines = nullptr;
    CPortControl* m_pPorts = nullptr;
};
