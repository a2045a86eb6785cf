#include "capture/CaptureSession.h"

#include "core/text/CoreText.h"

#include "capture/CaptureFiles.h"
#include "capture/CapturePcapng.h"
#include "capture/CaptureValues.h"
#include "core/base/PortName.h"
#include "core/base/SettingsStore.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/protocols/ProgramDecoders.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"
#include "core/text/TextEncoding.h"
#include "core/text/UiLanguage.h"
#include "core/transfer/TransferText.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

constexpr int kTurnMs = 50;
constexpr int kTickMs = 1000;
constexpr int kDecodePollMs = 50; // what silence brings: frames ended, answers missing
constexpr int kHeldLineMs = 1000; // --lines: a line without its end shows after this silence

void Signal(int fd)
{
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void Drain(int fd)
{
    std::uint64_t value = 0;
    while (::read(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CaptureSession::CaptureSession(const CaptureOptions& options, SettingsStore& store, std::FILE* out,
                               std::FILE* status)
    : m_options(options), m_store(store),
      m_out((options.m_folder.empty() || options.m_stdout) && options.m_pcapng != "-" ? out
                                                                                      : nullptr),
      m_status(options.m_quiet ? nullptr : status),
      m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      m_stopFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_inbox([this] { Signal(m_wakeFd); }),
      m_pipeline(m_frameOptions, *this, [] { return 0; }), m_publisher(m_pipeline.Traffic(), *this)
{
    // The display options the window keeps, then what a log needs whatever the window
    // shows: every line with its port and the clock's time, every byte of a message on its
    // one line.
    m_frameOptions.SetFromCommon(FrameStoredValues::Load(store).m_common);
    CodePage::SetSystemChoice(
        options.m_encoding.value_or(TextEncoding::Decide(store, UiLanguage::Decide(store))));
    if (options.m_ascReceive)
        m_frameOptions.m_ascReceive = *options.m_ascReceive ? 1 : 0;
    m_frameOptions.m_showPort = 1;
    m_frameOptions.m_showTime = 1;
    m_frameOptions.m_clockMs = 1;
    m_frameOptions.m_ascEveryByte = 1;
    if (!options.m_scripts.empty())
        m_frameOptions.m_showSent = 1; // what the scripts send belongs in their log
    m_pipeline.Traffic().Add(*this, PortTraffic::Runs::OnWindow);
    m_decoding =
        WireDecoding(m_decoders, m_pipeline, store, [this](unsigned port, PortSettings& settings) {
            const auto it = m_ports.find(port);
            if (it == m_ports.end())
                return false;
            settings = *it->second.m_port;
            return true;
        });
    if (options.m_modbus) {
        for (const CaptureOptions::Port& port : options.m_ports)
            m_decoders.SetEnabled(ModbusDecoder::kName, port.m_port, true);
    }
    if (!options.m_values.empty()) {
        m_values = std::make_unique<CaptureValues>(options.m_values, options.m_valuesPath);
        m_pipeline.Traffic().Add(*m_values, PortTraffic::Runs::OnWindow);
        m_decoders.AddListener([this](const DecodedRecord& record) { m_values->OnRecord(record); });
        // A register is read from decoded answers: decoding is on for its port.
        for (const PlotSource& source : m_values->Channels())
            if (source.m_kind == PlotSource::Kind::Modbus)
                m_decoders.SetEnabled(ModbusDecoder::kName, source.m_port, true);
    }
    if (!options.m_folder.empty()) {
        m_pFiles = std::make_unique<CaptureFiles>(options.m_folder, options.m_txt, options.m_tnf,
                                                  options.m_rotateMs, options.m_rotateBytes);
    }
    if (!options.m_pcapng.empty())
        m_pPcapng = std::make_unique<CapturePcapng>(
            options.m_pcapng, m_pFiles && (options.m_rotateMs || options.m_rotateBytes));
}

CaptureSession::~CaptureSession()
{
    for (auto& [number, state] : m_ports)
        state.m_port->Close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    if (m_stopFd >= 0)
        ::close(m_stopFd);
}

void CaptureSession::SetClocks(MonitorLineBuilder::TickSource tick,
                               MonitorLineBuilder::TimeSource time,
                               MonitorLineBuilder::TimeSource clock)
{
    m_pipeline.SetClocks(std::move(tick), std::move(time), std::move(clock));
}

bool CaptureSession::Open()
{
    if (m_values && !m_values->Open()) {
        ShowMessage(m_values->Error());
        return false;
    }
    if (m_pPcapng && !m_pPcapng->Begin(m_pipeline.Traffic())) {
        ShowMessage(m_pPcapng->Error());
        return false;
    }
    PortMap map(m_store);
    for (const CaptureOptions::Port& wanted : m_options.m_ports) {
        PortState state;
        state.m_device = wanted.m_device.empty() ? map.PathOf(wanted.m_port) : wanted.m_device;
        if (state.m_device.empty()) {
            ShowMessage(CoreText::Args(
                VRL_TR("CaptureSession", "%1 在端口映射中没有设备；请用 %1=设备路径 指定"),
                {PortName(wanted.m_port)}));
            return false;
        }
        state.m_port = std::make_unique<SerialPort>(static_cast<PortMessageSink*>(this));
        PortSettings settings;
        LoadPortSettings(m_store, wanted.m_port, settings);
        m_options.ApplyLineSettings(settings);
        if (m_options.m_packInterval)
            settings.m_dwPackInterval = *m_options.m_packInterval;
        if (m_options.m_lines) {
            std::lock_guard lock(m_linesMutex);
            m_lines.emplace(wanted.m_port, LineSplitter(SerialPort::kReadSize));
        }
        static_cast<PortSettings&>(*state.m_port) = settings;
        state.m_port->SetOutputLines(LoadModemOutputs(m_store, wanted.m_port));
        if (m_pPcapng)
            m_pPcapng->SetPort(wanted.m_port, state.m_device, settings,
                               m_decoders.IsEnabled(ModbusDecoder::kName, wanted.m_port),
                               state.m_port->OutputLines());
        if (!state.m_port->Open(&m_publisher, wanted.m_port, state.m_device))
            return false;
        m_ports.emplace(wanted.m_port, std::move(state));
    }
    return true;
}

SerialPort* CaptureSession::OpenPort(unsigned port) const
{
    const auto it = m_ports.find(port);
    return it != m_ports.end() && it->second.m_port->IsOpen() ? it->second.m_port.get() : nullptr;
}

void CaptureSession::Wake()
{
    Signal(m_wakeFd);
}

void CaptureSession::WriteNote(const std::string& text, int colour)
{
    AppendLine(
        {MonitorPiece{m_pipeline.NoticeStamp(), kColourGrey}, MonitorPiece{text + '\n', colour}});
}

void CaptureSession::Stop()
{
    Signal(m_stopFd);
}

int CaptureSession::Run(int signalFd)
{
    std::int64_t nextTick = NowMs() + kTickMs;
    std::int64_t nextPoll = NowMs() + kDecodePollMs;
    bool more = false;
    bool stop = false;
    while (!stop && m_failure.empty() && (m_out || m_pFiles || m_pPcapng || m_values)) {
        pollfd fds[3] = {{m_wakeFd, POLLIN, 0}, {m_stopFd, POLLIN, 0}, {signalFd, POLLIN, 0}};
        const std::int64_t until = std::min(nextTick, nextPoll);
        int wait = more ? 0 : static_cast<int>(std::max<std::int64_t>(0, until - NowMs()));
        if (const int soon = m_turnWork ? m_turnWork() : -1; soon >= 0)
            wait = std::min(wait, soon);
        // A stream runs: its messages wake nobody, the inbox is looked at again soon.
        if (const int later = m_inbox.LookAgainMs(); later >= 0)
            wait = std::min(wait, later);
        if (::poll(fds, signalFd >= 0 ? 3 : 2, wait) < 0 && errno != EINTR)
            break;
        if (fds[0].revents & POLLIN)
            Drain(m_wakeFd);
        more = ProcessWaiting();
        WritePortNews();
        if (fds[1].revents & POLLIN)
            stop = true;
        if (signalFd >= 0 && (fds[2].revents & POLLIN)) {
            signalfd_siginfo info{};
            if (::read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                if (info.ssi_signo == SIGHUP) {
                    // logrotate has moved the files: the next line begins new ones.
                    if (m_pFiles && !m_pFiles->Close())
                        m_failure = m_pFiles->Error();
                } else {
                    stop = true;
                }
            }
        }
        if (NowMs() >= nextPoll) {
            nextPoll = NowMs() + kDecodePollMs;
            PushHeldLines(kHeldLineMs);
            m_pipeline.PollDecoding();
        }
        if (NowMs() >= nextTick) {
            nextTick = NowMs() + kTickMs;
            CheckReconnect();
            Flush();
            ShowStatus();
        }
    }
    // What the ports delivered before they were closed is written too.
    for (auto& [number, state] : m_ports)
        state.m_port->Close();
    PushHeldLines(-1);
    while (ProcessWaiting()) {
    }
    m_pipeline.PollDecoding();
    if (m_status && m_statusWidth > 0)
        std::fputc('\n', m_status);
    Flush();
    if (m_pFiles && !m_pFiles->Close() && m_failure.empty())
        m_failure = m_pFiles->Error();
    if (m_pPcapng && !m_pPcapng->End() && m_failure.empty())
        m_failure = m_pPcapng->Error();
    if (m_values && !m_values->Close() && m_failure.empty())
        m_failure = m_values->Error();
    if (!m_failure.empty()) {
        std::fprintf(stderr, "vrl-capture: %s\n", m_failure.c_str());
        return kExitRuntime;
    }
    return kExitOk;
}

void CaptureSession::PlotValue(const std::string& name, double value, std::int64_t timeUs)
{
    if (m_values)
        m_values->OnScriptValue(name, value, timeUs);
}

bool CaptureSession::ProcessWaiting()
{
    const std::int64_t start = NowMs();
    return m_pipeline.ProcessTurn(m_inbox, [start] { return NowMs() - start >= kTurnMs; });
}

void CaptureSession::OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes)
{
    if (m_options.m_lines) {
        std::lock_guard lock(m_linesMutex);
        const auto it = m_lines.find(uiPortNo);
        if (it != m_lines.end()) {
            for (auto& line : it->second.Take(bytes.data(), bytes.size(), NowMs()))
                m_inbox.Push(uiPortNo, std::move(line));
            return;
        }
    }
    m_inbox.Push(uiPortNo, std::move(bytes));
}

void CaptureSession::OnPortStopped(unsigned uiPortNo, std::string reason)
{
    if (m_options.m_lines) {
        // The device's last words come before the news that it went.
        std::lock_guard lock(m_linesMutex);
        const auto it = m_lines.find(uiPortNo);
        if (it != m_lines.end()) {
            if (auto held = it->second.TakeHeld(0, -1); !held.empty())
                m_inbox.Push(uiPortNo, std::move(held));
        }
    }
    m_inbox.PushStopped(uiPortNo, std::move(reason));
}

void CaptureSession::PushHeldLines(std::int64_t quietMs)
{
    std::lock_guard lock(m_linesMutex);
    for (auto& [port, splitter] : m_lines) {
        if (auto held = splitter.TakeHeld(NowMs(), quietMs); !held.empty())
            m_inbox.Push(port, std::move(held));
    }
}

void CaptureSession::OnPortConnected(unsigned uiPortNo, std::string)
{
    Post({uiPortNo, true, {}});
}

void CaptureSession::OnPortNotice(unsigned uiPortNo, std::string text)
{
    Post({uiPortNo, false, std::move(text)});
}

void CaptureSession::OnModemLines(unsigned uiPortNo, bool available, unsigned lines)
{
    if (m_pPcapng && available)
        m_pPcapng->OnModemLines(uiPortNo, lines);
}

void CaptureSession::Post(PortNews news)
{
    {
        std::lock_guard lock(m_newsMutex);
        m_news.push_back(std::move(news));
    }
    Signal(m_wakeFd);
}

void CaptureSession::WritePortNews()
{
    std::vector<PortNews> news;
    {
        std::lock_guard lock(m_newsMutex);
        news.swap(m_news);
    }
    for (const PortNews& n : news) {
        if (!n.m_connected)
            Notice(PortName(n.m_port) + " " + n.m_text);
        else if (m_redialing.erase(n.m_port)) // news only for a port that was calling again
            Notice(CoreText::Args(VRL_TR("CaptureSession", "%1 已重新打开"), {PortName(n.m_port)}));
    }
}

void CaptureSession::ShowMessage(const std::string& utf8)
{
    std::fprintf(stderr, "vrl-capture: %s\n", utf8.c_str());
}

void CaptureSession::ShowHint(const std::string& utf8)
{
    if (!utf8.empty())
        std::fprintf(stderr, "vrl-capture: %s\n", utf8.c_str());
}

void CaptureSession::AppendLine(const std::vector<MonitorPiece>& pieces)
{
    if (m_out) {
        for (const MonitorPiece& piece : pieces)
            std::fwrite(piece.m_text.data(), 1, piece.m_text.size(), m_out);
    }
    if (m_pFiles && m_failure.empty() && !m_pFiles->WriteLine(pieces))
        m_failure = m_pFiles->Error();
    if (m_pPcapng && m_pFiles && m_pFiles->CurrentName() != m_pcapngFollows) {
        // The text files began anew (a rotation, a SIGHUP): the pcapng file too, but not for
        // the first text file, which begins with the capture.
        if (!m_pcapngFollows.empty() && !m_pPcapng->Rotate() && m_failure.empty())
            m_failure = m_pPcapng->Error();
        m_pcapngFollows = m_pFiles->CurrentName();
    }
}

void CaptureSession::Notice(const std::string& text)
{
    AppendLine({MonitorPiece{m_pipeline.NoticeStamp(), kColourGrey},
                MonitorPiece{text + '\n', kColourGrey}});
}

void CaptureSession::ShowStoppedPort(unsigned port, const std::string& reason)
{
    auto it = m_ports.find(port);
    if (it == m_ports.end() || !it->second.m_port->IsOpen())
        return;
    SerialPort& serial = *it->second.m_port;
    if (serial.IsRemote()) {
        // Also a server not reached at the start: an unattended capture waits for it.
        if (serial.Redial(&m_publisher)) {
            m_redialing.insert(port);
            Notice(CoreText::Args(VRL_TR("CaptureSession", "%1 %2，等待重新连接"),
                                  {PortName(port), reason}));
            return;
        }
    }
    Notice(CoreText::Args(VRL_TR("CaptureSession", "%1 设备已断开（%2），等待重新连接"),
                          {PortName(port), reason}));
    // The worker has ended (its notice was its last act), so the close does not wait.
    const std::uint64_t node = serial.DeviceNode();
    serial.Close();
    m_reconnect.Lost(port, it->second.m_device, node);
}

void CaptureSession::CheckReconnect()
{
    for (unsigned port : m_reconnect.Check()) {
        SerialPort& serial = *m_ports.at(port).m_port;
        // A device on its way back may not open yet: tried again at the next look, quietly.
        serial.SetMessageSink(nullptr);
        const bool opened = serial.Open(&m_publisher, port, m_ports.at(port).m_device);
        serial.SetMessageSink(static_cast<PortMessageSink*>(this));
        if (!opened) {
            serial.Close();
            continue;
        }
        m_reconnect.Forget(port);
        Notice(CoreText::Args(VRL_TR("CaptureSession", "%1 已重新打开"), {PortName(port)}));
    }
}

void CaptureSession::OnTraffic(const TrafficMessage& message)
{
    if (message.m_direction != 1)
        return;
    auto it = m_ports.find(message.m_port);
    if (it == m_ports.end())
        return;
    it->second.m_bytes += message.m_count;
    ++it->second.m_messages;
}

bool CaptureSession::Flush()
{
    // A reader that went away (| head) ends the output there; files go on.
    if (m_out && std::fflush(m_out) != 0 && errno == EPIPE)
        m_out = nullptr;
    if (m_pFiles && m_failure.empty() && !m_pFiles->Flush())
        m_failure = m_pFiles->Error();
    if (m_values && m_failure.empty() && !m_values->Flush())
        m_failure = m_values->Error();
    return m_failure.empty();
}

void CaptureSession::ShowStatus()
{
    if (!m_status)
        return;
    std::string line;
    for (const auto& [number, state] : m_ports) {
        if (!line.empty())
            line += "  ";
        line += PortName(number)
                + (m_reconnect.IsWaiting(number) ? VRL_TR("CaptureSession", " (等待设备) ")
                                                 : std::string(" "))
                + CoreText::Args(
                    VRL_TR("CaptureSession", "%1 %2 条"),
                    {TransferText::Amount(state.m_bytes), std::to_string(state.m_messages)});
    }
    if (m_pFiles && !m_pFiles->CurrentName().empty())
        line += CoreText::Args(VRL_TR("CaptureSession", "  文件 %1"), {m_pFiles->CurrentName()});
    std::fprintf(m_status, "\r%s\033[K", line.c_str());
    std::fflush(m_status);
    m_statusWidth = line.size();
}
