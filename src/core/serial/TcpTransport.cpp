#include "core/serial/TcpTransport.h"

#include "core/text/CoreText.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

// A lost server is noticed within about half a minute even when nothing is sent: keepalive
// probes after 10 s of silence, every 5 s, three unanswered end the connection; data not
// acknowledged for 30 s ends it too.
constexpr int kKeepIdleS = 10;
constexpr int kKeepIntervalS = 5;
constexpr int kKeepCount = 3;
constexpr unsigned kUserTimeoutMs = 30000;

// A name lookup cannot be interrupted, so it runs on a thread of its own that the worker
// may leave behind (stopped, or out of time); whoever lets go last frees the result.
struct Lookup
{
    int m_doneFd = -1;
    std::atomic<bool> m_done{false}; // orders the result before the wake-up for the reader
    int m_rc = 0;
    addrinfo* m_result = nullptr;

    Lookup() : m_doneFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Lookup()
    {
        if (m_result)
            freeaddrinfo(m_result);
        if (m_doneFd >= 0)
            close(m_doneFd);
    }
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;
};

int RemainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for fd (events) or stopFd until deadline: 1 ready, 0 time is up, -1 stopped.
int WaitFor(int fd, short events, int stopFd, Clock::time_point deadline)
{
    for (;;) {
        pollfd fds[2] = {{stopFd, POLLIN, 0}, {fd, events, 0}};
        const int ready = poll(fds, 2, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return 0;
        if (fds[0].revents != 0)
            return -1;
        return 1;
    }
}

std::string ConnectError(const std::string& where, int error)
{
    const std::string head = CoreText::Args(VRL_TR("TcpTransport", "无法连接 %1："), {where});
    switch (error) {
    case ECONNREFUSED: return head + VRL_TR("TcpTransport", "连接被拒绝（服务器未运行或端口不对）");
    case ETIMEDOUT: return head + VRL_TR("TcpTransport", "连接超时");
    case ENETUNREACH:
    case EHOSTUNREACH: return head + VRL_TR("TcpTransport", "网络不可达");
    default: return head + std::generic_category().message(error);
    }
}

void TuneSocket(int fd)
{
    const int one = 1;
    // Serial messages are small and a monitor wants them at once.
    (void)setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    (void)setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdleS, sizeof kKeepIdleS);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepIntervalS, sizeof kKeepIntervalS);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepCount, sizeof kKeepCount);
    (void)setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &kUserTimeoutMs, sizeof kUserTimeoutMs);
}
} // namespace

TcpTransport::TcpTransport(Endpoint endpoint) : SerialTransport(std::move(endpoint)) {}

TcpTransport::~TcpTransport()
{
    Disconnect();
}

SerialTransport::ConnectResult TcpTransport::Connect(int stopFd, int timeoutMs, std::string& reason)
{
    Disconnect();
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::string where = HostPort();
    const std::string service = std::to_string(Where().port);

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* numeric = nullptr;
    std::shared_ptr<Lookup> lookup;
    const addrinfo* addresses = nullptr;
    if (getaddrinfo(Where().host.c_str(), service.c_str(), &hints, &numeric) == 0)
        addresses = numeric;
    else {
        lookup = std::make_shared<Lookup>();
        if (lookup->m_doneFd < 0) {
            reason = ConnectError(where, errno);
            return ConnectResult::Failed;
        }
        hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
        try {
            std::thread([lookup, host = Where().host, service, hints] {
                lookup->m_rc =
                    getaddrinfo(host.c_str(), service.c_str(), &hints, &lookup->m_result);
                lookup->m_done.store(true, std::memory_order_release);
                const std::uint64_t one = 1;
                (void)!write(lookup->m_doneFd, &one, sizeof one);
            }).detach();
        } catch (const std::system_error&) {
            reason = ConnectError(where, EAGAIN);
            return ConnectResult::Failed;
        }
        const int ready = WaitFor(lookup->m_doneFd, POLLIN, stopFd, deadline);
        if (ready < 0)
            return ConnectResult::Stopped;
        if (ready == 0) {
            reason = ConnectError(where, ETIMEDOUT);
            return ConnectResult::Failed;
        }
        if (!lookup->m_done.load(std::memory_order_acquire) || lookup->m_rc != 0) {
            reason = CoreText::Args(VRL_TR("TcpTransport", "无法连接 %1：找不到主机 %2"),
                                    {where, Where().host});
            return ConnectResult::Failed;
        }
        addresses = lookup->m_result;
    }

    int firstError = 0;
    int fd = -1;
    ConnectResult result = ConnectResult::Failed;
    for (const addrinfo* a = addresses; a && fd < 0; a = a->ai_next) {
        const int s =
            socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) {
            firstError = firstError ? firstError : errno;
            continue;
        }
        int error = 0;
        if (connect(s, a->ai_addr, a->ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                const int ready = WaitFor(s, POLLOUT, stopFd, deadline);
                if (ready < 0) {
                    close(s);
                    result = ConnectResult::Stopped;
                    break;
                }
                socklen_t size = sizeof error;
                if (ready == 0)
                    error = ETIMEDOUT;
                else if (getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
            }
        }
        if (error != 0) {
            close(s);
            firstError = firstError ? firstError : error;
            continue;
        }
        fd = s;
    }
    if (numeric)
        freeaddrinfo(numeric);
    if (fd < 0) {
        if (result != ConnectResult::Stopped)
            reason = ConnectError(where, firstError ? firstError : ETIMEDOUT);
        return result;
    }

    TuneSocket(fd);
    m_drained = false;
    std::lock_guard lock(m_mutex);
    m_fd = fd;
    m_pending.clear();
    m_pendingSent = 0;
    Greet(m_pending);
    FlushLocked();
    return ConnectResult::Connected;
}

