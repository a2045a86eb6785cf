#pragma once

#include "core/serial/ForwardEnd.h"
#include "core/serial/ModemLines.h"
#include "core/serial/PortSettings.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class LineDriver;
class PortTap;
class PortMessageSink;
class PortReceiver;
class SerialTransport;

// One serial port: opened exclusively, configured with its six settings (the PortSettings
// base), and watched by one worker thread that cuts the received bytes into messages by the
// packing interval and hands each message to the receiver.
//
// All operations are called from one thread (the window thread); only the receiver's
// callbacks run on the worker. WriteSome may run while the worker reads. A port of the
// forwarding pair is also written (WriteSome) and its lines set by the other port's worker,
// through the tap, between StartThread and Close.
class SerialPort : public PortSettings, public ForwardEnd
{
public:
    static constexpr std::size_t kReadSize = 4096; // longest message, bytes
    // A message and what one read may bring beyond it: the most one read takes.
    static constexpr std::size_t kReadBuffer = 2 * kReadSize;
    static constexpr unsigned kPortCount = 256;    // port numbers 0 to 255, COM1 to COM256
    static constexpr int kModemPollMs = 100;       // how often the worker looks at the input lines
    static constexpr int kConnectTimeoutMs = 5000; // a remote port's server must answer within this
    static constexpr int kRedialIntervalMs = 1000; // a lost server is called at most this often

    // messages: where open and settings errors go; may be null (they are dropped then).
    explicit SerialPort(PortMessageSink* messages = nullptr);
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens devicePath (from the COM-number map; empty when the number names no device) for
    // port number uiPortNo. A remote device (tcp://HOST:PORT, rfc2217://HOST:PORT) is only
    // checked here: the worker connects, and says through the receiver when it has or why
    // it could not (OnPortConnected, OnPortStopped). False at once, without a message, when the object is already
    // open. A failure to open shows "COM%d" and the cause. When bConfigure is true and the
    // settings are refused, the settings message is shown, false is returned and the port
    // stays open until Close. pWndReceMsg is needed to start the worker.
    bool Open(PortReceiver* pWndReceMsg, unsigned uiPortNo, const std::string& devicePath,
              bool bConfigure = true, bool bStartThread = true);

    // Applies baud rate, parity, data bits, stop bits and flow control in raw mode. 4 data
    // bits, 1.5 stop bits and rates the driver does not take are refused with the settings
    // message; DTR/CTS, RTS/DSR and DTR/DSR (no such setting on Linux), or a flow control the
    // driver drops, with a message that says so.
    bool Configure();

    // Starts the worker; false when closed, already running or without a receiver. The
    // packing interval in force is the one set when the worker starts.
    bool StartThread();

    // Stops and joins the worker, then closes the device. Always true; the object keeps its
    // number and settings and may be opened again.
    bool Close();

    // Writes what the driver takes now, without waiting: the number of bytes taken (0 when
    // its queue is full), or -1 when the port is closed or the line failed.
    std::ptrdiff_t WriteSome(const void* bytes, std::size_t length) override;

    // While held, the worker reads nothing after the message it is reading (a worker waiting
    // for a first byte still takes the next message): what arrives waits in the driver, and a
    // sender that the line can hold back (flow control, a pseudo-terminal) is held back. For a
    // reader that cannot pass the bytes on yet. Any thread; Close releases the hold.
    void SetReadHeld(bool held) { m_bReadHeld = held; }
    bool IsReadHeld() const { return m_bReadHeld.load(); }

    bool IsOpen() const { return m_hComm >= 0 || m_pLink != nullptr; }
    // The device is on another machine, reached over TCP.
    bool IsRemote() const { return m_pLink != nullptr; }
    // A remote port has reached its server since the last Open.
    bool HasConnected() const { return m_bConnected.load(); }
    // A remote port whose worker ended on a lost connection: starts the worker again, which
    // calls the server every kRedialIntervalMs until it answers (then OnPortConnected) or
    // the port is closed. False for a local or closed port or a running worker.
    bool Redial(PortReceiver* pWndReceMsg);
    // True while the worker runs (from StartThread until it has ended).
    bool IsRunning() const { return m_bRunning.load(); }
    // The device path of the last open.
    const std::string& DevicePath() const { return m_strDevice; }
    // The device node (st_rdev) of the last open: tells a re-pointed path from the same one.
    std::uint64_t DeviceNode() const { return m_deviceNode; }

