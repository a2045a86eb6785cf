#pragma once

#include "core/transfer/FileTransfer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Receives with XMODEM, XMODEM-1K or YMODEM: it starts with 'C' (CRC; plain XMODEM falls
// back to NAK, the checksum, when three go unanswered), takes 128- and 1024-byte blocks
// alike, acknowledges each sound one, asks again for a damaged one once the line is quiet,
// and acknowledges a repeated one without keeping it. YMODEM takes every file of the batch
// and cuts the padding of each last block by the size block 0 gave.
class XmodemReceiver : public FileTransfer
{
public:
    // Where the received files go. Each call returns false with a reason (UTF-8) to end the
    // transfer; Abort drops a file begun and not ended.
    class Sink
    {
    public:
        virtual ~Sink() = default;
        // name: as the sender gave it (YMODEM), else empty; size: when the sender gave it.
        virtual bool Begin(const std::string& name, std::optional<std::uint64_t> size,
                           std::string& error) = 0;
        virtual bool Write(const std::uint8_t* bytes, std::size_t count, std::string& error) = 0;
        virtual bool End(std::string& error) = 0;
        virtual void Abort() = 0;
    };

    XmodemReceiver(TransferProtocol protocol, const TransferTimings& timings, Sink& sink);

    void Start(std::int64_t nowMs) override;
    std::uint32_t Files() const { return m_files; }

private:
    enum class Phase
    {
        WaitHeader, // for SOH, STX, EOT or CAN
        InBlock,
        Purge,   // a damaged block: its rest is let pass before it is asked for again
        EotQuiet // an EOT: taken once the line stays quiet after it
    };

    void OnByte(std::uint8_t byte, std::int64_t nowMs) override;
    void OnTimeout(std::int64_t nowMs) override;
    void OnFailed() override;

    void SendStart(std::int64_t nowMs);
    void WaitForBlock(std::int64_t nowMs);
    void OnBlock(std::int64_t nowMs);
    void OnDamaged(std::int64_t nowMs);
    void OnEot(std::int64_t nowMs);
    void OnHeaderBlock(const std::uint8_t* data, std::size_t size, std::int64_t nowMs);
    bool Keep(const std::uint8_t* data, std::size_t size);
    bool BeginFile(const std::string& name, std::optional<std::uint64_t> size);
    // Each try that brings nothing usable; false when they are used up (failed then).
    bool CountTry();
    std::string Blocks() const { return std::to_string(m_progress.m_blocks); }

    TransferProtocol m_protocol;
    Sink& m_sink;
    Phase m_phase = Phase::WaitHeader;
    std::vector<std::uint8_t> m_block;
    std::size_t m_blockSize = 0; // of the whole block on the line
    bool m_wantHeader = false;   // YMODEM: block 0 comes next
    bool m_inFile = false;       // the sink has a file begun
    bool m_started = false;      // the sender has answered the start of this file
    bool m_nakAfterPurge = true; // else the start is repeated once the line is quiet
    std::uint8_t m_expect = 1;
    std::optional<std::uint64_t> m_left; // of the file's size, when known
    int m_eots = 0;
    int m_tries = 0;
    int m_starts = 0;
    std::uint32_t m_files = 0;
};
