#pragma once

#include "core/serial/SerialTransport.h"

#include <atomic>
#include <mutex>

// A port served as a plain TCP stream (ser2net's raw mode): the bytes cross as they are.
// Also the socket half of the RFC 2217 transport, which changes what goes on the wire
// through the three protected hooks.
//
// Every byte for the server passes one queue under one lock, so that a protocol command
// from the worker never lands inside data that the window thread is sending. Sends never
// block under the lock: what the socket does not take waits in the queue.
class TcpTransport : public SerialTransport
{
public:
    static constexpr std::size_t kChunk = 65536; // data taken per WriteSome

    explicit TcpTransport(Endpoint endpoint);
    ~TcpTransport() override;

    ConnectResult Connect(int stopFd, int timeoutMs, std::string& reason) override;
    int Fd() const override { return m_fd.load(); }
    ssize_t Read(std::uint8_t* into, std::size_t room, int& error) override;
    bool HasPending() const override;
    void Flush() override;
    void Disconnect() override;

    std::ptrdiff_t WriteSome(const void* bytes, std::size_t length) override;

protected:
    // Under m_mutex. What the client says first on a new connection.
    virtual void Greet(std::vector<std::uint8_t>& out) { (void)out; }
    // Under m_mutex. Turns bytes from the server into the port's data in place (returns
    // its length); answers go to reply.
    virtual std::size_t Decode(std::uint8_t* bytes, std::size_t count,
                               std::vector<std::uint8_t>& reply);
    // Under m_mutex. The wire form of the port's data.
    virtual void Encode(const std::uint8_t* data, std::size_t count,
                        std::vector<std::uint8_t>& out);
    // Queues protocol bytes behind what waits and sends what the socket takes; nothing is
    // queued while not connected (a new connection greets afresh).
    void SendLocked(const std::vector<std::uint8_t>& bytes);

    mutable std::mutex m_mutex;

private:
    // Sends what waits without blocking; false when the connection failed.
    bool FlushLocked();

    std::atomic<int> m_fd{-1};
    std::vector<std::uint8_t> m_pending; // wire bytes not yet taken by the socket
    std::size_t m_pendingSent = 0;       // of which already sent
    std::vector<std::uint8_t> m_reply;
    bool m_drained = false; // the worker's: its last read emptied the socket
};
