#pragma once
// What the window benchmarks stand on: a raw pseudo-terminal pair standing in for a serial
// cable (the program opens m_path, the benchmark talks through m_master), and settings and
// data folders of their own.

#include <QByteArray>
#include <QTemporaryDir>

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

// Temporary XDG_CONFIG_HOME and XDG_DATA_HOME for this process, so that a benchmark never
// touches the user's settings or send file. Make it before the QApplication.
struct TemporaryXdgHome
{
    QTemporaryDir m_dir;

    TemporaryXdgHome()
    {
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
    }
};

} // namespace vrlbench
