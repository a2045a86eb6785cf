#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for a serial cable: the program opens SlavePath(), the
// test talks through the master end.
class TestPtyPair
{
public:
    TestPtyPair();
    ~TestPtyPair();
    TestPtyPair(const TestPtyPair&) = delete;
    TestPtyPair& operator=(const TestPtyPair&) = delete;

    bool IsValid() const { return m_master >= 0; }
    const QString& SlavePath() const { return m_slavePath; }
    // Writes every byte to the master end; false on failure.
    bool Write(const QByteArray& bytes);
    // Writes what the line takes within timeoutMs (a feeder that must be able to stop while
    // nobody reads the far end); false when nothing was written.
    bool TryWrite(const QByteArray& bytes, int timeoutMs);
    // What arrived at the master end within timeoutMs.
    QByteArray Read(int timeoutMs);
    // Hangs the line up: the far end closes (the program sees a hang-up).
    void CloseMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at fresh temporary folders for this process.
class TestXdgFolders
{
public:
    TestXdgFolders();
    ~TestXdgFolders();
    const QString& Root() const { return m_root; }
    QString ConfigFile() const; // where the settings store keeps its file
    QString FilePath(const QString& name) const; // name inside the temporary folder

private:
    QString m_root;
};
