#pragma once

#include "core/transfer/FileTransfer.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Sends one file with XMODEM, XMODEM-1K or YMODEM. It waits for the receiver's start (NAK:
// checksum, 'C': CRC), sends each block until it is acknowledged, then EOT; YMODEM adds
// block 0 with the name and size before the data and the empty block 0 that ends the batch
// after it. The 1K protocols send the tail in 128-byte blocks, which pads less.
class XmodemSender : public FileTransfer
{
public:
    // The next bytes of the file into `into` (at most room): the count, 0 at its end, -1 when
    // it cannot be read (error says why, UTF-8).
    using Reader =
        std::function<std::ptrdiff_t(std::uint8_t* into, std::size_t room, std::string& error)>;

    // name: the file's name without folders (YMODEM sends it); size: its length in bytes.
    XmodemSender(TransferProtocol protocol, const TransferTimings& timings, std::string name,
                 std::uint64_t size, Reader read);

    // YMODEM: the file's modification time (seconds since 1970), which the receiver gives
    // the file it writes.
    void SetModified(std::int64_t seconds) { m_modified = seconds; }

    void Start(std::int64_t nowMs) override;

private:
    enum class Phase
    {
        WaitStart,     // for the receiver's NAK or 'C'
        WaitHeaderAck, // YMODEM block 0 sent
        WaitDataStart, // YMODEM: block 0 acknowledged, for the 'C' that asks for the data
        WaitBlockAck,
        WaitEotAck,
        WaitBatchStart, // YMODEM: for the 'C' that asks for the next file
        WaitBatchAck    // YMODEM: the empty block 0 sent
    };

    void OnByte(std::uint8_t byte, std::int64_t nowMs) override;
    void OnTimeout(std::int64_t nowMs) override;

    void SendHeader(std::int64_t nowMs);
    void SendEndOfBatch(std::int64_t nowMs);
    // Reads the next block and sends it, or EOT at the file's end.
    void SendNext(std::int64_t nowMs);
    void SendCurrent(std::int64_t nowMs, int replyMs);
    void Resend(std::int64_t nowMs);
    std::string Blocks() const { return std::to_string(m_progress.m_blocks); }

    TransferProtocol m_protocol;
    std::uint64_t m_size;
    std::int64_t m_modified = 0; // 0: not sent
    Reader m_read;
    Phase m_phase = Phase::WaitStart;
    std::vector<std::uint8_t> m_block; // what waits for its ACK, as sent
    std::size_t m_blockData = 0;       // the file's bytes in it
    std::uint8_t m_number = 1;
    std::uint64_t m_sent = 0; // the file's bytes read into blocks
    int m_tries = 0;          // of what waits for its answer
};
