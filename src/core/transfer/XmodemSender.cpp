#include "core/transfer/XmodemSender.h"

#include "core/text/CoreText.h"

#include <algorithm>
#include <cstdio>

namespace {

// Where the 1K protocols change to 128-byte blocks: what would fit in seven of them.
constexpr std::uint64_t kShortTail = 7 * 128;
// The receiver's one-second waits an answer may take: for a byte that was lost, then for the
// quiet line after a damaged block or an EOT (lrzsz's rx waits a whole second each time). A
// sender that repeated itself after one second would fall into that silence every time.
constexpr int kAnswerWaits = 3;

} // namespace

XmodemSender::XmodemSender(TransferProtocol protocol, const TransferTimings& timings,
                           std::string name, std::uint64_t size, Reader read)
    : FileTransfer(timings), m_protocol(protocol), m_size(size), m_read(std::move(read))
{
    m_progress.m_fileName = std::move(name);
    m_progress.m_total = size;
}

void XmodemSender::Start(std::int64_t nowMs)
{
    m_phase = Phase::WaitStart;
    m_tries = 0;
    SetDeadline(nowMs + m_timings.m_firstReplyMs);
}

void XmodemSender::OnByte(std::uint8_t byte, std::int64_t nowMs)
{
    if (HeardCancel(byte)) {
        Fail(CoreText::Args(VRL_TR("XmodemSender", "接收方取消了传输（已发送 %1 块）"), {Blocks()}),
             false);
        return;
    }
    const bool start = byte == kNak || byte == kCrcStart;
    switch (m_phase) {
    case Phase::WaitStart:
        if (!start)
            return;
        m_progress.m_crc = byte == kCrcStart;
        if (m_protocol == TransferProtocol::Ymodem)
            SendHeader(nowMs);
        else
            SendNext(nowMs);
        return;
    case Phase::WaitHeaderAck:
        if (byte == kAck) {
            m_phase = Phase::WaitDataStart;
            m_tries = 0;
            SetDeadline(nowMs + m_timings.m_firstReplyMs);
        } else if (byte == kNak) {
            Resend(nowMs);
        }
        return;
    case Phase::WaitDataStart:
        if (start)
            SendNext(nowMs);
        return;
    case Phase::WaitBlockAck:
        if (byte == kAck) {
            m_progress.m_bytes += m_blockData;
            ++m_progress.m_blocks;
            SendNext(nowMs);
        } else if (byte == kNak) {
            // A repeated start ('C') is not taken for a NAK: it was mostly sent before the
            // block arrived, and answering it twice would pair the next ACK with the wrong
            // block. A receiver that missed the block gets it again at the time-out.
            Resend(nowMs);
        }
        return;
    case Phase::WaitEotAck:
        if (byte == kAck) {
            if (m_protocol != TransferProtocol::Ymodem) {
                Finish();
                return;
            }
            m_phase = Phase::WaitBatchStart;
            m_tries = 0;
            SetDeadline(nowMs + m_timings.m_firstReplyMs);
        } else if (byte == kNak) {
            // YMODEM receivers answer the first EOT with NAK to be sure of it.
            Resend(nowMs);
        }
        return;
    case Phase::WaitBatchStart:
        if (start)
            SendEndOfBatch(nowMs);
        return;
    case Phase::WaitBatchAck:
        if (byte == kAck)
            Finish();
        else if (byte == kNak)
            Resend(nowMs);
        return;
    }
}

void XmodemSender::OnTimeout(std::int64_t nowMs)
{
    if (m_phase == Phase::WaitStart || m_phase == Phase::WaitDataStart
        || m_phase == Phase::WaitBatchStart) {
        ++m_progress.m_retries;
        if (++m_tries < m_timings.m_retries) {
            SetDeadline(nowMs + m_timings.m_firstReplyMs);
            return;
        }
        if (m_phase == Phase::WaitStart)
            Fail(CoreText::Args(VRL_TR("XmodemSender", "接收方没有开始接收（等了 %1 秒）"),
                                {std::to_string(static_cast<std::int64_t>(m_tries)
                                                * m_timings.m_firstReplyMs / 1000)}),
                 true);
        else
            Fail(CoreText::Args(VRL_TR("XmodemSender", "接收方不再应答（已发送 %1 块）"),
                                {Blocks()}),
                 true);
        return;
    }
    Resend(nowMs);
}

