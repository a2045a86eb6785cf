#include "ForwardQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// A port whose driver takes at most `room` bytes until the far end reads.
struct FakePort
{
    std::size_t room = 0;
    std::size_t perCall = SIZE_MAX; // a driver may take a write in pieces
    bool failed = false;
    std::string out;

    ForwardQueue::Writer Writer()
    {
        return [this](const std::uint8_t* bytes, std::size_t count) -> std::ptrdiff_t {
            if (failed)
                return -1;
            const std::size_t n = std::min({room, count, perCall});
            out.append(reinterpret_cast<const char*>(bytes), n);
            room -= n;
            return static_cast<std::ptrdiff_t>(n);
        };
    }
};

ForwardQueue::Result Forward(ForwardQueue& q, FakePort& port, const std::string& chunk)
{
    return q.Forward(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size(), port.Writer());
}

} // namespace

// A port that takes part of a chunk, then nothing, then everything: every byte comes out
// once and in order; a chunk is never written ahead of one that waits.
TEST(ForwardQueueTest, KeepsOrderThroughPartialWritesAndDropsWholeChunksAtTheLimit)
{
    ForwardQueue q(10);
    FakePort port;
    port.room = 3;
    EXPECT_EQ(Forward(q, port, "abcde"), ForwardQueue::Result::Queued);
    EXPECT_EQ(port.out, "abc");
    EXPECT_EQ(q.Waiting(), 2u);

    port.room = 100; // the next chunk must wait behind "de", not pass it
    EXPECT_EQ(Forward(q, port, "fg"), ForwardQueue::Result::Written);
    EXPECT_EQ(port.out, "abcdefg");
    EXPECT_TRUE(q.IsEmpty());

    // Full port: chunks wait up to the limit; one that would pass it is dropped whole and
    // counted, and a later one that fits is still kept.
    port.room = 0;
    EXPECT_EQ(Forward(q, port, "123456"), ForwardQueue::Result::Queued);
    EXPECT_EQ(Forward(q, port, "78901"), ForwardQueue::Result::Dropped);
    EXPECT_EQ(Forward(q, port, "7890"), ForwardQueue::Result::Queued);
    EXPECT_EQ(q.Waiting(), 10u);
    EXPECT_EQ(q.Dropped(), 5u);

    port.room = 4;
    EXPECT_EQ(q.Flush(port.Writer()), 4);
    port.room = 100;
    EXPECT_EQ(q.Flush(port.Writer()), 6);
    EXPECT_EQ(port.out, "abcdefg1234567890");
    EXPECT_EQ(q.Flush(port.Writer()), 0);

    // A driver that took part of what waited may take more a moment later; the next chunk
    // still goes behind what waits.
    q.Clear();
    port.out.clear();
    port.room = 100;
    port.perCall = 2;
    EXPECT_EQ(Forward(q, port, "abcde"), ForwardQueue::Result::Queued);
    EXPECT_EQ(Forward(q, port, "fg"), ForwardQueue::Result::Queued);
    port.perCall = SIZE_MAX;
    EXPECT_EQ(q.Flush(port.Writer()), 3);
    EXPECT_EQ(port.out, "abcdefg");

    // A chunk bigger than the limit still goes out when the port takes its head at once.
    port.room = 5;
    port.out.clear();
    EXPECT_EQ(Forward(q, port, std::string(20, 'x')), ForwardQueue::Result::Queued);
    EXPECT_EQ(q.Waiting(), 15u);

    // A port that fails drops what waits.
    port.failed = true;
    EXPECT_EQ(q.Flush(port.Writer()), -1);
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(Forward(q, port, "z"), ForwardQueue::Result::Failed);
}
