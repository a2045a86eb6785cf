#include "core/forward/ForwardQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// A port whose driver takes at most `room` bytes until the far end reads, and at most
// `perCall` bytes per write.
struct FakePort
{
    std::size_t room = 0;
    std::size_t perCall = SIZE_MAX;
    bool failed = false;
    int writes = 0;
    std::string out;

    ForwardQueue::Writer Writer()
    {
        return [this](const std::uint8_t* bytes, std::size_t count) -> std::ptrdiff_t {
            ++writes;
            if (failed)
                return -1;
            const std::size_t n = std::min({room, count, perCall});
            out.append(reinterpret_cast<const char*>(bytes), n);
            room -= n;
            return static_cast<std::ptrdiff_t>(n);
        };
    }
};

bool Append(ForwardQueue& q, const std::string& chunk)
{
    return q.Append(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
}

std::string Pattern(std::size_t size, char seed)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>(seed + i * 7 + i / 251);
    return s;
}

} // namespace

// Chunks go out in order through a port that takes part, then nothing, then everything;
// what waits is written in one go; past the limit whole chunks are dropped and counted.
TEST(ForwardQueueTest, KeepsOrderThroughPartialWritesAndDropsWholeChunksAtTheLimit)
{
    ForwardQueue q(10);
    FakePort port;
    EXPECT_TRUE(Append(q, "abc"));
    EXPECT_TRUE(Append(q, "de"));
    port.room = 3;
    EXPECT_EQ(q.Flush(port.Writer()), 3);
    EXPECT_EQ(q.Flush(port.Writer()), 0);
    EXPECT_EQ(q.Waiting(), 2u);
    EXPECT_TRUE(Append(q, "fg"));
    port.room = 100;
    port.writes = 0;
    EXPECT_EQ(q.Flush(port.Writer()), 4);
    EXPECT_EQ(port.writes, 1); // "de" and "fg" in one write
    EXPECT_EQ(port.out, "abcdefg");
    EXPECT_TRUE(q.IsEmpty());

    EXPECT_TRUE(Append(q, "123456"));
    EXPECT_FALSE(Append(q, "78901"));
    EXPECT_TRUE(Append(q, "7890"));
    EXPECT_EQ(q.Waiting(), 10u);
    EXPECT_EQ(q.Dropped(), 5u);
    port.perCall = 3; // a driver that takes a write in pieces
    EXPECT_EQ(q.Flush(port.Writer()), 10);
    EXPECT_EQ(port.out, "abcdefg1234567890");

    // A port that fails drops what waits.
    EXPECT_TRUE(Append(q, "z"));
    port.failed = true;
    EXPECT_EQ(q.Flush(port.Writer()), -1);
    EXPECT_TRUE(q.IsEmpty());
}

// Written bytes are cut off the front while more keep coming: nothing is lost or repeated.
TEST(ForwardQueueTest, LongRunThroughASlowPortComesOutWhole)
{
    ForwardQueue q;
    FakePort port;
    std::string in;
    for (int turn = 0; turn < 400; ++turn) {
        const std::string chunk = Pattern(4096, static_cast<char>(turn));
        ASSERT_TRUE(Append(q, chunk));
        in += chunk;
        // The far end reads nothing for a while, then unevenly: a backlog that drains slowly.
        port.room = turn < 100 ? 0 : static_cast<std::size_t>((turn * 7919) % 9000);
        ASSERT_GE(q.Flush(port.Writer()), 0);
    }
    port.room = SIZE_MAX;
    q.Flush(port.Writer());
    EXPECT_TRUE(port.out == in);
    EXPECT_TRUE(q.IsEmpty());
}
