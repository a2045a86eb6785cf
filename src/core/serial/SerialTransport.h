#pragma once

#include "core/serial/ModemLines.h"
#include "core/serial/SerialLine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The byte source of a port whose device is on another machine: `tcp://HOST:PORT` (the
// bytes as they are) or `rfc2217://HOST:PORT` (telnet with the COM-PORT-OPTION, which also
// carries the line settings and the modem lines), as ser2net serves them. A local device
// path is no transport: SerialPort opens the tty itself.
//
// The port's worker connects (never the window thread), reads and disconnects; Write,
// WriteSome, SetLine and the modem lines may be called from the window thread meanwhile.
// The transport only ever connects where the address says; it listens nowhere.
class SerialTransport
{
public:
    struct Endpoint
    {
        bool rfc2217 = false;
        std::string host; // a name, an IPv4 address or an IPv6 address without brackets
        std::uint16_t port = 0;
    };

    enum class ConnectResult
    {
        Connected,
        Failed,  // reason says why, naming host and port
        Stopped, // the stop signal came first
    };

    // A device string with a scheme ("tcp://", "rfc2217://", or any other "name://"): it
    // names no file, whether or not it is well formed.
    static bool IsRemote(std::string_view device);
    // "tcp://HOST:PORT" or "rfc2217://HOST:PORT" (scheme in any case; an IPv6 address in
    // brackets; port 1 to 65535).
    static bool Parse(std::string_view device, Endpoint& endpoint);
    // The transport for a well-formed remote address, else null.
    static std::unique_ptr<SerialTransport> Create(std::string_view device);
    // "host:port", "[::1]:port": how the user names the server.
    static std::string HostPort(const Endpoint& endpoint);

    virtual ~SerialTransport() = default;

    const Endpoint& Where() const { return m_endpoint; }
    std::string HostPort() const { return HostPort(m_endpoint); }

    // --- The worker -----------------------------------------------------------------------
    // Connects within timeoutMs, giving up at once when stopFd becomes readable. A
    // transport that was connected is disconnected first.
    virtual ConnectResult Connect(int stopFd, int timeoutMs, std::string& reason) = 0;
    // The socket to wait on while connected, else -1.
    virtual int Fd() const = 0;
    // Like read(2) on the port: >0 data bytes; 0 nothing now (also when only protocol bytes
    // came); -1 with error set (0: the server closed the connection).
    virtual ssize_t Read(std::uint8_t* into, std::size_t room, int& error) = 0;
    // Bytes that could not be sent at once wait; the worker waits for room and flushes.
    virtual bool HasPending() const = 0;
    virtual void Flush() = 0;
    virtual void Disconnect() = 0;
    // What the user should be told about the connection (a refused option, a setting the
    // server did not take), oldest first; taken.
    virtual std::vector<std::string> TakeNotes() { return {}; }

    // --- Any thread -----------------------------------------------------------------------
    // As SerialPort::WriteSome; nothing is written while not connected (-1).
    virtual std::ptrdiff_t WriteSome(const void* bytes, std::size_t length) = 0;
    // The port's line settings, in force now and at every connect where the transport
    // carries them (RFC 2217); raw TCP leaves the line as the server has it.
    virtual void SetLine(const SerialLine::LineSettings& line, int flowControl)
    {
        (void)line;
        (void)flowControl;
    }
    // The modem lines as the transport carries them, or null (raw TCP has none).
    virtual std::unique_ptr<ModemLines> MakeModemLines() { return nullptr; }

protected:
    explicit SerialTransport(Endpoint endpoint) : m_endpoint(std::move(endpoint)) {}

private:
    Endpoint m_endpoint;
};
