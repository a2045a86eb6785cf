#include "core/transfer/XmodemReceiver.h"
#include "core/transfer/XmodemSender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

struct MemorySink : XmodemReceiver::Sink
{
    bool failWrites = false;
    bool Begin(const std::string& n, std::optional<std::uint64_t>, std::string&) override
    {
        name = n;
        return true;
    }
    bool Write(const std::uint8_t* bytes, std::size_t count, std::string& error) override
    {
        error = "disk full";
        content.append(reinterpret_cast<const char*>(bytes), count);
        return !failWrites;
    }
    bool End(std::string&) override { return ended = true; }
    void Abort() override { content = "(aborted)"; }
    std::string name;
    std::string content;
    bool ended = false;
};

struct Outcome
{
    FileTransfer::State sender;
    FileTransfer::State receiver;
    std::string failure;
};

// Sender and receiver joined by a line that damages every damageEvery-th byte (0: none, -1:
// no line at all); cancelAfter > 0: the sender's user cancels once that many blocks went
// through; the file cannot be read from readFailsAt on.
Outcome Transfer(TransferProtocol protocol, const std::string& file, MemorySink& sink,
                 int damageEvery = 0, std::uint32_t cancelAfter = 0,
                 std::size_t readFailsAt = std::string::npos)
{
    std::size_t at = 0;
    XmodemSender sender(protocol, {}, "a.bin", file.size(),
                        [&](std::uint8_t* into, std::size_t room, std::string& error) {
                            error = "bad sector";
                            if (at >= readFailsAt)
                                return std::ptrdiff_t{-1};
                            const std::size_t n = std::min(room, file.size() - at);
                            std::memcpy(into, file.data() + at, n);
                            at += n;
                            return static_cast<std::ptrdiff_t>(n);
                        });
    XmodemReceiver receiver(protocol, {}, sink);
    std::int64_t now = 0;
    long passed = 0;
    const auto carry = [&](FileTransfer& from, FileTransfer& to) {
        std::vector<std::uint8_t> bytes = from.TakeOutput();
        for (auto& b : bytes)
            if (damageEvery > 0 && ++passed % damageEvery == 0)
                b ^= 0x55;
        if (damageEvery >= 0)
            to.OnBytes(bytes.data(), bytes.size(), now);
    };
    receiver.Start(now);
    sender.Start(now);
    while (now < 10'000'000
           && (sender.GetState() == FileTransfer::State::Running
               || receiver.GetState() == FileTransfer::State::Running)) {
        if (cancelAfter > 0 && sender.Progress().m_blocks == cancelAfter)
            sender.Cancel();
        if (sender.HasOutput() || receiver.HasOutput()) {
            carry(receiver, sender);
            carry(sender, receiver);
            continue;
        }
        std::int64_t next = -1;
        for (const FileTransfer* t : {static_cast<const FileTransfer*>(&sender),
                                      static_cast<const FileTransfer*>(&receiver)})
            if (t->Deadline() >= 0 && (next < 0 || t->Deadline() < next))
                next = t->Deadline();
        if (next < 0)
            break;
        now = std::max(now + 1, next);
        sender.OnTime(now);
        receiver.OnTime(now);
    }
    return {sender.GetState(), receiver.GetState(), sender.Failure() + receiver.Failure()};
}

// What the receiver keeps: YMODEM the file itself, XMODEM the file padded to its blocks.
std::string Expected(TransferProtocol protocol, const std::string& file)
{
    if (protocol == TransferProtocol::Ymodem || file.empty())
        return file;
    std::string padded = file;
    std::size_t left = file.size();
    std::size_t blocks = 0;
    while (left > 0) {
        const std::size_t size = protocol == TransferProtocol::Xmodem1k && left > 896 ? 1024 : 128;
        blocks += size;
        left -= std::min(left, size);
    }
    padded.resize(blocks, '\x1A');
    return padded;
}

} // namespace

// Both machines against each other without a line, clean and through a line that damages
// one byte in 200 (128-byte blocks then mostly need a second try).
TEST(XmodemTransferTest, FilesArriveWholeThroughCleanAndDamagingLines)
{
    for (const auto protocol :
         {TransferProtocol::Xmodem, TransferProtocol::Xmodem1k, TransferProtocol::Ymodem})
        for (const std::size_t size : {0, 1, 127, 128, 129, 1023, 1024, 1025, 70000})
            for (const int damage : {0, 200}) {
                if (damage && protocol != TransferProtocol::Xmodem)
                    continue; // a 1K block almost never crosses such a line whole
                SCOPED_TRACE(std::string(TransferProtocolTitle(protocol)) + " size "
                             + std::to_string(size) + " damage " + std::to_string(damage));
                std::string file(size, '\0');
                for (std::size_t i = 0; i < size; ++i)
                    file[i] = static_cast<char>(i * 7 + i / 251);
                MemorySink sink;
                const Outcome o = Transfer(protocol, file, sink, damage);
                EXPECT_EQ(o.sender, FileTransfer::State::Done) << o.failure;
                EXPECT_EQ(o.receiver, FileTransfer::State::Done) << o.failure;
                EXPECT_TRUE(sink.ended);
                EXPECT_EQ(sink.content, Expected(protocol, file));
                EXPECT_EQ(sink.name, protocol == TransferProtocol::Ymodem ? "a.bin" : "");
            }
}

TEST(XmodemTransferTest, CancelEndsBothSidesAndDropsTheFile)
{
    MemorySink sink;
    const Outcome o = Transfer(TransferProtocol::Ymodem, std::string(10000, 'x'), sink, 0, 3);
    EXPECT_EQ(o.sender, FileTransfer::State::Failed);
    EXPECT_EQ(o.receiver, FileTransfer::State::Failed);
    EXPECT_NE(o.failure.find("发送方取消了传输"), std::string::npos) << o.failure;
    EXPECT_EQ(sink.content, "(aborted)");
}

// What went wrong is named, with the blocks that went through, on the side it happened.
TEST(XmodemTransferTest, FailuresNameWhatHappened)
{
    struct Row
    {
        int damageEvery;
        std::size_t readFailsAt;
        bool writeFails;
        const char* failure;
    };
    const Row rows[] = {
        {-1, std::string::npos, false, "接收方没有开始接收（等了 100 秒）"},
        {-1, std::string::npos, false, "发送方没有开始发送（等了 100 秒）"},
        {0, 3 * 1024, false, "读文件出错：bad sector（已发送 3 块）"},
        {0, std::string::npos, true, "写文件出错：disk full（已接收 0 块）"},
        {0, 3 * 1024, false, "发送方取消了传输（已接收 3 块）"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failure);
        MemorySink sink;
        sink.failWrites = row.writeFails;
        const Outcome o = Transfer(TransferProtocol::Ymodem, std::string(10000, 'x'), sink,
                                   row.damageEvery, 0, row.readFailsAt);
        EXPECT_EQ(o.sender, FileTransfer::State::Failed);
        EXPECT_EQ(o.receiver, FileTransfer::State::Failed);
        EXPECT_NE(o.failure.find(row.failure), std::string::npos) << o.failure;
        EXPECT_NE(sink.content.size(), 10000u);
    }
}
