#pragma once

#include "PtyPair.h"

#include <QByteArray>
#include <QString>

// The shared pseudo-terminal pair in raw mode, spoken to in Qt types: the program opens
// SlavePath(), the test talks through the master end.
class TestPtyPair : public PtyPair
{
public:
    TestPtyPair();

    QString SlavePath() const { return QString::fromStdString(Path()); }
    bool Write(const QByteArray& bytes) { return Send(bytes.toStdString()); }
    bool TryWrite(const QByteArray& bytes, int timeoutMs)
    {
        return PtyPair::TryWrite(bytes.toStdString(), timeoutMs);
    }
    QByteArray Read(int timeoutMs)
    {
        return QByteArray::fromStdString(ReceiveUntilQuiet(timeoutMs));
    }
};

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at fresh temporary folders for this process.
class TestXdgFolders
{
public:
    TestXdgFolders();
    ~TestXdgFolders();
    const QString& Root() const { return m_root; }
    QString ConfigFile() const;                  // where the settings store keeps its file
    QString FilePath(const QString& name) const; // name inside the temporary folder

private:
    QString m_root;
};
