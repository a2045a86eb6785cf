#pragma once

// Writes a whole buffer to an open port for the tests and benchmarks, as a caller that may
// wait would: the program itself never waits for a port (its sends go through queues).

#include "core/serial/SerialPort.h"

#include <cerrno>
#include <cstddef>
#include <poll.h>
#include <string_view>

// Every byte, waiting for room while the driver's queue is full; the number written (fewer
// only when the port is closed or its line failed).
inline std::size_t WriteAll(SerialPort& port, const void* bytes, std::size_t length)
{
    const auto* p = static_cast<const char*>(bytes);
    std::size_t done = 0;
    while (done < length) {
        const std::ptrdiff_t n = port.WriteSome(p + done, length - done);
        if (n < 0)
            break;
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        pollfd room{port.WriteFd(), POLLOUT, 0};
        if (room.fd < 0 || (poll(&room, 1, -1) < 0 && errno != EINTR))
            break;
        if (room.revents & (POLLERR | POLLHUP | POLLNVAL))
            break;
    }
    return done;
}

inline std::size_t WriteAll(SerialPort& port, std::string_view text)
{
    return WriteAll(port, text.data(), text.size());
}
