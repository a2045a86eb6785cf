#pragma once

// A TCP server of the test's own on loopback, standing in for ser2net: the test accepts,
// sends and reads by hand, and may stop listening and listen again on the same port.

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

struct LoopbackServer
{
    int listener = -1;
    int client = -1;
    std::uint16_t port = 0; // 0 until it listens

    LoopbackServer() { Listen(); }
    ~LoopbackServer()
    {
        StopListening();
        close(listener);
    }

    // Listens (again) on its port, or on a free one the first time.
    bool Listen()
    {
        if (listener < 0)
            listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        socklen_t size = sizeof a;
        if (bind(listener, reinterpret_cast<sockaddr*>(&a), size) != 0 || listen(listener, 4) != 0
            || getsockname(listener, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            return false;
        port = ntohs(a.sin_port);
        return true;
    }
    // Closes the connection and the listener: calls are refused until Listen.
    void StopListening()
    {
        Drop();
        close(listener);
        listener = -1;
    }
    void Drop()
    {
        if (client >= 0)
            close(client);
        client = -1;
    }
    // True once a client is connected (waiting up to timeoutMs for one).
    bool Accept(int timeoutMs = 5000)
    {
        pollfd p{listener, POLLIN, 0};
        if (client < 0 && poll(&p, 1, timeoutMs) > 0)
            client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        return client >= 0;
    }
    bool Send(const std::vector<std::uint8_t>& bytes) const
    {
        return send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL)
               == static_cast<ssize_t>(bytes.size());
    }
    std::vector<std::uint8_t> Receive(std::size_t want, int timeoutMs = 5000) const
    {
        std::vector<std::uint8_t> got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < want && std::chrono::steady_clock::now() < until) {
            pollfd p{client, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            std::uint8_t buffer[4096];
            const ssize_t n = recv(client, buffer, std::min(sizeof buffer, want - got.size()), 0);
            if (n <= 0)
                break;
            got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }
};