void TcpTransport::Disconnect()
{
    std::lock_guard lock(m_mutex);
    const int fd = m_fd.exchange(-1);
    if (fd >= 0)
        close(fd);
    m_pending.clear();
    m_pendingSent = 0;
}

ssize_t TcpTransport::Read(std::uint8_t* into, std::size_t room, int& error)
{
    const int fd = m_fd.load();
    if (fd < 0) {
        error = EBADF;
        return -1;
    }
    // A read that found less than it had room for took all there was: the next one says
    // "nothing now" without asking the socket, so that a worker reading until nothing comes
    // goes back to its wait at once instead of spending a call on EAGAIN every time.
    if (m_drained) {
        m_drained = false;
        return 0;
    }
    ssize_t n = 0;
    for (;;) {
        n = recv(fd, into, room, MSG_DONTWAIT);
        if (n >= 0 || errno != EINTR)
            break;
    }
    if (n == 0) {
        error = 0;
        return -1;
    }
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        error = errno;
        return -1;
    }
    std::lock_guard lock(m_mutex);
    m_reply.clear();
    const std::size_t data = Decode(into, static_cast<std::size_t>(n), m_reply);
    if (!m_reply.empty())
        m_pending.insert(m_pending.end(), m_reply.begin(), m_reply.end());
    if (!m_pending.empty())
        FlushLocked();
    m_drained = data > 0 && static_cast<std::size_t>(n) < room;
    return static_cast<ssize_t>(data);
}

bool TcpTransport::HasPending() const
{
    std::lock_guard lock(m_mutex);
    return !m_pending.empty();
}

void TcpTransport::Flush()
{
    std::lock_guard lock(m_mutex);
    FlushLocked();
}

bool TcpTransport::FlushLocked()
{
    const int fd = m_fd.load();
    if (fd < 0)
        return false;
    while (m_pendingSent < m_pending.size()) {
        const ssize_t n = send(fd, m_pending.data() + m_pendingSent,
                               m_pending.size() - m_pendingSent, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            m_pendingSent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        return false; // the worker sees the broken connection and reports it
    }
    m_pending.clear();
    m_pendingSent = 0;
    return true;
}

void TcpTransport::SendLocked(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.empty() || m_fd.load() < 0)
        return;
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    FlushLocked();
}

std::size_t TcpTransport::Decode(std::uint8_t* bytes, std::size_t count,
                                 std::vector<std::uint8_t>& reply)
{
    (void)bytes;
    (void)reply;
    return count;
}

void TcpTransport::Encode(const std::uint8_t* data, std::size_t count,
                          std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), data, data + count);
}

std::ptrdiff_t TcpTransport::WriteSome(const void* bytes, std::size_t length)
{
    std::lock_guard lock(m_mutex);
    if (m_fd.load() < 0 || !FlushLocked())
        return -1;
    if (length == 0)
        return 0;
    if (!m_pending.empty())
        return 0; // the socket is full: the caller keeps its bytes
    // Taken whole: what the socket does not take now waits here and goes out as soon as
    // there is room (the worker waits for that).
    const std::size_t chunk = std::min(kChunk, length);
    Encode(static_cast<const std::uint8_t*>(bytes), chunk, m_pending);
    if (!FlushLocked())
        return -1;
    return static_cast<std::ptrdiff_t>(chunk);
}
