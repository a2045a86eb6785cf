#include "core/send/SendService.h"

#include "core/forward/ForwardTap.h"
#include "core/receive/ReceivePipeline.h"
#include "core/send/SendQueues.h"
#include "core/serial/ForwardEnd.h"
#include "core/settings/FrameOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using Events = std::vector<std::string>;

// Everything a send touches writes one event here, in the order it happened.
struct Trace : MonitorSink, ForwardEnd
{
    Events m_events;

    void BeginAppend() override {}
    void EndAppend() override {}
    void AppendLine(const std::vector<MonitorPiece>& pieces) override
    {
        std::string line = "line ";
        for (const MonitorPiece& p : pieces)
            line += p.m_text;
        line.pop_back(); // the line feed
        m_events.push_back(line);
    }
    void ShowStoppedPort(unsigned, const std::string&) override {}
    std::ptrdiff_t WriteSome(const void* bytes, std::size_t length) override
    {
        m_events.push_back("out " + std::string(static_cast<const char*>(bytes), length));
        return static_cast<std::ptrdiff_t>(length);
    }
    int WriteFd() const override { return -1; }
    ModemLines* Lines() const override { return nullptr; }
    void NoteOutputLine(unsigned, bool) override {}
};

struct Listener : TrafficListener
{
    Events& m_events;
    std::string m_name;
    Listener(Events& events, std::string name) : m_events(events), m_name(std::move(name)) {}
    void OnTraffic(const TrafficMessage& m) override
    {
        m_events.push_back(m_name + " " + std::to_string(m.m_port) + (m.m_text ? " text" : ""));
    }
};

struct Caller
{
    bool m_otherThread;
    unsigned m_port;
    std::string m_bytes;
};

struct Row
{
    const char* m_name;
    std::vector<Caller> m_callers;
    Events m_expected;
    int m_wakes; // times the window thread was woken
};

} // namespace

// Whoever sends, the steps come in one order: monitor line, window listeners, worker
// listeners, bytes out; a send from another thread waits for the window thread, and what
// others sent first goes first.
TEST(SendServiceTest, OneOrderForEveryCaller)
{
    const Row rows[] = {
        {"window thread", {{false, 1, "A"}}, {"line A", "window 1 text", "worker 1", "out A"}, 0},
        {"other thread", {{true, 1, "B"}}, {"line B", "window 1 text", "worker 1", "out B"}, 1},
        {"posted sends before the window's own",
         {{true, 1, "C"}, {true, 1, "D"}, {false, 1, "E"}},
         {"line C", "window 1 text", "worker 1", "out C", "line D", "window 1 text", "worker 1",
          "out D", "line E", "window 1 text", "worker 1", "out E"},
         1},
        {"closed port", {{false, 2, "F"}}, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.m_name);
        FrameOptions options;
        options.m_showSent = 1;
        options.m_showPort = 0;
        Trace trace;
        ReceivePipeline pipeline(options, trace, [] { return 0; });
        Listener window(trace.m_events, "window"), worker(trace.m_events, "worker");
        pipeline.Traffic().Add(window, PortTraffic::Runs::OnWindow);
        pipeline.Traffic().Add(worker, PortTraffic::Runs::OnWorker);
        ForwardTap tap;
        SendQueues queues(
            tap, [&](unsigned port) -> ForwardEnd* { return port == 1 ? &trace : nullptr; });
        int wakes = 0;
        SendService service(pipeline, queues, {[&] { ++wakes; }, {}});
        for (const Caller& c : row.m_callers) {
            const std::vector<std::uint8_t> bytes(c.m_bytes.begin(), c.m_bytes.end());
            if (c.m_otherThread) {
                std::thread([&] { EXPECT_TRUE(service.Send(c.m_port, bytes, c.m_bytes)); }).join();
                EXPECT_TRUE(trace.m_events.empty()); // nothing before the window thread's turn
            } else {
                EXPECT_EQ(service.Send(c.m_port, bytes, c.m_bytes), c.m_port == 1);
            }
        }
        service.RunPosted();
        EXPECT_EQ(trace.m_events, row.m_expected);
        EXPECT_EQ(wakes, row.m_wakes);
    }
}
