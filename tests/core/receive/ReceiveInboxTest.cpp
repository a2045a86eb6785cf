#include "core/receive/ReceiveInbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

TEST(ReceiveInbox, OneWakeUpPerBatchAndOrderKeptPerPort)
{
    std::atomic<int> wakes{0};
    ReceiveInbox inbox([&] { ++wakes; });
    std::thread a([&] {
        for (std::uint8_t i = 0; i < 200; ++i)
            inbox.Push(0, {i});
    });
    std::thread b([&] {
        for (std::uint8_t i = 0; i < 200; ++i)
            inbox.Push(1, {i, i});
        inbox.PushStopped(1, "gone");
    });
    a.join();
    b.join();
    EXPECT_EQ(wakes.load(), 1);
    EXPECT_EQ(inbox.WaitingBytes(), 600u);

    auto messages = inbox.TakeAll();
    ASSERT_EQ(messages.size(), 401u);
    int next[2] = {0, 0};
    for (const auto& m : messages) {
        if (m.m_stopped) {
            EXPECT_EQ(m.m_port, 1u);
            EXPECT_EQ(next[1], 200); // after every message of its port
            EXPECT_EQ(m.m_reason, "gone");
            continue;
        }
        EXPECT_EQ(m.m_bytes.front(), next[m.m_port]++);
    }
    EXPECT_EQ(inbox.WaitingBytes(), 0u);
    inbox.Push(0, {1});
    EXPECT_EQ(wakes.load(), 2); // re-armed by the take
}

TEST(ReceiveInbox, FullInboxHoldsThePusherUntilTaken)
{
    // Each way a worker pushes; a worker of the forwarding pair must not wait for the window.
    const struct
    {
        const char* name;
        std::function<void(ReceiveInbox&)> push;
        bool held;
    } ways[] = {
        {"a port's worker", [](ReceiveInbox& in) { in.Push(0, {1}); }, true},
        {"a worker that may wait", [](ReceiveInbox& in) { in.Push(0, {1}, 0, true); }, true},
        {"a worker of the pair", [](ReceiveInbox& in) { in.Push(0, {1}, 0, false); }, false},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ReceiveInbox inbox({}, 10);
        inbox.Push(0, std::vector<std::uint8_t>(10));
        std::atomic<bool> pushed{false};
        std::chrono::steady_clock::duration took{};
        std::thread worker([&] {
            const auto start = std::chrono::steady_clock::now();
            way.push(inbox);
            took = std::chrono::steady_clock::now() - start;
            pushed = true;
        });
        if (way.held) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_FALSE(pushed.load());
            EXPECT_EQ(inbox.TakeAll().size(), 1u);
        }
        worker.join();
        EXPECT_TRUE(pushed.load());
        if (!way.held) {
            EXPECT_LT(took, std::chrono::milliseconds(ReceiveInbox::kLongestWaitMs));
        }
        EXPECT_EQ(inbox.TakeAll().size(), way.held ? 1u : 2u);
    }

    // Released (ports closing): a full inbox does not hold the pusher.
    ReceiveInbox inbox({}, 10);
    inbox.Push(0, std::vector<std::uint8_t>(10));
    inbox.SetReleased(true);
    const auto start = std::chrono::steady_clock::now();
    inbox.Push(0, {2});
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(ReceiveInbox::kLongestWaitMs));
    EXPECT_EQ(inbox.TakeAll().size(), 2u);
}

// A window busy for longer than a push waits: the worker goes on past the capacity, and
// nothing is lost or doubled on the way.
TEST(ReceiveInbox, SlowWindowLosesNothing)
{
    constexpr std::size_t kCapacity = 10;
    constexpr int kCount = 40;
    ReceiveInbox inbox({}, kCapacity);
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < kCount; ++i)
            inbox.Push(0, {static_cast<std::uint8_t>(i)});
        done = true;
    });

    // No take until two pushes have given up waiting (or long enough that they should have).
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (inbox.WaitingBytes() < kCapacity + 2 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(inbox.WaitingBytes(), kCapacity + 2);

    std::vector<std::uint8_t> got;
    for (;;) {
        const bool last = done.load();
        for (const auto& m : inbox.TakeAll())
            got.insert(got.end(), m.m_bytes.begin(), m.m_bytes.end());
        if (last)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kCount));
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(got[i], i);
}

// A flood wakes the taker only until it is judged one (every kBatchMs): then pushes wake
// nobody and the taker is told to look again, until a look finds too little. Small messages
// as fast wake the taker for each batch.
TEST(ReceiveInbox, AFloodIsLookedAtAndSmallMessagesWake)
{
    std::int64_t now = 0;
    int wakes = 0;
    ReceiveInbox inbox([&] { ++wakes; }, ReceiveInbox::kDefaultCapacity, [&] { return now; });
    const auto push = [&](std::int64_t at, std::size_t bytes) {
        now = at;
        inbox.Push(0, std::vector<std::uint8_t>(bytes));
    };
    const auto take = [&](std::int64_t at) {
        now = at;
        return inbox.TakeAll().size();
    };
    const int batch = ReceiveInbox::kBatchMs;
    const std::size_t full = ReceiveInbox::kStreamBytes;

    // Requests and answers of a few bytes every millisecond: a wake-up each.
    for (int ms = 0; ms <= 4 * batch; ++ms) {
        push(ms, 8);
        EXPECT_EQ(take(ms), 1u);
        EXPECT_EQ(inbox.LookAgainMs(), -1);
    }
    EXPECT_EQ(wakes, 4 * batch + 1);

    // A flood of full messages: woken until the first judgement, then looked at.
    wakes = 0;
    const std::int64_t start = 100;
    for (int ms = 0; ms <= batch; ++ms) {
        push(start + ms, full);
        EXPECT_EQ(take(start + ms), 1u);
    }
    EXPECT_EQ(inbox.LookAgainMs(), batch);
    push(start + batch + 1, full);
    push(start + batch + 2, full);
    EXPECT_EQ(wakes, batch + 1);
    EXPECT_EQ(take(start + 2 * batch), 2u);
    EXPECT_EQ(inbox.LookAgainMs(), batch);
    EXPECT_EQ(take(start + 3 * batch), 0u); // the flood has ended
    EXPECT_EQ(inbox.LookAgainMs(), -1);
    push(start + 3 * batch + 1, full);
    EXPECT_EQ(wakes, batch + 2);
}
