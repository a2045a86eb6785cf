#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The block protocols bootloaders take firmware with: XMODEM (128-byte blocks), XMODEM-1K
// (1024-byte blocks) and YMODEM (1024-byte blocks in a batch whose block 0 carries the
// file's name and size). Checksum or CRC is the receiver's choice: it starts with NAK for
// the checksum or with 'C' for the CRC.
enum class TransferProtocol
{
    Xmodem,
    Xmodem1k,
    Ymodem
};

// "xmodem", "xmodem1k" (also "xmodem-1k", "1k"), "ymodem"; any case.
std::optional<TransferProtocol> TransferProtocolFromName(std::string_view name);
// "XMODEM", "XMODEM-1K", "YMODEM".
const char* TransferProtocolTitle(TransferProtocol protocol);

// How long each side waits. The wait for a block's answer grows by the time the block
// takes on the line at m_bitsPerSecond (0: not known, nothing added), so that slow lines
// keep the protocol's one second after the last byte.
struct TransferTimings
{
    int m_firstReplyMs = 10000; // the far end's first answer (the start, block 0)
    int m_blockReplyMs = 1000;  // each later answer, and the longest pause inside a block
    int m_retries = 10;         // tries of one block (or of the start) before giving up
    std::uint32_t m_bitsPerSecond = 0;
    int m_purgeMs = 200; // quiet after a damaged block before it is asked for again
};

struct TransferProgress
{
    std::string m_fileName;    // UTF-8; empty while not known (XMODEM receive)
    std::uint64_t m_bytes = 0; // of the file, sent and acknowledged, or received
    std::optional<std::uint64_t> m_total;
    std::uint32_t m_blocks = 0;  // data blocks acknowledged
    std::uint32_t m_retries = 0; // repeated blocks and starts, all told
    bool m_crc = true;           // CRC-16 (else the arithmetic checksum)
};

// One transfer as a state machine that a caller feeds with the bytes that arrive and with
// the time: it never waits and owns no thread. After each call the caller writes what
// TakeOutput returns and calls OnTime again at Deadline(). Times are steady milliseconds.
class FileTransfer
{
public:
    enum class State
    {
        Running,
        Done,
        Failed
    };
    static constexpr std::uint8_t kSoh = 0x01;
    static constexpr std::uint8_t kStx = 0x02;
    static constexpr std::uint8_t kEot = 0x04;
    static constexpr std::uint8_t kAck = 0x06;
    static constexpr std::uint8_t kNak = 0x15;
    static constexpr std::uint8_t kCan = 0x18;
    static constexpr std::uint8_t kCrcStart = 'C';
    static constexpr std::uint8_t kPad = 0x1A; // fills the last block
    static constexpr int kCancelBytes = 8;     // the far end needs two in a row

    explicit FileTransfer(const TransferTimings& timings) : m_timings(timings) {}
    virtual ~FileTransfer() = default;
    FileTransfer(const FileTransfer&) = delete;
    FileTransfer& operator=(const FileTransfer&) = delete;

    virtual void Start(std::int64_t nowMs) = 0;
    void OnBytes(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs);
    // Acts on a deadline that has passed; does nothing before it.
    void OnTime(std::int64_t nowMs);
    // The user gives up: CAN bytes go out and the transfer fails with a message that says so.
    void Cancel();
    // The line is gone (a closed port): the transfer fails with message, nothing is written.
    void Abandon(std::string message);

    std::vector<std::uint8_t> TakeOutput();
    bool HasOutput() const { return !m_output.empty(); }
    // When OnTime must be called next; -1: not before more bytes arrive.
    std::int64_t Deadline() const { return m_state == State::Running ? m_deadline : -1; }
    State GetState() const { return m_state; }
    // UTF-8, for the user: what happened and after how many blocks (empty unless Failed).
    const std::string& Failure() const { return m_failure; }
    const TransferProgress& Progress() const { return m_progress; }

    // A block as it goes over the line: header, number, its complement, data (128 or 1024
    // bytes), then the CRC high byte first or the one-byte sum.
    static std::vector<std::uint8_t> MakeBlock(std::uint8_t number, const std::uint8_t* data,
                                               std::size_t size, bool crc);
    // Whether the check bytes after size bytes of data match them.
    static bool CheckMatches(const std::uint8_t* data, std::size_t size, const std::uint8_t* check,
                             bool crc);

protected:
    virtual void OnByte(std::uint8_t byte, std::int64_t nowMs) = 0;
    virtual void OnTimeout(std::int64_t nowMs) = 0;
    // The transfer failed or was cancelled (a receiver drops what it holds).
    virtual void OnFailed() {}

    void Write(const std::uint8_t* bytes, std::size_t count);
    void WriteByte(std::uint8_t byte) { m_output.push_back(byte); }
    void SetDeadline(std::int64_t atMs) { m_deadline = atMs; }
    void Fail(std::string message, bool cancelFarEnd);
    void Finish();
    // Two CAN bytes in a row: the far end gave up. Feeds every byte in a state that may hear it.
    bool HeardCancel(std::uint8_t byte);
    // The wait for an answer to bytes that take count bytes of the line.
    int ReplyMs(int baseMs, std::size_t count) const;

    TransferTimings m_timings;
    TransferProgress m_progress;

private:
    State m_state = State::Running;
    std::vector<std::uint8_t> m_output;
    std::int64_t m_deadline = -1;
    std::string m_failure;
    int m_cans = 0;
};
