#include "capture/CapturePcapng.h"

#include "core/text/CoreText.h"

#include "core/base/PortName.h"
#include "core/decode/LineTiming.h"
#include "core/serial/PortSettings.h"
#include "core/traffic/PortTraffic.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::int64_t SteadyUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CapturePcapng::CapturePcapng(std::string path, bool rotated)
    : m_path(std::move(path)), m_rotated(rotated && m_path != "-")
{
}

CapturePcapng::~CapturePcapng()
{
    End();
}

void CapturePcapng::SetPort(unsigned port, const std::string& device, const PortSettings& settings,
                            bool modbus, unsigned outputLines)
{
    m_recorder.SetInterface(port, PortName(port), device);
    m_recorder.SetModbus(port, modbus ? CharMilliseconds(settings) * 1000.0 : 0.0);
    m_outputs[port] = outputLines;
    m_recorder.NoteEvent(port, PcapngWriter::Event::LinesChanged, SteadyUs(), outputLines);
}

int CapturePcapng::OpenNext()
{
    std::string path = m_path;
    int fd = -1;
    if (m_rotated) {
        // "trace.pcapng" -> "trace 20240103 090412.pcapng"; a name without an extension gets
        // one. Never over a file of an earlier rotation.
        const std::size_t slash = m_path.find_last_of('/');
        const std::size_t dot = m_path.find_last_of('.');
        const bool dotted = dot != std::string::npos && (slash == std::string::npos || dot > slash);
        const std::string stem = dotted ? m_path.substr(0, dot) : m_path;
        const std::string extension = dotted ? m_path.substr(dot) : std::string(".pcapng");
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d %H%M%S", &local);
        for (int n = 1; fd < 0; ++n) {
            path =
                stem + " " + stamp + (n > 1 ? "-" + std::to_string(n) : std::string()) + extension;
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0 && errno != EEXIST)
                break;
        }
    } else {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    if (fd < 0)
        m_error = CoreText::Args(VRL_TR("CapturePcapng", "无法写入文件“%1”：%2"),
                                 {path, std::strerror(errno)});
    return fd;
}

bool CapturePcapng::Begin(PortTraffic& traffic)
{
    int fd = STDOUT_FILENO;
    if (m_path != "-" && (fd = OpenNext()) < 0)
        return false;
    m_recorder.Start(fd, m_path != "-");
    m_pTraffic = &traffic;
    traffic.Add(m_recorder, PortTraffic::Runs::OnWorker);
    return true;
}

bool CapturePcapng::Rotate()
{
    if (!m_rotated || !m_pTraffic)
        return true;
    const int fd = OpenNext();
    if (fd < 0)
        return false;
    m_recorder.SwitchTo(fd, true);
    return true;
}

void CapturePcapng::OnModemLines(unsigned port, unsigned lines)
{
    const auto it = m_outputs.find(port);
    m_recorder.NoteEvent(port, PcapngWriter::Event::LinesChanged, SteadyUs(),
                         lines | (it != m_outputs.end() ? it->second : 0));
}

bool CapturePcapng::End()
{
    if (!m_pTraffic)
        return m_error.empty();
    m_pTraffic->Remove(m_recorder);
    m_pTraffic = nullptr;
    if (!m_recorder.Stop() && m_error.empty())
        m_error = CoreText::Args(VRL_TR("CapturePcapng", "写入 pcapng 文件失败：%1"),
                                 {m_recorder.Error()});
    return m_error.empty();
}
