#include "core/capture/PcapngReplay.h"
#include "core/capture/PcapngReader.h"
#include "core/capture/PcapngWriter.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using E = PcapngWriter::Event;

// A capture of COM1 and COM2: what COM1 received (packets of `count` bytes, the first byte
// numbering them, at the times given) among what it sent and what COM2 received.
std::vector<std::uint8_t> Capture(const std::vector<std::int64_t>& receivedAtUs)
{
    PcapngWriter writer;
    writer.BeginSection("test");
    writer.AddInterface(0, "COM1", "/dev/ttyUSB0");
    writer.AddInterface(1, "COM2", "/dev/ttyUSB1");
    for (std::size_t i = 0; i < receivedAtUs.size(); ++i) {
        const std::uint8_t bytes[] = {static_cast<std::uint8_t>(i), 0xAA, 0x55};
        writer.AddPacket(0, receivedAtUs[i], E::Received, 0, bytes, sizeof bytes, {});
        writer.AddPacket(0, receivedAtUs[i] + 10, E::Sent, 0, bytes, 1, {});
        writer.AddPacket(1, receivedAtUs[i] + 20, E::Break, 0, nullptr, 0, {});
    }
    return writer.Take();
}

// Bad files are refused whole, naming the block and its offset; a sound one gives COM1's
// received packets only.
TEST(PcapngReplayTest, BadFilesAreNamedAndRefused)
{
    const std::vector<std::uint8_t> good = Capture({1'000'000, 1'500'000});
    // Where the blocks begin: the section header, the interfaces of COM1 and COM2.
    const auto lengthAt = [&](std::size_t at) {
        std::uint32_t length = 0;
        std::memcpy(&length, &good[at + 4], 4);
        return static_cast<std::size_t>(length);
    };
    const std::size_t idb1 = lengthAt(0);
    const std::size_t idb2 = idb1 + lengthAt(idb1);
    struct Row
    {
        const char* m_what;
        std::vector<std::uint8_t> m_file;
        std::string m_error; // empty: sound
    };
    std::vector<Row> rows = {
        {"sound", good, ""},
        {"empty", {}, "第 1 块（偏移 0）：不是 pcapng"},
        {"text", std::vector<std::uint8_t>(64, 'x'), "第 1 块（偏移 0）：不是 pcapng"},
        {"cut in a block", {good.begin(), good.end() - 7}, "截断"},
        {"another link type", good,
         "第 3 块（偏移 " + std::to_string(idb2) + "）：接口 COM2 的链路类型是 1"},
        {"trailer length", good, "第 2 块（偏移 " + std::to_string(idb1) + "）：块尾的长度"},
        {"byte order", good, "第 1 块（偏移 0）：节头块的字节序"},
    };
    rows[4].m_file[idb2 + 8] = 1;  // LINKTYPE_ETHERNET
    rows[5].m_file[idb2 - 4] ^= 4; // the repeated length
    rows[6].m_file[8] = 0x00;      // the byte-order magic
    for (const Row& row : rows) {
        PcapngReader reader;
        const bool ok = reader.Parse(row.m_file);
        EXPECT_EQ(ok, row.m_error.empty()) << row.m_what;
        EXPECT_NE(reader.Error().find(row.m_error), std::string::npos)
            << row.m_what << ": " << reader.Error();
        EXPECT_TRUE(ok || reader.Packets().empty()) << row.m_what;
    }
    PcapngReader reader;
    ASSERT_TRUE(reader.Parse(good));
    PcapngReplay replay;
    ASSERT_TRUE(replay.Choose(reader, "COM7")); // the only port with received data
    ASSERT_EQ(replay.Packets().size(), 2u);
    EXPECT_EQ(replay.Packets()[1]->m_timeUs, 1'500'000);
    EXPECT_EQ(replay.Packets()[1]->m_bytes, (std::vector<std::uint8_t>{1, 0xAA, 0x55}));
}

// Replayed into a pseudo-terminal, every byte arrives, each packet at its captured time from
// the first divided by the speed.
TEST(PcapngReplayTest, GapsKeptOnAPty)
{
    for (const double speed : {1.0, 2.5}) {
        std::vector<std::int64_t> at = {5'000'000};
        for (int i = 1; i < 25; ++i)
            at.push_back(at.back() + 1000 + (i * 7919) % 60000); // 1 to 61 ms apart
        PcapngReader reader;
        ASSERT_TRUE(reader.Parse(Capture(at)));
        PcapngReplay replay;
        ASSERT_TRUE(replay.Choose(reader, "COM1"));

        PtyPair pty(PtyPair::Raw);
        std::vector<std::pair<std::int64_t, std::uint8_t>> arrived; // time, first byte
        std::string bytes;
        std::atomic<bool> stop{false};
        const auto now = [] {
            using namespace std::chrono;
            return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
        };
        std::thread far([&] {
            char buffer[256];
            while (!stop.load()) {
                pollfd fd{pty.Master(), POLLIN, 0};
                if (::poll(&fd, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(pty.Master(), buffer, sizeof buffer);
                // Each packet that begins in what was read arrived now.
                for (ssize_t i = 0; i < n; ++i, bytes += buffer[i - 1])
                    if (bytes.size() % 3 == 0)
                        arrived.emplace_back(now(), static_cast<std::uint8_t>(buffer[i]));
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the far end reads
        const bool ended = replay.Play(
            speed,
            [&](const std::uint8_t* b, std::size_t n, std::string&) {
                return ::write(pty.Slave(), b, n) == static_cast<ssize_t>(n);
            },
            {}, stop);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop = true;
        far.join();
        ASSERT_TRUE(ended);
        ASSERT_EQ(bytes.size(), 3 * at.size()) << speed;
        ASSERT_EQ(arrived.size(), at.size()) << speed;
        // Each packet's lateness against its captured time from the first divided by the
        // speed: the same for all but the jitter of a loaded machine (the first one's too;
        // tens of milliseconds on a shared builder, so the bound catches a wrong schedule, not
        // a slow one: the accuracy itself is the benchmark's to measure).
        std::vector<double> late;
        for (std::size_t i = 0; i < at.size(); ++i) {
            EXPECT_EQ(arrived[i].second, i);
            late.push_back(static_cast<double>(arrived[i].first - arrived[0].first)
                           - static_cast<double>(at[i] - at[0]) / speed);
        }
        const auto [least, most] = std::minmax_element(late.begin(), late.end());
        EXPECT_LT(*most - *least, 30000) << speed << "x: " << *least << " to " << *most << " µs";
    }
}

} // namespace
