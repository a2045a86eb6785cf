#include "core/serial/SerialPort.h"

#include "core/base/PortName.h"
#include "core/receive/PortMessageSink.h"
#include "core/receive/PortReceiver.h"
#include "core/serial/PortTap.h"
#include "core/serial/SerialLine.h"
#include "core/serial/SerialTransport.h"
#include "core/text/CoreText.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

// How often a held worker looks whether it was released.
constexpr int kHeldPollMs = 2;

std::string OpenErrorSuffix(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case EISDIR:
    case ENOTTY: // a file or folder that is no terminal is not a port either
        return VRL_TR("SerialPort", " 为无效端口！");
    case EBUSY:
    case EWOULDBLOCK: return VRL_TR("SerialPort", " 已被其他程序打开！");
    case EACCES:
    case EPERM: return VRL_TR("SerialPort", " 没有访问权限！");
    default: return VRL_TR("SerialPort", " 打开失败！未知错误！");
    }
}

} // namespace

std::string SerialPort::OpenErrorHint(const std::string& name, const std::string& path, int error)
{
    if (path.empty())
        return CoreText::Args(
            VRL_TR("SerialPort", "%1 未指定设备：在“工具→端口映射”中为它选择设备"), {name});
    const std::string where = CoreText::Args(VRL_TR("SerialPort", "%1（%2）"), {name, path});
    switch (error) {
    case EACCES:
    case EPERM:
        return where
               + VRL_TR(
                   "SerialPort",
                   "：没有权限。请加入 dialout 组：sudo usermod -aG dialout $USER，然后重新登录");
    case EBUSY:
    case EWOULDBLOCK:
        return where + VRL_TR("SerialPort", "：设备正被其他程序使用，请先关闭那个程序");
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return where
               + VRL_TR("SerialPort", "：设备不存在，请检查连接或在“工具→端口映射”中重新选择");
    default: return where + VRL_TR("SerialPort", "：") + std::generic_category().message(error);
    }
}

namespace {

// How one read of a message ended.
enum class ReadEnd
{
    Quiet,   // the line was quiet for the packing interval, or 4096 bytes came
    Tick,    // nothing came within tickMs: time to look at the modem lines
    Stop,    // Close asked the worker to stop
    HangUp,  // the device went away (far end closed, adapter unplugged)
    Failure, // the line or the wait failed otherwise
};

// Reads once from fd. >0 bytes read; 0 nothing to read now; -1 the device has gone or failed
// (error set to errno, or 0 for end of file, which a tty reports after a hang-up).
ssize_t ReadSome(int fd, std::uint8_t* into, std::size_t room, int& error)
{
    for (;;) {
        const ssize_t n = read(fd, into, room);
        if (n > 0)
            return n;
        if (n == 0) {
            error = 0;
            return -1;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        error = errno;
        return -1;
    }
}

ReadEnd EndOf(int error)
{
    return (error == 0 || error == EIO || error == ENXIO || error == ENODEV) ? ReadEnd::HangUp
                                                                             : ReadEnd::Failure;
}

// The tap a port reads through (none: m_tap null), and when a message began.
struct TapReader
{
    PortTap* m_tap = nullptr;
    unsigned m_port = 0;
    ModemLines* m_modem = nullptr;
    std::int64_t m_firstNs = 0; // steady clock after the read that began the message

    static std::int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count();
    }
};

// While the other port of the pair has bytes waiting, the source is not read: wait for room
// there (or for stop), write what waits, look at the lines. Quiet when the message's packing
// interval ran out meanwhile, Tick when an idle wait lasted tickMs, else nothing to report.
std::optional<ReadEnd> WaitWhileHeld(TapReader& tap, int holdFd, int linesMs, int stopFd,
                                     std::size_t count, Clock::time_point quietAt, int tickMs,
                                     int& error)
{
    int waitMs = holdFd >= 0 ? 100 : kHeldPollMs;
    if (linesMs > 0)
        waitMs = std::min(waitMs, linesMs);
    if (count > 0) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(quietAt - Clock::now()).count();
        if (left <= 0)
            return ReadEnd::Quiet;
        waitMs = std::min<int>(waitMs, static_cast<int>(left));
    } else if (tickMs > 0)
        waitMs = std::min(waitMs, tickMs);
    pollfd fds[2] = {{stopFd, POLLIN, 0}, {holdFd, POLLOUT, 0}};
    const int ready = poll(fds, holdFd >= 0 ? 2 : 1, waitMs);
    if (ready < 0 && errno != EINTR) {
        error = errno;
        return ReadEnd::Failure;
    }
    if (ready > 0 && fds[0].revents != 0)
        return ReadEnd::Stop;
    tap.m_tap->PumpFrom(tap.m_port);
    if (linesMs > 0)
        tap.m_tap->PollLines(tap.m_port, tap.m_modem);
    if (ready == 0 && count == 0 && tickMs > 0)
        return ReadEnd::Tick;
    return std::nullopt;
}

