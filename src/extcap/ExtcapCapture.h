#pragma once

#include "core/capture/PcapngRecorder.h"
#include "core/receive/PortMessageSink.h"
#include "core/receive/PortReceiver.h"
#include "core/receive/TrafficPublisher.h"
#include "core/traffic/PortTraffic.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class SerialPort;
struct ExtcapOptions;

// A live capture for Wireshark: one port read by vrl-extcap itself, every message written
// into Wireshark's fifo as pcapng the moment the recorder's thread takes it (within tens of
// milliseconds). Ends on a terminate signal, when Wireshark closes the fifo, or when the
// device goes.
class ExtcapCapture : private PortReceiver, private PortMessageSink
{
public:
    explicit ExtcapCapture(const ExtcapOptions& options);
    ~ExtcapCapture() override;

    // Opens the port and the fifo; false with Error (UTF-8) when either cannot be opened.
    bool Open();
    // Runs until a signal arrives on signalFd (-1: none) or the capture cannot go on;
    // false with Error when it ended on a failure.
    bool Run(int signalFd);
    std::string Error() const;

private:
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override;
    void OnPortStopped(unsigned uiPortNo, std::string reason) override;
    void OnModemLines(unsigned uiPortNo, bool available, unsigned lines) override;
    void ShowMessage(const std::string& utf8) override;
    void ShowHint(const std::string& utf8) override;

    const ExtcapOptions& m_options;
    PortTraffic m_traffic;
    TrafficPublisher m_publisher;
    PcapngRecorder m_recorder;
    std::unique_ptr<SerialPort> m_pPort;
    mutable std::mutex m_mutex;
    std::string m_error;
    std::atomic<bool> m_stopped{false};
};
