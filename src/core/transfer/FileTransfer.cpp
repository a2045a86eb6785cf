#include "core/transfer/FileTransfer.h"

#include "core/send/CheckCode.h"
#include "core/text/CoreText.h"

#include <cctype>

std::optional<TransferProtocol> TransferProtocolFromName(std::string_view name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "xmodem")
        return TransferProtocol::Xmodem;
    if (lower == "xmodem1k" || lower == "xmodem-1k" || lower == "1k")
        return TransferProtocol::Xmodem1k;
    if (lower == "ymodem")
        return TransferProtocol::Ymodem;
    return std::nullopt;
}

const char* TransferProtocolTitle(TransferProtocol protocol)
{
    switch (protocol) {
    case TransferProtocol::Xmodem: return "XMODEM";
    case TransferProtocol::Xmodem1k: return "XMODEM-1K";
    case TransferProtocol::Ymodem: return "YMODEM";
    }
    return "";
}

void FileTransfer::OnBytes(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs)
{
    for (std::size_t i = 0; i < count && m_state == State::Running; ++i)
        OnByte(bytes[i], nowMs);
}

void FileTransfer::OnTime(std::int64_t nowMs)
{
    if (m_state == State::Running && m_deadline >= 0 && nowMs >= m_deadline)
        OnTimeout(nowMs);
}

void FileTransfer::Cancel()
{
    if (m_state != State::Running)
        return;
    Fail(CoreText::Args(VRL_TR("FileTransfer", "传输已取消（已传送 %1 块）"),
                        {std::to_string(m_progress.m_blocks)}),
         true);
}

void FileTransfer::Abandon(std::string message)
{
    if (m_state == State::Running)
        Fail(std::move(message), false);
}

std::vector<std::uint8_t> FileTransfer::TakeOutput()
{
    std::vector<std::uint8_t> out;
    out.swap(m_output);
    return out;
}

std::vector<std::uint8_t> FileTransfer::MakeBlock(std::uint8_t number, const std::uint8_t* data,
                                                  std::size_t size, bool crc)
{
    std::vector<std::uint8_t> block;
    block.reserve(size + 5);
    block.push_back(size == 1024 ? kStx : kSoh);
    block.push_back(number);
    block.push_back(static_cast<std::uint8_t>(~number));
    block.insert(block.end(), data, data + size);
    if (crc) {
        // CrcCcitt16 returns the register byte-exchanged: its low byte is the high byte.
        const std::uint16_t code = CCheckCode().CrcCcitt16(data, static_cast<int>(size));
        block.push_back(static_cast<std::uint8_t>(code & 0xFF));
        block.push_back(static_cast<std::uint8_t>(code >> 8));
    } else {
        block.push_back(
            static_cast<std::uint8_t>(CCheckCode().ByteSum(data, static_cast<int>(size))));
    }
    return block;
}

bool FileTransfer::CheckMatches(const std::uint8_t* data, std::size_t size,
                                const std::uint8_t* check, bool crc)
{
    if (!crc)
        return static_cast<std::uint8_t>(CCheckCode().ByteSum(data, static_cast<int>(size)))
               == check[0];
    const std::uint16_t code = CCheckCode().CrcCcitt16(data, static_cast<int>(size));
    return check[0] == (code & 0xFF) && check[1] == (code >> 8);
}

void FileTransfer::Write(const std::uint8_t* bytes, std::size_t count)
{
    m_output.insert(m_output.end(), bytes, bytes + count);
}

void FileTransfer::Fail(std::string message, bool cancelFarEnd)
{
    if (cancelFarEnd)
        m_output.insert(m_output.end(), kCancelBytes, kCan);
    m_failure = std::move(message);
    m_state = State::Failed;
    OnFailed();
}

void FileTransfer::Finish()
{
    m_state = State::Done;
}

bool FileTransfer::HeardCancel(std::uint8_t byte)
{
    m_cans = byte == kCan ? m_cans + 1 : 0;
    return m_cans >= 2;
}

int FileTransfer::ReplyMs(int baseMs, std::size_t count) const
{
    if (m_timings.m_bitsPerSecond == 0)
        return baseMs;
    // Ten bits a byte: start, eight data bits, stop.
    return baseMs + static_cast<int>(count * 10 * 1000 / m_timings.m_bitsPerSecond);
}
