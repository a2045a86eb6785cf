#pragma once
// A raw pseudo-terminal pair standing in for a serial cable in the benchmarks: the program
// opens m_path, the benchmark talks through m_master.

#include <climits>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace vrlbench
{

struct Pty
{
    int m_master = -1;
    int m_slave = -1; // kept open so that the line is not hung up between opens
    std::string m_path;

    // nonBlockingMaster: writes to the master end return at once when the line is full.
    explicit Pty(bool nonBlockingMaster = false)
    {
        termios raw{};
        cfmakeraw(&raw);
        char name[PATH_MAX] = {};
        if (openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
            return;
        m_path = name;
        if (nonBlockingMaster)
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
};

} // namespace vrlbench
