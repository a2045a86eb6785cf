#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Where a port's worker thread delivers what it receives: the owner window, through a
// queued call. Both operations run on the worker thread; they must return quickly and never
// wait for the window thread (SerialPort::Close, called there, waits for the worker).
class PortReceiver
{
public:
    virtual ~PortReceiver() = default;

    // One received message: the bytes of one read, 1 to 4096 of them, in arrival order.
    // The buffer belongs to the receiver from now on.
    virtual void OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes) = 0;

    // The same with the steady-clock microseconds at which its first byte was read;
    // mustNotWait: the port forwards, so the receiver must not hold the worker back for its
    // own sake (the other port would wait with it).
    virtual void OnPortMessage(unsigned uiPortNo, std::vector<std::uint8_t> bytes,
                               std::int64_t readUs, bool mustNotWait)
    {
        (void)readUs;
        (void)mustNotWait;
        OnPortData(uiPortNo, std::move(bytes));
    }

    // The worker ended by itself (the device hung up or was unplugged, or the line failed);
    // called at most once per started worker, never after a Close. The port stays open and
    // receives nothing until it is closed and opened again. reason: UTF-8, for the user.
    virtual void OnPortStopped(unsigned uiPortNo, std::string reason) = 0;

    // The input modem lines (ModemLines bits) once when the worker starts and then whenever
    // they change; available false: the device has none (a pseudo-terminal), said once.
    virtual void OnModemLines(unsigned uiPortNo, bool available, unsigned lines)
    {
        (void)uiPortNo;
        (void)available;
        (void)lines;
    }

    // A remote port's worker reached its server (where: "host:port"), at open and again
    // after a lost connection.
    virtual void OnPortConnected(unsigned uiPortNo, std::string where)
    {
        (void)uiPortNo;
        (void)where;
    }

    // News about a remote port that does not stop it (an option or a setting the server
    // refused). UTF-8, for the user.
    virtual void OnPortNotice(unsigned uiPortNo, std::string text)
    {
        (void)uiPortNo;
        (void)text;
    }
};
