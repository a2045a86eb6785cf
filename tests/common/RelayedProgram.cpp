#include "RelayedProgram.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

RelayedProgram::RelayedProgram(int damageEvery, unsigned seed)
    : m_line(PtyPair::Raw), m_program(PtyPair::Raw), m_damageEvery(damageEvery),
      m_random(seed * 2654435761u + 1)
{
    if (::pipe2(m_out, O_CLOEXEC) != 0)
        m_out[0] = m_out[1] = -1;
    m_stopFd = ::eventfd(0, EFD_CLOEXEC);
    m_nextDamage = m_damageEvery > 0 ? m_random % static_cast<unsigned>(m_damageEvery) : 0;
    m_thread = std::thread([this] { Relay(); });
}

RelayedProgram::~RelayedProgram()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    const std::uint64_t one = 1;
    (void)!::write(m_stopFd, &one, sizeof one);
    m_thread.join();
    for (int fd : {m_out[0], m_out[1], m_stopFd})
        if (fd >= 0)
            ::close(fd);
}

bool RelayedProgram::Start(const std::vector<std::string>& argv, const std::string& folder,
                           const std::string& errorFile)
{
    // Made before the fork: the child of a threaded process may only call what is safe.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid < 0)
        return false;
    if (m_pid == 0) {
        const int in = ::open(m_program.Path().c_str(), O_RDWR);
        const int err = ::open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || err < 0 || ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(m_out[1], 1);
        ::dup2(err, 2);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return true;
}

int RelayedProgram::Wait(int timeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (m_pid > 0) {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid)
            break;
        if (std::chrono::steady_clock::now() >= until) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void RelayedProgram::Relay()
{
    std::vector<char> buffer(4096);
    for (;;) {
        pollfd fds[4] = {{m_stopFd, POLLIN, 0},
                         {m_line.Master(), POLLIN, 0},
                         {m_out[0], POLLIN, 0},
                         {m_program.Master(), POLLIN, 0}};
        if (::poll(fds, 4, -1) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN)
            Carry(m_line.Master(), m_program.Master(), buffer);
        if (fds[2].revents & POLLIN)
            Carry(m_out[0], m_line.Master(), buffer);
        // What the program writes to its terminal goes the same way.
        if (fds[3].revents & POLLIN)
            Carry(m_program.Master(), m_line.Master(), buffer);
    }
}

void RelayedProgram::Carry(int from, int to, std::vector<char>& buffer)
{
    const ssize_t n = ::read(from, buffer.data(), buffer.size());
    if (n <= 0)
        return;
    std::string bytes;
    for (ssize_t i = 0; i < n; ++i, ++m_passed) {
        char c = buffer[static_cast<std::size_t>(i)];
        if (m_damageEvery > 0 && m_passed == m_nextDamage) {
            m_random = m_random * 6364136223846793005ULL + 1442695040888963407ULL;
            const auto every = static_cast<std::uint64_t>(m_damageEvery);
            m_nextDamage = (m_passed / every + 1) * every + (m_random >> 33) % every;
            if (m_damaged++ % 2 == 0)
                continue; // dropped
            c = static_cast<char>(c ^ (1 + (m_random >> 40) % 255));
        }
        bytes += c;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        // Paced in small pieces, so that bytes arrive as a line delivers them.
        const std::size_t piece = m_bitsPerSecond.load()
                                      ? std::min<std::size_t>(16, bytes.size() - done)
                                      : bytes.size() - done;
        Pace(to, piece);
        const ssize_t w = ::write(to, bytes.data() + done, piece);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return;
        done += static_cast<std::size_t>(w);
    }
}

void RelayedProgram::Pace(int to, std::size_t count)
{
    const unsigned rate = m_bitsPerSecond.load();
    if (rate == 0)
        return;
    using namespace std::chrono;
    std::int64_t& freeAt = m_freeAtNs[to == m_line.Master() ? 0 : 1];
    const std::int64_t now =
        duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    if (freeAt > now)
        std::this_thread::sleep_for(nanoseconds(freeAt - now));
    freeAt =
        std::max(freeAt, now)
        + static_cast<std::int64_t>(count) * 10 * 1000000000LL / static_cast<std::int64_t>(rate);
}