// Bytes read beyond the end of a full message: they begin the next one. A read may ask for
// more than the message has room for, so that a flood costs one read per read's worth (a
// pseudo-terminal gives 4095 bytes at a time) and not a second one for the last byte.
struct Carry
{
    std::size_t m_bytes = 0; // in the buffer from SerialPort::kReadSize on
    std::int64_t m_readNs = 0;
    Clock::time_point m_at;
};

// Collects one message into buffer (kReadBuffer long): after the first byte, reads on
// until the line has been quiet for packInterval milliseconds (measured from the last byte
// on the monotonic clock) or kReadSize bytes came. packInterval 0: until kReadSize bytes came.
// tickMs > 0: a wait for the first byte ends after that long (Tick). Bytes beyond kReadSize
// are left in carry; the next call begins with them.
ReadEnd ReadMessage(int fd, int stopFd, std::uint32_t packInterval, int tickMs,
                    std::vector<std::uint8_t>& buffer, std::size_t& count, Carry& carry, int& error,
                    SerialTransport* link, TapReader& tap)
{
    // A remote port reads through its transport, which takes the protocol out.
    const auto readSome = [&](std::uint8_t* into, std::size_t room) {
        return link ? link->Read(into, room, error) : ReadSome(fd, into, room, error);
    };
    constexpr std::size_t kMessage = SerialPort::kReadSize;
    count = 0;
    const auto interval = std::chrono::milliseconds(packInterval);
    auto lastByte = Clock::now();
    if (carry.m_bytes > 0) {
        std::memmove(buffer.data(), buffer.data() + kMessage, carry.m_bytes);
        count = carry.m_bytes;
        carry.m_bytes = 0;
        lastByte = carry.m_at;
        tap.m_firstNs = carry.m_readNs;
        // Forwarded when they were read; the tap hears only that a message began.
        if (tap.m_tap)
            tap.m_tap->OnRead(tap.m_port, nullptr, 0, carry.m_readNs, true);
        if (count == kMessage)
            return ReadEnd::Quiet;
    }
    for (;;) {
        const PortTap::ReadWait wait =
            tap.m_tap ? tap.m_tap->BeforeRead(tap.m_port) : PortTap::ReadWait{};
        const int linesMs = wait.m_linesMs;
        if (wait.m_hold) {
            const auto quietAt = packInterval > 0 ? lastByte + interval : Clock::time_point::max();
            if (const auto end = WaitWhileHeld(tap, wait.m_holdFd, linesMs, stopFd, count, quietAt,
                                               tickMs, error))
                return *end;
            continue;
        }
        const bool flush = link && link->HasPending();
        const int cutFd = count > 0 ? wait.m_cutFd : -1;
        pollfd fds[3] = {{stopFd, POLLIN, 0},
                         {fd, static_cast<short>(flush ? POLLIN | POLLOUT : POLLIN), 0},
                         {cutFd, POLLIN, 0}};
        std::int64_t waitNs = -1; // no limit
        if (count > 0 && packInterval > 0) {
            const auto left = lastByte + interval - Clock::now();
            if (left <= Clock::duration::zero())
                return ReadEnd::Quiet;
            waitNs = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        } else if (count == 0 && tickMs > 0)
            waitNs = static_cast<std::int64_t>(tickMs) * 1000000;
        // The lines crossing the tap are looked at every few milliseconds, also while a
        // message is being collected.
        const std::int64_t linesNs = static_cast<std::int64_t>(linesMs) * 1000000;
        const bool linesFirst = linesMs > 0 && (waitNs < 0 || linesNs < waitNs);
        if (linesFirst)
            waitNs = linesNs;
        timespec timeout{};
        timespec* timeoutArg = nullptr;
        if (waitNs >= 0) {
            timeout.tv_sec = static_cast<time_t>(waitNs / 1000000000);
            timeout.tv_nsec = static_cast<long>(waitNs % 1000000000);
            timeoutArg = &timeout;
        }
        const int ready = ppoll(fds, cutFd >= 0 ? 3 : 2, timeoutArg, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return ReadEnd::Failure;
        }
        if (linesMs > 0)
            tap.m_tap->PollLines(tap.m_port, tap.m_modem);
        if (ready == 0 && linesFirst)
            continue;
        if (ready == 0)
            return count == 0 ? ReadEnd::Tick : ReadEnd::Quiet;
        // Stop wins over data that is ready at the same time.
        if (fds[0].revents != 0)
            return ReadEnd::Stop;
        // The other port of the pair began a message: this one ends; what is ready now
        // begins the next.
        if (cutFd >= 0 && fds[2].revents != 0 && tap.m_tap->TakeCut(tap.m_port, tap.m_firstNs))
            return ReadEnd::Quiet;
        const short revents = fds[1].revents;
        if (flush && (revents & POLLOUT))
            link->Flush();
        if (revents & POLLNVAL) {
            error = EBADF;
            return ReadEnd::Failure;
        }
        if (revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = readSome(buffer.data() + count, buffer.size() - count);
            if (n < 0)
                return EndOf(error);
            if (n == 0 && (revents & (POLLHUP | POLLERR))) {
                // Nothing to read yet the line reports a fault: waiting again would spin.
                error = (revents & POLLHUP) ? 0 : EIO;
                return EndOf(error);
            }
            if (n > 0) {
                const std::size_t start = count;
                count += static_cast<std::size_t>(n);
                // Take what has come meanwhile before waiting again: a fast stream costs
                // one wait per message, not one per read.
                bool ended = false;
                while (count < kMessage) {
                    const ssize_t more = readSome(buffer.data() + count, buffer.size() - count);
                    if (more < 0) {
                        ended = true;
                        break;
                    }
                    if (more == 0)
                        break;
                    count += static_cast<std::size_t>(more);
                }
                lastByte = Clock::now();
                const std::int64_t readNs = TapReader::Now();
                if (start == 0)
                    tap.m_firstNs = readNs;
                // Forwarded now, whatever the packing: it only decides what is shown.
                if (tap.m_tap)
                    tap.m_tap->OnRead(tap.m_port, buffer.data() + start, count - start, readNs,
                                      start == 0);
                if (count > kMessage) {
                    carry.m_bytes = count - kMessage;
                    carry.m_readNs = readNs;
                    carry.m_at = lastByte;
                    count = kMessage;
                }
                if (ended)
                    return EndOf(error);
                if (count == kMessage)
                    return ReadEnd::Quiet;
            }
        }
    }
}

