#include "capture/CaptureTransfer.h"

#include "core/text/CoreText.h"

#include "core/base/PortName.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"
#include "core/transfer/ReceivedFiles.h"
#include "core/transfer/TransferText.h"
#include "core/transfer/XmodemReceiver.h"
#include "core/transfer/XmodemSender.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kProgressMs = 250;
// The protocol answers single bytes: the worker hands them on after this much quiet.
constexpr std::uint32_t kTransferPackMs = 1;
// A bounded wait for room on the line, so that a cancel is still heard.
constexpr int kWriteWaitMs = 1000;

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string BaseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why a file cannot be read, in the program's language for the usual causes.
std::string ReadReason(int error)
{
    switch (error) {
    case ENOENT: return VRL_TR("CaptureTransfer", "文件不存在");
    case EACCES:
    case EPERM: return VRL_TR("CaptureTransfer", "没有读取权限");
    case EISDIR: return VRL_TR("CaptureTransfer", "这是一个文件夹");
    default: return std::strerror(error);
    }
}

} // namespace

CaptureTransfer::CaptureTransfer(const CaptureOptions& options, SettingsStore& store,
                                 std::FILE* status)
    : m_options(options), m_store(store), m_status(options.m_quiet ? nullptr : status),
      m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
}

CaptureTransfer::~CaptureTransfer()
{
    if (m_port)
        m_port->Close();
    if (m_file)
        std::fclose(m_file);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool CaptureTransfer::OpenPort()
{
    const CaptureOptions::Port& wanted = m_options.m_ports.front();
    const std::string device =
        wanted.m_device.empty() ? PortMap(m_store).PathOf(wanted.m_port) : wanted.m_device;
    if (device.empty()) {
        m_error = CoreText::Args(
            VRL_TR("CaptureSession", "%1 在端口映射中没有设备；请用 %1=设备路径 指定"),
            {PortName(wanted.m_port)});
        return false;
    }
    m_port = std::make_unique<SerialPort>(static_cast<PortMessageSink*>(this));
    PortSettings settings;
    LoadPortSettings(m_store, wanted.m_port, settings);
    m_options.ApplyLineSettings(settings);
    settings.m_dwPackInterval = kTransferPackMs;
    static_cast<PortSettings&>(*m_port) = settings;
    m_port->SetOutputLines(LoadModemOutputs(m_store, wanted.m_port));
    return m_port->Open(this, wanted.m_port, device);
}

bool CaptureTransfer::CheckFile()
{
    struct stat st
    {
    };
    if (!m_options.m_receiveFolder.empty()) {
        if (::stat(m_options.m_receiveFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            m_error = CoreText::Args(VRL_TR("vrl-capture", "文件夹“%1”不存在"),
                                     {m_options.m_receiveFolder});
            return false;
        }
        return true;
    }
    m_file = std::fopen(m_options.m_sendFile.c_str(), "rb");
    if (!m_file || ::fstat(::fileno(m_file), &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error =
            CoreText::Args(VRL_TR("CaptureTransfer", "不能读文件“%1”：%2"),
                           {m_options.m_sendFile, m_file ? VRL_TR("CaptureTransfer", "不是普通文件")
                                                         : ReadReason(errno)});
        return false;
    }
    return true;
}

std::unique_ptr<FileTransfer> CaptureTransfer::MakeTransfer(std::string& what, std::uint64_t& size)
{
    TransferTimings timings;
    timings.m_bitsPerSecond = m_port->m_dwBaudRate;
    const TransferProtocol protocol = *m_options.m_protocol;
    if (!m_options.m_receiveFolder.empty()) {
        what = m_options.m_receiveFolder;
        m_files =
            std::make_unique<ReceivedFiles>(m_options.m_receiveFolder, ReceivedFiles::NameByTime());
        return std::make_unique<XmodemReceiver>(protocol, timings, *m_files);
    }
    struct stat st
    {
    };
    ::fstat(::fileno(m_file), &st);
    what = BaseName(m_options.m_sendFile);
    size = static_cast<std::uint64_t>(st.st_size);
    auto sender = std::make_unique<XmodemSender>(
        protocol, timings, what, size,
        [this](std::uint8_t* into, std::size_t room, std::string& error) -> std::ptrdiff_t {
            const std::size_t n = std::fread(into, 1, room, m_file);
            if (n == 0 && std::ferror(m_file)) {
                error = ReadReason(errno);
                return -1;
            }
            return static_cast<std::ptrdiff_t>(n);
        });
    sender->SetModified(st.st_mtime);
    return sender;
}

int CaptureTransfer::Run(int signalFd)
{
    std::string what;
    std::uint64_t size = 0;
    // The file first: its fault is the user's to mend before the line's.
    if (CheckFile() && OpenPort())
        m_transfer = MakeTransfer(what, size);
    if (!m_transfer) {
        if (!m_error.empty())
            std::fprintf(stderr, "vrl-capture: %s\n", m_error.c_str());
        return 1;
    }
    const bool sending = m_options.m_receiveFolder.empty();
    if (m_status)
        std::fprintf(m_status, "%s\n",
                     TransferText::StartLine(sending, *m_options.m_protocol, what, size).c_str());
    const std::int64_t begun = NowMs();
    std::int64_t nextProgress = begun + kProgressMs;
    m_transfer->Start(begun);
    std::string lost; // the line, when it failed under the transfer
    while (m_transfer->GetState() == FileTransfer::State::Running) {
        if (!WriteOutput()) {
            std::lock_guard lock(m_mutex);
            lost = m_stopped.empty() ? std::strerror(EIO) : m_stopped;
            break;
        }
        std::int64_t now = NowMs();
        std::int64_t until = nextProgress;
        if (m_transfer->Deadline() >= 0)
            until = std::min(until, m_transfer->Deadline());
        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {signalFd, POLLIN, 0}};
        if (::poll(fds, signalFd >= 0 ? 2 : 1,
                   static_cast<int>(std::max<std::int64_t>(0, until - now)))
                < 0
            && errno != EINTR)
            break;
        now = NowMs();
        if (signalFd >= 0 && (fds[1].revents & POLLIN)) {
            signalfd_siginfo info{};
            (void)!::read(signalFd, &info, sizeof info);
            m_transfer->Cancel();
            break;
        }
        if (!TakeReceived(now)) {
            std::lock_guard lock(m_mutex);
            lost = m_stopped.empty() ? std::strerror(EIO) : m_stopped;
            break;
        }
        m_transfer->OnTime(now);
        if (now >= nextProgress) {
            ShowProgress(now - begun, false);
            nextProgress = now + kProgressMs;
        }
    }
    // The last answer (an ACK, the CAN bytes) goes out before the port closes.
    WriteOutput();
    const std::int64_t elapsed = NowMs() - begun;
    ShowProgress(elapsed, true);
    std::string where = what;
    if (m_files && !m_files->Written().empty()) {
        where.clear();
        for (const std::string& path : m_files->Written()) {
            std::printf("%s\n", path.c_str());
            where += (where.empty() ? "" : ", ") + path;
        }
    }
    if (!lost.empty()) {
        std::fprintf(stderr, "vrl-capture: %s\n",
                     CoreText::Args(VRL_TR("CaptureTransfer", "串口断开：%1（已传送 %2 块）"),
                                    {lost, std::to_string(m_transfer->Progress().m_blocks)})
                         .c_str());
        return 1;
    }
    const std::string end = TransferText::EndLine(sending, *m_transfer, elapsed, where);
    if (m_transfer->GetState() != FileTransfer::State::Done) {
        std::fprintf(stderr, "vrl-capture: %s\n", end.c_str());
        return 1;
    }
    if (m_status)
        std::fprintf(m_status, "%s\n", end.c_str());
    return 0;
}

bool CaptureTransfer::TakeReceived(std::int64_t nowMs)
{
    std::uint64_t value = 0;
    (void)!::read(m_wakeFd, &value, sizeof value);
    for (;;) {
        std::vector<std::uint8_t> bytes;
        {
            std::lock_guard lock(m_mutex);
            if (m_received.empty())
                return m_stopped.empty();
            bytes = std::move(m_received.front());
            m_received.pop_front();
        }
        m_transfer->OnBytes(bytes.data(), bytes.size(), nowMs);
        if (m_transfer->HasOutput() && !WriteOutput())
            return false;
    }
}

bool CaptureTransfer::WriteOutput()
{
    const std::vector<std::uint8_t> out = m_transfer->TakeOutput();
    std::size_t done = 0;
    while (done < out.size()) {
        const std::ptrdiff_t n = m_port->WriteSome(out.data() + done, out.size() - done);
        if (n < 0)
            return false;
        done += static_cast<std::size_t>(n);
        if (n == 0) {
            pollfd room{m_port->WriteFd(), POLLOUT, 0};
            if (room.fd < 0 || ::poll(&room, 1, kWriteWaitMs) == 0
                || (room.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return false;
        }
    }
    return true;
}

void CaptureTransfer::ShowProgress(std::int64_t elapsedMs, bool last)
{
    if (!m_status)
        return;
    const std::string line = TransferText::ProgressLine(m_transfer->Progress(), elapsedMs);
    // Padded over what the longer line before left.
    std::fprintf(m_status, "\r%s%*s", line.c_str(),
                 static_cast<int>(m_statusWidth > line.size() ? m_statusWidth - line.size() : 0),
                 "");
    m_statusWidth = line.size();
    if (last)
        std::fputs("\n", m_status);
    std::fflush(m_status);
}

void CaptureTransfer::OnPortData(unsigned, std::vector<std::uint8_t> bytes)
{
    {
        std::lock_guard lock(m_mutex);
        m_received.push_back(std::move(bytes));
    }
    const std::uint64_t one = 1;
    (void)!::write(m_wakeFd, &one, sizeof one);
}

void CaptureTransfer::OnPortStopped(unsigned, std::string reason)
{
    {
        std::lock_guard lock(m_mutex);
        m_stopped = reason.empty() ? std::string("?") : std::move(reason);
    }
    const std::uint64_t one = 1;
    (void)!::write(m_wakeFd, &one, sizeof one);
}

void CaptureTransfer::ShowMessage(const std::string& utf8)
{
    std::fprintf(stderr, "vrl-capture: %s\n", utf8.c_str());
}
