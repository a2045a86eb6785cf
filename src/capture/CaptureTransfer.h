#pragma once

#include "capture/CaptureOptions.h"
#include "core/receive/PortMessageSink.h"
#include "core/receive/PortReceiver.h"
#include "core/transfer/FileTransfer.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class ReceivedFiles;
class SerialPort;
class SettingsStore;

// vrl-capture --send-file / --receive-file: one file transfer over the one port of the
// command line, with the port's stored settings (or those given). The port's worker hands
// what it reads to the protocol on the calling thread, which writes the protocol's answers
// and keeps its time; a terminal shows the progress. SIGINT and SIGTERM cancel (the far end
// hears CAN).
class CaptureTransfer : private PortReceiver, private PortMessageSink
{
public:
    // status: the terminal's progress line (null: none). The store is only read.
    CaptureTransfer(const CaptureOptions& options, SettingsStore& store, std::FILE* status);
    ~CaptureTransfer() override;

    // Runs the transfer to its end; signalFd: a signalfd of the signals that cancel (-1:
    // none). Returns the exit code; a failure's reason is on standard error.
    int Run(int signalFd);

private:
    // The file to send can be read, the folder to receive into is one (else m_error says).
    bool CheckFile();
    bool OpenPort();
    std::unique_ptr<FileTransfer> MakeTransfer(std::string& what, std::uint64_t& size);
    // Hands the protocol what waits from the worker; false when the port stopped.
    bool TakeReceived(std::int64_t nowMs);
    bool WriteOutput();
    void ShowProgress(std::int64_t elapsedMs, bool last);

    // PortReceiver, on the worker.
    void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) override;
    void OnPortStopped(unsigned uiPortNo, std::string reason) override;
    // PortMessageSink: why the port did not open.
    void ShowMessage(const std::string& utf8) override;

    const CaptureOptions& m_options;
    SettingsStore& m_store;
    std::FILE* m_status;
    std::unique_ptr<SerialPort> m_port;
    std::unique_ptr<FileTransfer> m_transfer;
    std::unique_ptr<ReceivedFiles> m_files;
    std::FILE* m_file = nullptr; // what is sent
    int m_wakeFd = -1;           // eventfd: the worker brought something
    std::mutex m_mutex;
    std::deque<std::vector<std::uint8_t>> m_received;
    std::string m_stopped; // the worker's reason, once it ended
    std::string m_error;   // why the port did not open
    std::size_t m_statusWidth = 0;
};