std::string StopReason(ReadEnd end, int error, const SerialTransport* link)
{
    if (link)
        return end == ReadEnd::HangUp
                   ? CoreText::Args(VRL_TR("SerialPort", "连接已断开（%1）"), {link->HostPort()})
                   : CoreText::Args(VRL_TR("SerialPort", "连接已断开（%1：%2）"),
                                    {link->HostPort(), std::generic_category().message(error)});
    if (end == ReadEnd::HangUp)
        return VRL_TR("SerialPort", "设备已断开");
    // strerror is not thread-safe
    return VRL_TR("SerialPort", "读取失败：") + std::generic_category().message(error);
}

// The server's port is set by a Linux driver too: what Linux cannot set is refused here as
// for a local port; the rest goes to the server, whose answer comes later.
SerialLine::ConfigureResult ConfigureRemote(SerialTransport& link,
                                            const SerialLine::LineSettings& line, int flowControl)
{
    if (line.dataBits < 5 || line.dataBits > 8 || (line.stopBits != 0 && line.stopBits != 2)
        || line.parity < 0 || line.parity > 4 || line.baudRate == 0
        || line.baudRate > SerialLine::kHighestBaudRate)
        return SerialLine::ConfigureResult::Refused;
    link.SetLine(line, flowControl);
    return SerialLine::ConfigureResult::Ok;
}