void XmodemSender::SendHeader(std::int64_t nowMs)
{
    // Name NUL size, the time in octal, the rest zeros; a long name needs a 1K block.
    std::vector<std::uint8_t> data(m_progress.m_fileName.begin(), m_progress.m_fileName.end());
    data.push_back(0);
    std::string size = std::to_string(m_size);
    if (m_modified > 0) {
        char octal[32];
        std::snprintf(octal, sizeof octal, " %llo", static_cast<unsigned long long>(m_modified));
        size += octal;
    }
    data.insert(data.end(), size.begin(), size.end());
    data.resize(data.size() < 128 ? 128 : 1024, 0);
    m_block = MakeBlock(0, data.data(), data.size(), m_progress.m_crc);
    m_blockData = 0;
    m_phase = Phase::WaitHeaderAck;
    m_tries = 0;
    SendCurrent(nowMs, m_timings.m_firstReplyMs);
}

void XmodemSender::SendEndOfBatch(std::int64_t nowMs)
{
    const std::vector<std::uint8_t> zeros(128, 0);
    m_block = MakeBlock(0, zeros.data(), zeros.size(), m_progress.m_crc);
    m_blockData = 0;
    m_phase = Phase::WaitBatchAck;
    m_tries = 0;
    SendCurrent(nowMs, kAnswerWaits * m_timings.m_blockReplyMs);
}

void XmodemSender::SendNext(std::int64_t nowMs)
{
    m_tries = 0;
    const bool first = m_progress.m_blocks == 0;
    const int replyMs = first && m_protocol != TransferProtocol::Ymodem
                            ? m_timings.m_firstReplyMs
                            : kAnswerWaits * m_timings.m_blockReplyMs;
    const std::uint64_t left = m_size > m_sent ? m_size - m_sent : 0;
    std::size_t size = 128;
    if (m_protocol != TransferProtocol::Xmodem && left > kShortTail)
        size = 1024;
    std::vector<std::uint8_t> data(size);
    std::size_t got = 0;
    while (got < size) {
        std::string error;
        const std::ptrdiff_t n = m_read(data.data() + got, size - got, error);
        if (n < 0) {
            Fail(CoreText::Args(VRL_TR("XmodemSender", "读文件出错：%1（已发送 %2 块）"),
                                {error, Blocks()}),
                 true);
            return;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got == 0) {
        m_block.assign(1, kEot);
        m_blockData = 0;
        m_phase = Phase::WaitEotAck;
        SendCurrent(nowMs, kAnswerWaits * m_timings.m_blockReplyMs);
        return;
    }
    std::fill(data.begin() + static_cast<std::ptrdiff_t>(got), data.end(), kPad);
    m_sent += got;
    m_block = MakeBlock(m_number++, data.data(), size, m_progress.m_crc);
    m_blockData = got;
    m_phase = Phase::WaitBlockAck;
    SendCurrent(nowMs, replyMs);
}

void XmodemSender::SendCurrent(std::int64_t nowMs, int replyMs)
{
    Write(m_block.data(), m_block.size());
    SetDeadline(nowMs + ReplyMs(replyMs, m_block.size()));
}

void XmodemSender::Resend(std::int64_t nowMs)
{
    ++m_progress.m_retries;
    if (++m_tries >= m_timings.m_retries) {
        const std::string tries = std::to_string(m_tries);
        if (m_phase == Phase::WaitBlockAck)
            Fail(CoreText::Args(
                     VRL_TR("XmodemSender", "第 %1 块发送 %2 次都没有得到确认（已发送 %3 块）"),
                     {std::to_string(m_progress.m_blocks + 1), tries, Blocks()}),
                 true);
        else if (m_phase == Phase::WaitEotAck)
            Fail(CoreText::Args(
                     VRL_TR("XmodemSender", "文件结束标志发送 %1 次都没有得到确认（已发送 %2 块）"),
                     {tries, Blocks()}),
                 true);
        else
            Fail(CoreText::Args(
                     VRL_TR("XmodemSender", "文件名块发送 %1 次都没有得到确认（已发送 %2 块）"),
                     {tries, Blocks()}),
                 true);
        return;
    }
    const bool waitsFirst = m_phase == Phase::WaitHeaderAck
                            || (m_phase == Phase::WaitBlockAck && m_progress.m_blocks == 0
                                && m_protocol != TransferProtocol::Ymodem);
    SendCurrent(nowMs,
                waitsFirst ? m_timings.m_firstReplyMs : kAnswerWaits * m_timings.m_blockReplyMs);
}
