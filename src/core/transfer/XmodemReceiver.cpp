#include "core/transfer/XmodemReceiver.h"

#include "core/text/CoreText.h"

#include <algorithm>
#include <cstring>

namespace {

// Plain XMODEM: after this many unanswered 'C' the receiver asks for the checksum.
constexpr int kCrcStarts = 3;
constexpr std::size_t kLongestBlock = 1024 + 5;

} // namespace

XmodemReceiver::XmodemReceiver(TransferProtocol protocol, const TransferTimings& timings,
                               Sink& sink)
    : FileTransfer(timings), m_protocol(protocol), m_sink(sink)
{
}

void XmodemReceiver::Start(std::int64_t nowMs)
{
    m_wantHeader = m_protocol == TransferProtocol::Ymodem;
    m_expect = m_wantHeader ? 0 : 1;
    m_progress.m_crc = true;
    SendStart(nowMs);
}

void XmodemReceiver::SendStart(std::int64_t nowMs)
{
    if (m_protocol == TransferProtocol::Xmodem && m_starts >= kCrcStarts && !m_started)
        m_progress.m_crc = false;
    ++m_starts;
    WriteByte(m_progress.m_crc ? kCrcStart : kNak);
    m_phase = Phase::WaitHeader;
    SetDeadline(nowMs + m_timings.m_firstReplyMs);
}

void XmodemReceiver::WaitForBlock(std::int64_t nowMs)
{
    m_phase = Phase::WaitHeader;
    SetDeadline(nowMs + ReplyMs(m_timings.m_blockReplyMs, kLongestBlock));
}

void XmodemReceiver::OnByte(std::uint8_t byte, std::int64_t nowMs)
{
    switch (m_phase) {
    case Phase::Purge: SetDeadline(nowMs + m_timings.m_purgeMs); return;
    case Phase::InBlock:
        m_block.push_back(byte);
        SetDeadline(nowMs + m_timings.m_blockReplyMs);
        if (m_block.size() == m_blockSize)
            OnBlock(nowMs);
        return;
    case Phase::WaitHeader:
        if (HeardCancel(byte)) {
            Fail(CoreText::Args(VRL_TR("XmodemReceiver", "发送方取消了传输（已接收 %1 块）"),
                                {Blocks()}),
                 false);
            return;
        }
        if (byte == kSoh || byte == kStx) {
            m_block.assign(1, byte);
            m_blockSize = (byte == kStx ? 1024 : 128) + 3 + (m_progress.m_crc ? 2 : 1);
            m_phase = Phase::InBlock;
            SetDeadline(nowMs + m_timings.m_blockReplyMs);
        } else if (byte == kEot) {
            // An EOT stands alone: one that bytes follow was a damaged block's.
            m_phase = Phase::EotQuiet;
            SetDeadline(nowMs + m_timings.m_purgeMs);
        } else if (byte != kCan) {
            // The rest of a block whose header was lost, or before the start the device's
            // own text (a boot message), which must not be answered with NAK: a sender would
            // take it for the start of the checksum.
            m_phase = Phase::Purge;
            m_nakAfterPurge = m_started;
            SetDeadline(nowMs + m_timings.m_purgeMs);
        }
        return;
    case Phase::EotQuiet: OnDamaged(nowMs); return;
    }
}

void XmodemReceiver::OnTimeout(std::int64_t nowMs)
{
    if (m_phase == Phase::Purge && !m_nakAfterPurge) {
        SendStart(nowMs);
        return;
    }
    if (m_phase == Phase::Purge) {
        WriteByte(kNak);
        WaitForBlock(nowMs);
        return;
    }
    if (m_phase == Phase::EotQuiet) {
        OnEot(nowMs);
        return;
    }
    if (!CountTry())
        return;
    if (!m_started)
        SendStart(nowMs);
    else {
        WriteByte(kNak);
        WaitForBlock(nowMs);
    }
}

bool XmodemReceiver::CountTry()
{
    ++m_progress.m_retries;
    if (++m_tries < m_timings.m_retries)
        return true;
    if (!m_started && m_files == 0)
        Fail(CoreText::Args(VRL_TR("XmodemReceiver", "发送方没有开始发送（等了 %1 秒）"),
                            {std::to_string(static_cast<std::int64_t>(m_tries)
                                            * m_timings.m_firstReplyMs / 1000)}),
             true);
    else if (m_phase == Phase::Purge)
        Fail(CoreText::Args(
                 VRL_TR("XmodemReceiver", "第 %1 块接收 %2 次都不完好（已接收 %3 块）"),
                 {std::to_string(m_progress.m_blocks + 1), std::to_string(m_tries), Blocks()}),
             true);
    else
        Fail(CoreText::Args(VRL_TR("XmodemReceiver", "发送方不再发送（已接收 %1 块）"), {Blocks()}),
             true);
    return false;
}