// A server on its way down (or one whose device is busy) may take a call and hang up at
// once: a connection counts once it has held this long.
constexpr int kHoldsUpMs = 500;

enum class Hold
{
    Holds,
    HungUp,
    Stopped
};

Hold WaitForHangUp(int fd, int stopFd)
{
    const auto until = Clock::now() + std::chrono::milliseconds(kHoldsUpMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0)
            return Hold::Holds;
        // POLLRDHUP without POLLIN: bytes that come meanwhile wait in the socket for the read.
        pollfd fds[2] = {{fd, POLLRDHUP, 0}, {stopFd, POLLIN, 0}};
        const int ready = poll(fds, 2, static_cast<int>(left));
        if (ready < 0 && errno != EINTR)
            return Hold::Holds;
        if (ready > 0 && fds[1].revents)
            return Hold::Stopped;
        if (ready > 0 && fds[0].revents)
            return Hold::HungUp;
    }
}

// Connects a remote port's transport. A first open that cannot connect ends as a port that
// stopped, with the reason; a redial calls again once a second until the server answers and
// keeps the connection. False when stopped or not connected.
bool ConnectLink(SerialTransport& link, int stopFd, unsigned uiPortNo, PortReceiver* receiver,
                 bool redial)
{
    for (;;) {
        const auto started = Clock::now();
        std::string reason;
        switch (link.Connect(stopFd, SerialPort::kConnectTimeoutMs, reason)) {
        case SerialTransport::ConnectResult::Connected:
            if (!redial)
                return true;
            switch (WaitForHangUp(link.Fd(), stopFd)) {
            case Hold::Holds: return true;
            case Hold::Stopped: link.Disconnect(); return false;
            case Hold::HungUp: link.Disconnect(); break; // not back yet: called again
            }
            break;
        case SerialTransport::ConnectResult::Stopped: return false;
        case SerialTransport::ConnectResult::Failed: break;
        }
        if (!redial) {
            receiver->OnPortStopped(uiPortNo, reason);
            return false;
        }
        const auto next = started + std::chrono::milliseconds(SerialPort::kRedialIntervalMs);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
            pollfd stop{stopFd, POLLIN, 0};
            const int ready = poll(&stop, 1, left > 0 ? static_cast<int>(left) : 0);
            if (ready > 0)
                return false;
            if (ready == 0 && left <= 0)
                break;
            if (ready == 0 && Clock::now() >= next)
                break;
        }
    }
}
} // namespace

SerialPort::SerialPort(PortMessageSink* messages) : m_pMessages(messages) {}

SerialPort::~SerialPort()
{
    Close();
}

std::uint32_t SerialPort::PackPortData(unsigned uiPortNo, std::size_t count)
{
    return (static_cast<std::uint32_t>(uiPortNo) & 0xFFFFu)
           | (static_cast<std::uint32_t>(count & 0xFFFFu) << 16);
}

void SerialPort::ShowMessage(const std::string& text) const
{
    if (m_pMessages)
        m_pMessages->ShowMessage(text);
}

void SerialPort::ShowHint(const std::string& text) const
{
    if (m_pMessages)
        m_pMessages->ShowHint(text);
}

bool SerialPort::Open(PortReceiver* pWndReceMsg, unsigned uiPortNo, const std::string& devicePath,
                      bool bConfigure, bool bStartThread)
{
    if (m_bRunning.load() || m_hComm >= 0)
        return false;

    const std::string name = PortName(uiPortNo);
    if (uiPortNo >= kPortCount || devicePath.empty()) {
        ShowMessage(name + OpenErrorSuffix(ENOENT));
        ShowHint(OpenErrorHint(name, devicePath, ENOENT));
        return false;
    }
    if (SerialTransport::IsRemote(devicePath))
        return OpenRemote(pWndReceMsg, uiPortNo, devicePath, bConfigure, bStartThread);

    const int fd = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        ShowMessage(name + OpenErrorSuffix(openError));
        ShowHint(OpenErrorHint(name, devicePath, openError));
        return false;
    }
    // flock holds against every other opener (root included); TIOCEXCL keeps out programs
    // that do not lock.
    int error = 0;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        error = errno;
    else
        error = SerialLine::SetExclusive(fd);
    if (error != 0) {
        close(fd);
        ShowMessage(name + OpenErrorSuffix(error));
        ShowHint(OpenErrorHint(name, devicePath, error));
        return false;
    }

    m_hComm = fd;
    m_strDevice = devicePath;
    struct stat st
    {
    };
    m_deviceNode = fstat(fd, &st) == 0 ? static_cast<std::uint64_t>(st.st_rdev) : 0;
    m_pWndReceMsg = pWndReceMsg;
    m_uiPortNo = uiPortNo;
    m_bOpened = true;

    m_hStopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_hStopEvent < 0) {
        close(m_hComm);
        m_hComm = -1;
        return false;
    }

    return FinishOpen(bConfigure, bStartThread);
}

