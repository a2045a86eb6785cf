#pragma once

#include "capture/CaptureOptions.h"
#include "capture/LineSplitter.h"
#include "core/decode/DecoderSet.h"
#include "core/receive/DecodeListener.h"
#include "core/receive/PortMessageSink.h"
#include "core/receive/PortReceiver.h"
#include "core/receive/ReceiveInbox.h"
#include "core/receive/ReceivePipeline.h"
#include "core/receive/TrafficPublisher.h"
#include "core/serial/PortReconnect.h"
#include "core/settings/FrameOptions.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class CaptureFiles;
class CapturePcapng;
class CaptureValues;
class SerialPort;
class SettingsStore;

// One capture without a window: the ports of the command line, opened with their stored
// settings (or those of the command line), and everything they receive written as the
// monitor shows it, through the same receive pipeline as the window: to standard output
// and/or to files, with the lines of MODBUS RTU decoding where it is on; text in the
// encoding asked for or stored. With --lines a message is a line of the device's text. A
// port that loses its device waits for it and opens again, with a line in the output each
// time; a remote port (ser2net) calls its server again. Everything runs on the calling
// thread but the ports' workers.
class CaptureSession : private PortReceiver,
                       private PortMessageSink,
                       private MonitorSink,
                       private TrafficListener
{
public:
    // Exit codes, as the manual page says.
    static constexpr int kExitOk = 0;
    static constexpr int kExitRuntime = 1;

    // out: where lines go when the options say standard output (null: nowhere); status: the
    // terminal's status line (null: none). The store is only read.
    CaptureSession(const CaptureOptions& options, SettingsStore& store, std::FILE* out,
                   std::FILE* status);
    ~CaptureSession() override;

    // Opens every port; false (with the reason on standard error) when one cannot be opened.
    bool Open();
    // Runs until a terminate signal arrives on signalFd (a signalfd of SIGINT, SIGTERM and
    // SIGHUP; -1: until Stop). SIGHUP begins new files. Returns the exit code.
    int Run(int signalFd);
    // Ends Run from any thread.
    void Stop();

    // The clocks of the time stamps (tests inject their own).
    void SetClocks(MonitorLineBuilder::TickSource tick, MonitorLineBuilder::TimeSource time,
                   MonitorLineBuilder::TimeSource clock);
    void SetDecodeClock(std::function<std::int64_t()> clock)
    {
        m_pipeline.SetDecodeClock(std::move(clock));
    }
    // A script's vrl.plot, for the --value channels script:NAME (on the capture's thread).
    void PlotValue(const std::string& name, double value, std::int64_t timeUs);
    // Handles what waits in the inbox now (Run does this whenever woken).
    bool ProcessWaiting();
    // A reconnect look: reopens ports whose device is back.
    void CheckReconnect();
    // One received message handed over as a port's worker does (tests).
    void Receive(unsigned port, std::vector<std::uint8_t> bytes)
    {
        m_publisher.OnPortData(port, std::move(bytes));
    }

    // --- What the scripts of --script use (CaptureScript) ---
    ReceivePipeline& Pipeline() { return m_pipeline; }
    const DecoderSet& Decoders() const { return m_decoders; }
    // The open port, or null; the capture's thread.
    SerialPort* OpenPort(unsigned port) const;
    // Any thread: Run turns at once.
    void Wake();
    // Called by Run at each of its turns, on its thread: how soon the next turn is wanted
    // (ms), or -1 for when something wakes it.
    void SetTurnWork(std::function<int()> work) { m_turnWork = std::move(work); }
    // A line of the program's own into the capture, in colour.
    void WriteNote(const std::string& text, int colour);

private:
    struct PortState
    {
        std::unique_ptr<SerialPort> m_port;
        std::string m_device;
        std::uint64_t m_bytes = 0;
        std::uint64_t m_messages = 0;
    };

    // PortReceiver, on the workers.
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override;
    void OnPortStopped(unsigned uiPortNo, std::string reason) override;
    void OnPortConnected(unsigned uiPortNo, std::string where) override;
    void OnPortNotice(unsigned uiPortNo, std::string text) override;
    void OnModemLines(unsigned uiPortNo, bool available, unsigned lines) override;
    // PortMessageSink: open and settings errors.
    void ShowMessage(const std::string& utf8) override;
    void ShowHint(const std::string& utf8) override;
    // MonitorSink.
    void BeginAppend() override {}
    void EndAppend() override {}
    void AppendLine(const std::vector<MonitorPiece>& pieces) override;
    void ShowStoppedPort(unsigned port, const std::string& reason) override;
    // TrafficListener, on the capture's thread: counts what each port received.
    void OnTraffic(const TrafficMessage& message) override;

    void Notice(const std::string& text);
    // --lines: the lines held without their end that have waited quietMs (< 0: all) go on.
    void PushHeldLines(std::int64_t quietMs);
    // What remote ports' workers tell (a connection made, a server's notice), handed to the
    // capture's thread and written there.
    struct PortNews
    {
        unsigned m_port = 0;
        bool m_connected = false;
        std::string m_text;
    };
    void Post(PortNews news);
    void WritePortNews();
    bool Flush();
    void ShowStatus();

    const CaptureOptions& m_options;
    SettingsStore& m_store;
    std::FILE* m_out;
    std::FILE* m_status;
    FrameOptions m_frameOptions;
    std::unique_ptr<CaptureFiles> m_pFiles;
    // --pcapng, and the text file it last rotated with.
    std::unique_ptr<CapturePcapng> m_pPcapng;
    std::string m_pcapngFollows;
    std::unique_ptr<CaptureValues> m_values; // --values
    int m_wakeFd = -1;                       // eventfd: messages wait in the inbox
    int m_stopFd = -1;                       // eventfd: Stop
    ReceiveInbox m_inbox;
    ReceivePipeline m_pipeline;
    TrafficPublisher m_publisher; // what the ports' workers hand their messages to
    DecoderSet m_decoders;
    std::unique_ptr<DecodeListener> m_decoding;
    PortReconnect m_reconnect;
    std::map<unsigned, PortState> m_ports;
    std::mutex m_linesMutex; // the workers split, the capture's thread takes what waits
    std::map<unsigned, LineSplitter> m_lines; // --lines: each port's
    std::set<unsigned> m_redialing;           // remote ports whose workers call their servers again
    std::mutex m_newsMutex;
    std::vector<PortNews> m_news;
    std::string m_failure; // the runtime error that ends the capture
    std::size_t m_statusWidth = 0;
    std::function<int()> m_turnWork;
};
