#include "capture/CaptureReplay.h"

#include "capture/CaptureOptions.h"
#include "capture/CaptureSession.h"
#include "core/base/PortName.h"
#include "core/capture/PcapngReader.h"
#include "core/capture/PcapngReplay.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"
#include "core/text/CoreText.h"

#include <atomic>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kWriteWaitMs = 5000; // a port that takes nothing for this long has failed

} // namespace

CaptureReplay::CaptureReplay(const CaptureOptions& options, SettingsStore& store)
    : m_options(options), m_store(store)
{
}

void CaptureReplay::ShowMessage(const std::string& utf8)
{
    std::fprintf(stderr, "vrl-capture: %s\n", utf8.c_str());
}

void CaptureReplay::ShowHint(const std::string& utf8)
{
    if (!utf8.empty())
        std::fprintf(stderr, "vrl-capture: %s\n", utf8.c_str());
}

int CaptureReplay::Run(int signalFd)
{
    PcapngReader reader;
    PcapngReplay replay;
    const CaptureOptions::Port& wanted = m_options.m_ports.front();
    if (!reader.Read(m_options.m_replay) || !replay.Choose(reader, PortName(wanted.m_port))) {
        ShowMessage(CoreText::Args(
            VRL_TR("CaptureReplay", "无法回放“%1”：%2"),
            {m_options.m_replay, reader.Error().empty() ? replay.Error() : reader.Error()}));
        return CaptureSession::kExitRuntime;
    }

    const std::string device =
        wanted.m_device.empty() ? PortMap(m_store).PathOf(wanted.m_port) : wanted.m_device;
    SerialPort port(this);
    PortSettings settings;
    LoadPortSettings(m_store, wanted.m_port, settings);
    m_options.ApplyLineSettings(settings);
    static_cast<PortSettings&>(port) = settings;
    if (device.empty() || !port.Open(nullptr, wanted.m_port, device, true, false))
        return CaptureSession::kExitRuntime;

    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::thread signals([&] {
        while (!done.load()) {
            pollfd fd{signalFd, POLLIN, 0};
            if (::poll(&fd, signalFd >= 0 ? 1 : 0, 100) > 0) {
                stop = true;
                return;
            }
        }
    });
    std::uint64_t bytes = 0;
    std::size_t packets = 0;
    const bool ended = replay.Play(
        m_options.m_speed,
        [&](const std::uint8_t* data, std::size_t count, std::string& error) {
            for (std::size_t at = 0; at < count;) {
                const std::ptrdiff_t n = port.WriteSome(data + at, count - at);
                if (n < 0) {
                    error = VRL_TR("CaptureReplay", "写入串口失败");
                    return false;
                }
                at += static_cast<std::size_t>(n);
                pollfd fd{port.WriteFd(), POLLOUT, 0};
                if (n == 0 && ::poll(&fd, 1, kWriteWaitMs) <= 0) {
                    error = VRL_TR("CaptureReplay", "串口 5 秒内没有接受数据");
                    return false;
                }
            }
            bytes += count;
            return true;
        },
        [&](std::size_t index, std::int64_t) { packets = index + 1; }, stop);
    done = true;
    signals.join();
    port.Close();
    if (!ended && !stop.load()) {
        ShowMessage(CoreText::Args(VRL_TR("CaptureReplay", "回放中断：%1"), {replay.Error()}));
        return CaptureSession::kExitRuntime;
    }
    std::fprintf(stderr, "vrl-capture: %s\n",
                 CoreText::Args(
                     VRL_TR("CaptureReplay", "已把 %1 收到的 %2 个包（%3 字节）写入 %4"),
                     {replay.SourceName(), std::to_string(packets), std::to_string(bytes), device})
                     .c_str());
    return CaptureSession::kExitOk;
}
