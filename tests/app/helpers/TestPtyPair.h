#pragma once

#include "PrivateXdgFolders.h"
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

// The private XDG folders of the tests (PrivateXdgFolders) in Qt types.
class TestXdgFolders
{
public:
    QString Root() const { return QString::fromStdString(m_folders.Root()); }
    // where the settings store keeps its file
    QString ConfigFile() const { return QString::fromStdString(m_folders.ConfigFile()); }
    // name inside the temporary folder
    QString FilePath(const QString& name) const
    {
        return QString::fromStdString(m_folders.Path(name.toStdString()));
    }

private:
    PrivateXdgFolders m_folders;
};
