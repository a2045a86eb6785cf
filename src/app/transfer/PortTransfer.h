#pragma once

#include "core/transfer/FileTransfer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class CFrameHost;
class ReceivedFiles;

// One file transfer over an open port of the window, run on the window thread without ever
// waiting: the port's received messages go to the protocol instead of the monitor (the
// receive pipeline's diversion), its answers go out through the send service without a
// monitor line, and a short timer keeps its time. The monitor gets one line when it starts
// and one when it ends; then the port is the user's again.
class CPortTransfer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 50;

    explicit CPortTransfer(CFrameHost& host, QObject* parent = nullptr);
    ~CPortTransfer() override;

    // Sends the file at path (sending) or receives into the folder at path over port; false
    // with the reason in error when it cannot begin.
    bool Start(unsigned port, TransferProtocol protocol, bool sending, const QString& path,
               QString& error);
    // The user gives up: the far end hears CAN.
    void Cancel();
    bool IsRunning() const;
    // Of the running or the last transfer; null before the first.
    const FileTransfer* Transfer() const { return m_transfer.get(); }
    std::int64_t ElapsedMs() const;
    // The line that ended the last transfer.
    const QString& EndText() const { return m_endText; }

Q_SIGNALS:
    void progressed();
    void finished(bool done);

private:
    bool Prepare(TransferProtocol protocol, bool sending, const std::string& path, QString& error);
    void OnBytes(const std::uint8_t* bytes, std::size_t count);
    void OnTick();
    // Writes what the protocol has to say and ends the transfer once it is over.
    void Pump();
    void Finish();
    void Notice(const std::string& text);

    CFrameHost& m_host;
    QTimer m_tick;
    unsigned m_port = 0;
    bool m_sending = true;
    std::unique_ptr<FileTransfer> m_transfer;
    std::unique_ptr<ReceivedFiles> m_files;
    std::FILE* m_file = nullptr;
    std::string m_what; // the file's name, or the folder
    std::int64_t m_begunMs = 0;
    std::int64_t m_endedMs = -1;
    bool m_running = false;
    QString m_endText;
};
