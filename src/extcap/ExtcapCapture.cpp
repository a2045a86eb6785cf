#include "extcap/ExtcapCapture.h"

#include "core/serial/SerialPort.h"
#include "core/text/CoreText.h"
#include "extcap/ExtcapOptions.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kLookMs = 100;

std::int64_t SteadyUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

ExtcapCapture::ExtcapCapture(const ExtcapOptions& options)
    : m_options(options), m_publisher(m_traffic, *this)
{
}

ExtcapCapture::~ExtcapCapture()
{
    if (m_pPort)
        m_pPort->Close();
    m_traffic.Remove(m_recorder);
    m_recorder.Stop();
}

bool ExtcapCapture::Open()
{
    const std::string device = m_options.Device();
    m_pPort = std::make_unique<SerialPort>(static_cast<PortMessageSink*>(this));
    m_pPort->m_dwBaudRate = m_options.m_baudRate;
    m_pPort->m_nDataBits = m_options.m_dataBits;
    m_pPort->m_nParity = m_options.m_parity;
    m_pPort->m_nStopBits = m_options.m_stopBits;
    m_pPort->m_dwPackInterval = m_options.m_packInterval;
    // The port opens first: Wireshark learns why it cannot before it waits on the fifo. The
    // device is tried here so that the reason names it, not a COM number.
    if (const int probe = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        probe < 0) {
        std::lock_guard lock(m_mutex);
        m_error = CoreText::Args(VRL_TR("ExtcapCapture", "无法打开 %1：%2"),
                                 {device, std::strerror(errno)});
        return false;
    } else {
        ::close(probe);
    }
    if (!m_pPort->Open(&m_publisher, 0, device, true, false)) {
        std::lock_guard lock(m_mutex);
        if (m_error.empty())
            m_error = CoreText::Args(VRL_TR("ExtcapCapture", "无法打开 %1"), {device});
        return false;
    }
    const int fifo = ::open(m_options.m_fifo.c_str(), O_WRONLY | O_CLOEXEC);
    if (fifo < 0) {
        std::lock_guard lock(m_mutex);
        m_error = CoreText::Args(VRL_TR("ExtcapCapture", "无法写入 %1：%2"),
                                 {m_options.m_fifo, std::strerror(errno)});
        return false;
    }
    m_recorder.SetInterface(0,
                            m_options.m_interface.empty() ? ExtcapOptions::InterfaceOf(device)
                                                          : m_options.m_interface,
                            device);
    m_recorder.Start(fifo, true);
    m_traffic.Add(m_recorder, PortTraffic::Runs::OnWorker);
    m_pPort->StartThread();
    return true;
}

bool ExtcapCapture::Run(int signalFd)
{
    while (!m_stopped.load() && !m_recorder.Failed()) {
        pollfd fd{signalFd, POLLIN, 0};
        if (::poll(&fd, signalFd >= 0 ? 1 : 0, kLookMs) > 0)
            break; // Wireshark ends a capture with SIGTERM
    }
    m_pPort->Close();
    m_traffic.Remove(m_recorder);
    const bool written = m_recorder.Stop();
    std::lock_guard lock(m_mutex);
    // A reader that went away (Wireshark closed the fifo) ends the capture, no failure.
    if (!written && m_error.empty() && m_recorder.Error() != std::strerror(EPIPE))
        m_error = CoreText::Args(VRL_TR("ExtcapCapture", "写入 %1 失败：%2"),
                                 {m_options.m_fifo, m_recorder.Error()});
    return m_error.empty();
}

std::string ExtcapCapture::Error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void ExtcapCapture::OnPortData(unsigned, std::vector<std::uint8_t>)
{
    // The publisher has handed the message to the recorder already.
}

void ExtcapCapture::OnPortStopped(unsigned, std::string reason)
{
    std::lock_guard lock(m_mutex);
    m_error =
        CoreText::Args(VRL_TR("ExtcapCapture", "%1 已断开：%2"), {m_options.Device(), reason});
    m_stopped = true;
}

void ExtcapCapture::OnModemLines(unsigned uiPortNo, bool available, unsigned lines)
{
    if (available)
        m_recorder.NoteEvent(uiPortNo, PcapngWriter::Event::LinesChanged, SteadyUs(),
                             lines | m_pPort->OutputLines());
}

void ExtcapCapture::ShowMessage(const std::string& utf8)
{
    std::lock_guard lock(m_mutex);
    if (m_error.empty())
        m_error = utf8;
}

void ExtcapCapture::ShowHint(const std::string& utf8)
{
    std::lock_guard lock(m_mutex);
    if (!utf8.empty())
        m_error += (m_error.empty() ? "" : " ") + utf8;
}
