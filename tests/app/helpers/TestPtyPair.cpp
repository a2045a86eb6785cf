#include "TestPtyPair.h"

#include <QDir>

#include <cstdlib>

TestPtyPair::TestPtyPair() : PtyPair(Raw) {}

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
