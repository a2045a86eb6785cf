#include "TestPtyPair.h"

#include <QDir>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

TestPtyPair::TestPtyPair()
{
    char name[PATH_MAX] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios raw{};
    tcgetattr(m_master, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_master, TCSANOW, &raw);
    // The slave end stays open here too, so that the line is not hung up between opens.
    m_slavePath = QString::fromLocal8Bit(name);
}

TestPtyPair::~TestPtyPair()
{
    CloseMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

bool TestPtyPair::Write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

bool TestPtyPair::TryWrite(const QByteArray& bytes, int timeoutMs)
{
    pollfd p{m_master, POLLOUT, 0};
    if (::poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLOUT))
        return false;
    const int flags = ::fcntl(m_master, F_GETFL);
    ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
    const ssize_t n = ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size()));
    ::fcntl(m_master, F_SETFL, flags);
    return n > 0;
}

QByteArray TestPtyPair::Read(int timeoutMs)
{
    QByteArray got;
    pollfd p{m_master, POLLIN, 0};
    while (::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN)) {
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, n);
        timeoutMs = 50;
    }
    return got;
}

void TestPtyPair::CloseMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

TestXdgFolders::TestXdgFolders()
{
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/vrl-test-XXXXXX";
    if (mkdtemp(pattern.data()))
        m_root = QString::fromLocal8Bit(pattern);
    QDir(m_root).mkpath(QStringLiteral("config"));
    QDir(m_root).mkpath(QStringLiteral("data"));
    qputenv("XDG_CONFIG_HOME", (m_root + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (m_root + QStringLiteral("/data")).toLocal8Bit());
}

TestXdgFolders::~TestXdgFolders()
{
    if (!m_root.isEmpty())
        QDir(m_root).removeRecursively();
}

QString TestXdgFolders::ConfigFile() const
{
    return m_root + QStringLiteral("/config/Tellumar/VRL.conf");
}

QString TestXdgFolders::FilePath(const QString& name) const
{
    return m_root + QLatin1Char('/') + name;
}