void XmodemReceiver::OnDamaged(std::int64_t nowMs)
{
    m_phase = Phase::Purge;
    m_nakAfterPurge = true;
    if (!CountTry())
        return;
    SetDeadline(nowMs + m_timings.m_purgeMs);
}

void XmodemReceiver::OnBlock(std::int64_t nowMs)
{
    const std::uint8_t number = m_block[1];
    const std::size_t size = m_block[0] == kStx ? 1024 : 128;
    const std::uint8_t* data = m_block.data() + 3;
    if (static_cast<std::uint8_t>(~m_block[2]) != number
        || !CheckMatches(data, size, data + size, m_progress.m_crc)) {
        OnDamaged(nowMs);
        return;
    }
    m_started = true;
    if (number == m_expect) {
        m_tries = 0;
        if (m_wantHeader) {
            OnHeaderBlock(data, size, nowMs);
            return;
        }
        if (!Keep(data, size))
            return;
        ++m_expect;
        WriteByte(kAck);
        WaitForBlock(nowMs);
        return;
    }
    if (number == static_cast<std::uint8_t>(m_expect - 1)) {
        // The sender missed the ACK and sent it again: the receiver has it already.
        WriteByte(kAck);
        if (m_protocol == TransferProtocol::Ymodem && number == 0)
            WriteByte(kCrcStart);
        WaitForBlock(nowMs);
        return;
    }
    Fail(CoreText::Args(VRL_TR("XmodemReceiver", "收到第 %1 块，应为第 %2 块（已接收 %3 块）"),
                        {std::to_string(number), std::to_string(m_expect), Blocks()}),
         true);
}

void XmodemReceiver::OnHeaderBlock(const std::uint8_t* data, std::size_t size, std::int64_t nowMs)
{
    const auto* end = data + size;
    const auto* nul = std::find(data, end, 0);
    const std::string name(data, nul);
    if (name.empty()) {
        // The empty block 0 ends the batch.
        WriteByte(kAck);
        Finish();
        return;
    }
    std::optional<std::uint64_t> length;
    for (const auto* p = nul + (nul < end ? 1 : 0); p < end && *p >= '0' && *p <= '9'; ++p)
        length = length.value_or(0) * 10 + static_cast<std::uint64_t>(*p - '0');
    if (!BeginFile(name, length))
        return;
    m_wantHeader = false;
    m_eots = 0;
    WriteByte(kAck);
    WriteByte(kCrcStart);
    WaitForBlock(nowMs);
    m_expect = 1;
}

bool XmodemReceiver::BeginFile(const std::string& name, std::optional<std::uint64_t> size)
{
    std::string error;
    if (!m_sink.Begin(name, size, error)) {
        Fail(CoreText::Args(VRL_TR("XmodemReceiver", "写文件出错：%1（已接收 %2 块）"),
                            {error, Blocks()}),
             true);
        return false;
    }
    m_inFile = true;
    m_progress.m_fileName = name;
    m_progress.m_total = size;
    m_progress.m_bytes = 0;
    m_left = size;
    return true;
}

bool XmodemReceiver::Keep(const std::uint8_t* data, std::size_t size)
{
    if (!m_inFile && !BeginFile(std::string(), std::nullopt))
        return false;
    std::size_t count = size;
    if (m_left) {
        count = static_cast<std::size_t>(std::min<std::uint64_t>(*m_left, size));
        *m_left -= count;
    }
    std::string error;
    if (count > 0 && !m_sink.Write(data, count, error)) {
        Fail(CoreText::Args(VRL_TR("XmodemReceiver", "写文件出错：%1（已接收 %2 块）"),
                            {error, Blocks()}),
             true);
        return false;
    }
    m_progress.m_bytes += count;
    ++m_progress.m_blocks;
    return true;
}

void XmodemReceiver::OnEot(std::int64_t nowMs)
{
    if (m_wantHeader) {
        // An EOT repeated after its ACK was lost.
        WriteByte(kAck);
        return;
    }
    if (m_protocol == TransferProtocol::Ymodem && ++m_eots == 1) {
        // Asked again so that a damaged byte taken for EOT does not end the file.
        WriteByte(kNak);
        WaitForBlock(nowMs);
        return;
    }
    if (!m_inFile && !BeginFile(std::string(), std::nullopt))
        return;
    std::string error;
    if (!m_sink.End(error)) {
        Fail(CoreText::Args(VRL_TR("XmodemReceiver", "写文件出错：%1（已接收 %2 块）"),
                            {error, Blocks()}),
             true);
        return;
    }
    m_inFile = false;
    ++m_files;
    WriteByte(kAck);
    m_tries = 0;
    if (m_protocol != TransferProtocol::Ymodem) {
        Finish();
        return;
    }
    m_wantHeader = true;
    m_started = false;
    m_expect = 0;
    WriteByte(kCrcStart);
    m_phase = Phase::WaitHeader;
    SetDeadline(nowMs + m_timings.m_firstReplyMs);
}

void XmodemReceiver::OnFailed()
{
    if (m_inFile)
        m_sink.Abort();
    m_inFile = false;
}
