#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ReceivePipeline;
class SendQueues;

// The one way the program sends bytes to a port, whoever sends (a line of the send editor,
// a cycle, a triggered answer, a script): in this order, for every caller, the monitor line,
// the window listeners of the traffic (decoding of the sent bytes among them), the worker
// listeners, then the bytes out through the port's queue or the tap's.
//
// Send may be called from any thread and never waits for a port or for the window: on the
// window thread (the one that made the service) it runs at once; from another thread it is
// posted, the owner is woken, and RunPosted carries it out there, in the order sent.
class SendService
{
public:
    struct Hooks
    {
        // Any thread: sends wait for RunPosted on the window thread.
        std::function<void()> m_wake;
        // Window thread: bytes went into a queue (the owner flushes what waits).
        std::function<void()> m_written;
    };

    // pipeline and queues outlive this. Made on the window thread.
    SendService(ReceivePipeline& pipeline, SendQueues& queues, Hooks hooks);

    // bytes to port, shown as text in a sent monitor line unless showLine is false. On the
    // window thread: false when the port is not open (nothing is shown then) or its queue
    // dropped the bytes. From another thread: true (the outcome comes later).
    bool Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text,
              bool showLine = true);
    // Window thread: what other threads sent since the last call.
    void RunPosted();

private:
    struct Posted
    {
        unsigned m_port;
        std::vector<std::uint8_t> m_bytes;
        std::string m_text;
        bool m_showLine;
    };
    bool SendNow(unsigned port, const std::vector<std::uint8_t>& bytes, const std::string& text,
                 bool showLine);

    ReceivePipeline& m_pipeline;
    SendQueues& m_queues;
    Hooks m_hooks;
    std::thread::id m_owner;
    std::mutex m_mutex;
    std::deque<Posted> m_posted;
};