// A remote port: nothing is connected here (the worker connects, so the window never waits
// for a server); a malformed address is an invalid port.
bool SerialPort::OpenRemote(PortReceiver* pWndReceMsg, unsigned uiPortNo,
                            const std::string& devicePath, bool bConfigure, bool bStartThread)
{
    const std::string name = PortName(uiPortNo);
    m_pLink = SerialTransport::Create(devicePath);
    if (!m_pLink) {
        ShowMessage(name + OpenErrorSuffix(ENOENT));
        ShowHint(CoreText::Args(
            VRL_TR("SerialPort",
                   "%1（%2）：远程端口的地址应为 rfc2217://主机:端口 或 tcp://主机:端口"),
            {name, devicePath}));
        return false;
    }
    m_strDevice = devicePath;
    m_deviceNode = 0;
    m_pWndReceMsg = pWndReceMsg;
    m_uiPortNo = uiPortNo;
    m_bOpened = true;
    m_bConnected = false;
    m_bRedial = false;

    m_hStopEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_hStopEvent < 0) {
        m_pLink.reset();
        return false;
    }
    return FinishOpen(bConfigure, bStartThread);
}

// The end of an open, local or remote: the settings, the output lines, the worker.
bool SerialPort::FinishOpen(bool bConfigure, bool bStartThread)
{
    if (bConfigure && !Configure())
        return false;
    // Linux asserted DTR and RTS at the open (a remote port's lines are sent once its server
    // takes them, as a local open leaves them); drop those the user switched off.
    if (m_pLink)
        m_pModem = m_pLink->MakeModemLines();
    else
        m_pModem =
            m_modemFactory ? m_modemFactory(m_hComm) : std::make_unique<TtyModemLines>(m_hComm);
    if (m_pModem) {
        m_pModem->Set(m_outputLines, true);
        m_pModem->Set(ModemLines::kOutputs & ~m_outputLines, false);
    }
    if (bStartThread && !StartThread())
        return false;
    ShowHint({});
    return true;
}