    void SetMessageSink(PortMessageSink* messages) { m_pMessages = messages; }
    // What sets a local device's line (null: the kernel's driver); set before Open.
    void SetLineDriver(LineDriver* driver) { m_pLineDriver = driver; }

    // The forwarding tap the worker reads through (null: none); set while closed. The worker
    // hands it every read at once and its messages for display, and is held while the tap
    // says so.
    void SetTap(PortTap* tap) { m_pTap = tap; }
    // What to wait on (POLLOUT) for room to write: the device, a remote port's socket, or -1.
    int WriteFd() const override;
    // The modem lines of the open port, or null.
    ModemLines* Lines() const override { return m_pModem.get(); }

    // --- Modem lines --------------------------------------------------------------------
    // What gives the lines of an open device (TtyModemLines unless a test gives a fake);
    // set before Open.
    using ModemLinesFactory = std::function<std::unique_ptr<ModemLines>(int fd)>;
    void SetModemLinesFactory(ModemLinesFactory factory) { m_modemFactory = std::move(factory); }
    // The output lines (ModemLines::kDtr, kRts) asserted now, or at the next open. Open
    // asserts both, as Linux does, except those switched off here.
    unsigned OutputLines() const { return m_outputLines.load(); }
    void SetOutputLines(unsigned lines) { m_outputLines = lines & ModemLines::kOutputs; }
    // Switches DTR or RTS of the open port; the choice is kept for the next open also when
    // the device has no such line (false then).
    bool SetOutputLine(unsigned line, bool on);
    // The forwarding tap drove DTR or RTS (from the other port's worker): OutputLines, and
    // the switches that show it, say what the line is now.
    void NoteOutputLine(unsigned line, bool on) override;

    // The status-bar hint for an open of path that failed with errno error: where the fault
    // is and how to mend it (the dialout group for a permission error).
    static std::string OpenErrorHint(const std::string& name, const std::string& path, int error);

    // The second parameter of the port-data notice as it was packed on the original
    // platform: port number in the low 16 bits, byte count in the high 16 bits.
    static std::uint32_t PackPortData(unsigned uiPortNo, std::size_t count);

    // Set whenever Open obtains the device; never cleared. Settings of a port that was never
    // opened are not saved.
    bool m_bOpened = false;
    unsigned m_uiPortNo = 0;

private:
    void ShowMessage(const std::string& text) const;
    static void CommThreadProc(SerialPort* port, int fd, int stopFd, unsigned uiPortNo,
                               std::uint32_t packInterval, PortReceiver* receiver,
                               ModemLines* modem, SerialTransport* link, bool redial, PortTap* tap);
    bool OpenRemote(PortReceiver* pWndReceMsg, unsigned uiPortNo, const std::string& devicePath,
                    bool bConfigure, bool bStartThread);
    bool FinishOpen(bool bConfigure, bool bStartThread);
    void ShowHint(const std::string& text) const;

    int m_hComm = -1;
    std::string m_strDevice;
    std::uint64_t m_deviceNode = 0;
    PortReceiver* m_pWndReceMsg = nullptr;
    PortMessageSink* m_pMessages = nullptr;
    std::thread m_pThread;
    int m_hStopEvent = -1; // eventfd
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bReadHeld{false};
    ModemLinesFactory m_modemFactory;
    LineDriver* m_pLineDriver = nullptr;
    std::unique_ptr<ModemLines> m_pModem; // while open
    std::atomic<unsigned> m_outputLines{ModemLines::kOutputs};
    std::unique_ptr<SerialTransport> m_pLink; // a remote port's connection, while open
    std::atomic<bool> m_bConnected{false};
    bool m_bRedial = false; // the next worker calls until the server answers
    PortTap* m_pTap = nullptr;
};
