#include "core/traffic/PortTraffic.h"

#include "core/receive/TrafficPublisher.h"
#include "core/serial/SerialPort.h"

#include "PortRecorders.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kPorts = 4;
constexpr int kCycle = 251; // the feeders' bytes count up modulo a prime

// A worker listener that keeps the bytes of every port in the order it was given them.
struct StreamListener : TrafficListener
{
    std::chrono::microseconds m_pause{0}; // widens the window of a call under way
    std::mutex m_mutex;
    std::map<unsigned, std::vector<std::uint8_t>> m_bytes;
    std::atomic<bool> m_removed{false};
    std::atomic<int> m_callsAfterRemove{0};

    void OnTraffic(const TrafficMessage& m) override
    {
        {
            std::lock_guard lock(m_mutex);
            auto& to = m_bytes[m.m_port];
            to.insert(to.end(), m.m_bytes, m.m_bytes + m.m_count);
        }
        std::this_thread::sleep_for(m_pause);
        if (m_removed.load()) // a call still under way when Remove returned
            ++m_callsAfterRemove;
    }
    std::size_t Size(unsigned port)
    {
        std::lock_guard lock(m_mutex);
        return m_bytes[port].size();
    }
};

// Whether bytes count up by one modulo kCycle from wherever they begin: nothing lost,
// repeated or out of order.
bool CountsUp(const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 1; i < bytes.size(); ++i)
        if (bytes[i] != (bytes[i - 1] + 1) % kCycle)
            return false;
    return true;
}

} // namespace

// Four ports stream at full speed while a second listener comes and goes: it gets every
// message from its first on, in order; nothing after Remove; the first misses nothing.
TEST(PortTrafficTest, ListenerAddedAndRemovedWhilePortsStream)
{
    PortTraffic traffic;
    RecordingReceiver window;
    TrafficPublisher publisher(traffic, window);
    StreamListener always;
    ASSERT_TRUE(traffic.Add(always, PortTraffic::Runs::OnWorker));

    std::array<std::unique_ptr<PtyPair>, kPorts> ptys;
    std::array<std::unique_ptr<SerialPort>, kPorts> ports;
    for (int i = 0; i < kPorts; ++i) {
        ptys[i] = std::make_unique<PtyPair>(PtyPair::Raw);
        ports[i] = std::make_unique<SerialPort>();
        ports[i]->m_dwPackInterval = 2; // a quiet line ends the last message
        ASSERT_TRUE(ports[i]->Open(&publisher, static_cast<unsigned>(i), ptys[i]->Path()));
    }
    std::atomic<bool> stop{false};
    std::array<std::size_t, kPorts> written{};
    std::vector<std::thread> feeders;
    for (int i = 0; i < kPorts; ++i)
        feeders.emplace_back([&, i] {
            std::string chunk(509, '\0');
            while (!stop.load()) {
                for (char& c : chunk)
                    c = static_cast<char>(written[i]++ % kCycle);
                ASSERT_TRUE(ptys[i]->Send(chunk));
            }
        });

    auto late = std::make_unique<StreamListener>();
    late->m_pause = std::chrono::microseconds(200);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(traffic.Add(*late, PortTraffic::Runs::OnWorker));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    traffic.Remove(*late);
    late->m_removed = true;
    std::array<std::size_t, kPorts> atRemove{};
    for (int i = 0; i < kPorts; ++i)
        atRemove[i] = late->Size(static_cast<unsigned>(i));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    stop = true;
    for (std::thread& t : feeders)
        t.join();
    for (int i = 0; i < kPorts; ++i) {
        const auto port = static_cast<unsigned>(i);
        for (int ms = 0; always.Size(port) < written[i] && ms < 10000; ms += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ports[i]->Close();
        SCOPED_TRACE("port " + std::to_string(i));
        EXPECT_EQ(always.Size(port), written[i]);
        EXPECT_EQ(always.m_bytes[port].front(), 0);
        EXPECT_TRUE(CountsUp(always.m_bytes[port]));
        EXPECT_GT(late->Size(port), 0u);
        EXPECT_TRUE(CountsUp(late->m_bytes[port]));
        EXPECT_EQ(late->Size(port), atRemove[i]);
    }
    EXPECT_EQ(late->m_callsAfterRemove.load(), 0);
}