bool SerialPort::Redial(PortReceiver* pWndReceMsg)
{
    if (!m_pLink || pWndReceMsg == nullptr)
        return false;
    // Called after the worker said it stopped: that was its last act, and it is ending.
    for (int i = 0; i < 1000 && m_bRunning.load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (m_bRunning.load())
        return false;
    m_pWndReceMsg = pWndReceMsg;
    m_bRedial = true;
    return StartThread();
}

bool SerialPort::Configure()
{
    if (m_hComm < 0 && !m_pLink)
        return false;
    SerialLine::LineSettings line;
    line.baudRate = m_dwBaudRate;
    line.parity = m_nParity;
    line.dataBits = m_nDataBits;
    line.stopBits = m_nStopBits;
    line.flowControl = m_nFlowControl;
    switch (m_pLink ? ConfigureRemote(*m_pLink, line, m_nFlowControl)
                    : SerialLine::Configure(
                        m_hComm, line, m_pLineDriver ? *m_pLineDriver : LineDriver::Kernel())) {
    case SerialLine::ConfigureResult::Ok: return true;
    case SerialLine::ConfigureResult::Refused:
        ShowMessage(PortName(m_uiPortNo)
                    + VRL_TR("SerialPort", "设置错误：\n可能不支持所选波特率，或停止位，或数据位"));
        ShowHint(CoreText::Args(
            VRL_TR("SerialPort", "%1（%2）不接受 %3 波特或所选的数据位、校验位、停止位"),
            {PortName(m_uiPortNo), m_strDevice, std::to_string(m_dwBaudRate)}));
        return false;
    case SerialLine::ConfigureResult::FlowRefused: {
        const std::string flow =
            SettingText(static_cast<std::uint32_t>(m_nFlowControl), kFlowControl, false);
        if (SerialLine::CanApplyFlowControl(m_nFlowControl))
            ShowMessage(
                CoreText::Args(VRL_TR("SerialPort", "%1设置错误：\n设备的驱动不支持 %2 流控制"),
                               {PortName(m_uiPortNo), flow}));
        else
            ShowMessage(CoreText::Args(
                VRL_TR(
                    "SerialPort",
                    "%1设置错误：\nLinux 不支持 %2 流控制（它所需的握手线组合无法设置），请选 RTS/CTS 或 XON/XOFF"),
                {PortName(m_uiPortNo), flow}));
        ShowHint(CoreText::Args(VRL_TR("SerialPort", "%1（%2）不能使用 %3 流控制"),
                                {PortName(m_uiPortNo), m_strDevice, flow}));
        return false;
    }
    case SerialLine::ConfigureResult::Failed: {
        // The device stopped answering (pulled out between the open and the settings): said,
        // not left to look like a port that opens and shows nothing.
        const int error = errno;
        ShowMessage(CoreText::Args(VRL_TR("SerialPort", "%1设置错误：\n%2"),
                                   {PortName(m_uiPortNo), std::generic_category().message(error)}));
        ShowHint(OpenErrorHint(PortName(m_uiPortNo), m_strDevice, error));
        return false;
    }
    }
    return false;
}

bool SerialPort::StartThread()
{
    if (!IsOpen() || m_hStopEvent < 0 || m_pWndReceMsg == nullptr || m_bRunning.load())
        return false;
    // A worker that ended by itself is joined before the next one starts.
    if (m_pThread.joinable())
        m_pThread.join();
    // Drop a stop request that nobody took.
    std::uint64_t pending = 0;
    (void)!read(m_hStopEvent, &pending, sizeof pending);

    // What was pending before the port was opened is stale. Discarded here, not in the
    // worker, so that nothing sent after StartThread returns can be thrown away.
    if (!m_pLink) // a remote port's stream starts with its connection
        SerialLine::Purge(m_hComm);

    // The tap may write here from now on, and the worker's first read finds it attached.
    if (m_pTap)
        m_pTap->Attach(m_uiPortNo, this);
    // Running from here on, so that a Close right after Open waits for the worker.
    m_bRunning = true;
    try {
        m_pThread =
            std::thread(CommThreadProc, this, m_hComm, m_hStopEvent, m_uiPortNo, m_dwPackInterval,
                        m_pWndReceMsg, m_pModem.get(), m_pLink.get(), m_bRedial, m_pTap);
        m_bRedial = false;
    } catch (const std::system_error&) {
        m_bRunning = false;
        if (m_pTap)
            m_pTap->Detach(m_uiPortNo, this);
        return false;
    }
    return true;
}

void SerialPort::CommThreadProc(SerialPort* port, int fd, int stopFd, unsigned uiPortNo,
                                std::uint32_t packInterval, PortReceiver* receiver,
                                ModemLines* modem, SerialTransport* link, bool redial,
                                PortTap* forward)
{
    if (link) {
        if (!ConnectLink(*link, stopFd, uiPortNo, receiver, redial)) {
            port->m_bRunning = false;
            return;
        }
        fd = link->Fd();
        port->m_bConnected = true;
        receiver->OnPortConnected(uiPortNo, link->HostPort());
    }
    std::vector<std::uint8_t> buffer(kReadBuffer);
    Carry carry;
    // The input lines are looked at between messages and every kModemPollMs while the line
    // is quiet, and reported when they change; a device without them is said once and never
    // polled (pseudo-terminals: the worker then sleeps until data or stop, as before). A
    // server notifies its lines when it likes: they are watched from the start.
    unsigned lines = 0;
    bool haveLines = modem && modem->Get(lines);
    const bool watchLines = haveLines || (link && modem);
    receiver->OnModemLines(uiPortNo, haveLines, lines & ModemLines::kInputs);
    unsigned reported = lines & ModemLines::kInputs;
    for (;;) {
        // Held: wait without reading until released; a stop ends the wait and is then seen
        // by ReadMessage.
        while (port->m_bReadHeld.load()) {
            pollfd stop{stopFd, POLLIN, 0};
            if (poll(&stop, 1, kHeldPollMs) > 0)
                break;
            if (link)
                link->Flush();
        }
        std::size_t count = 0;
        int error = 0;
        TapReader tap{forward, uiPortNo, modem, 0};
        const ReadEnd end = ReadMessage(fd, stopFd, packInterval, watchLines ? kModemPollMs : 0,
                                        buffer, count, carry, error, link, tap);
        if (watchLines && (end == ReadEnd::Tick || end == ReadEnd::Quiet)) {
            const bool have = modem->Get(lines);
            if (have != haveLines || (have && (lines & ModemLines::kInputs) != reported)) {
                haveLines = have;
                reported = have ? lines & ModemLines::kInputs : 0;
                receiver->OnModemLines(uiPortNo, have, reported);
            }
        }
        if (link)
            for (std::string& note : link->TakeNotes())
                receiver->OnPortNotice(uiPortNo, std::move(note));
        // Bytes already taken from the line are delivered, also when the read ended on a
        // stop or a hang-up: they arrived while the port was open.
        const auto deliver = [&](const std::uint8_t* bytes, std::size_t n, std::int64_t firstNs) {
            std::vector<std::uint8_t> message(bytes, bytes + n);
            // Outside the pair nothing is ordered against another port: no lock.
            if (forward && forward->InPair(uiPortNo))
                forward->Deliver(uiPortNo, std::move(message), firstNs, receiver);
            else
                receiver->OnPortMessage(uiPortNo, std::move(message), firstNs / 1000, false);
        };
        if (count > 0)
            deliver(buffer.data(), count, tap.m_firstNs);
        if (end == ReadEnd::Quiet || end == ReadEnd::Tick)
            continue;
        if (carry.m_bytes > 0)
            deliver(buffer.data() + kReadSize, carry.m_bytes, carry.m_readNs);
        if (end != ReadEnd::Stop) {
            if (link)
                link->Disconnect(); // writes fail from now on instead of filling a dead socket
            receiver->OnPortStopped(uiPortNo, StopReason(end, error, link));
        }
        break;
    }
    port->m_bRunning = false;
}

bool SerialPort::Close()
{
    // The other port's worker writes here through the tap: it stops before the device goes.
    if (m_pTap)
        m_pTap->Detach(m_uiPortNo, this);
    if (m_pThread.joinable()) {
        const std::uint64_t one = 1;
        (void)!write(m_hStopEvent, &one, sizeof one);
        m_pThread.join();
    }
    m_bRunning = false;
    m_bReadHeld = false;
    m_pWndReceMsg = nullptr;
    m_pModem.reset();
    m_pLink.reset(); // after the lines, which speak through it
    if (m_hStopEvent >= 0) {
        close(m_hStopEvent);
        m_hStopEvent = -1;
    }
    if (m_hComm >= 0) {
        SerialLine::ClearExclusive(m_hComm);
        close(m_hComm); // releases the lock too
        m_hComm = -1;
    }
    return true;
}

bool SerialPort::SetOutputLine(unsigned line, bool on)
{
    NoteOutputLine(line, on);
    return m_pModem && IsOpen() && m_pModem->Set(line & ModemLines::kOutputs, on);
}

void SerialPort::NoteOutputLine(unsigned line, bool on)
{
    line &= ModemLines::kOutputs;
    if (on)
        m_outputLines.fetch_or(line);
    else
        m_outputLines.fetch_and(~line);
}

int SerialPort::WriteFd() const
{
    return m_pLink ? m_pLink->Fd() : m_hComm;
}

std::ptrdiff_t SerialPort::WriteSome(const void* bytes, std::size_t length)
{
    if (m_pLink)
        return m_pLink->WriteSome(bytes, length);
    if (m_hComm < 0)
        return -1;
    if (length == 0)
        return 0;
    for (;;) {
        const ssize_t n = write(m_hComm, bytes, length);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN ? 0 : -1;
    }
}
