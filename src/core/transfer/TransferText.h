#pragma once

#include "core/transfer/FileTransfer.h"

#include <cstdint>
#include <string>

// What the user reads of a transfer, the same in the window and in vrl-capture: the line
// that begins it, the progress, and the line that ends it. UTF-8, in the program's language.
class TransferText
{
public:
    // "开始用 YMODEM 发送 a.bin（1024 字节）" / "开始用 XMODEM 接收文件到 /tmp".
    static std::string StartLine(bool sending, TransferProtocol protocol, const std::string& what,
                                 std::uint64_t size = 0);
    // Bytes (of the total when known), blocks, retries and the rate since the start.
    static std::string ProgressLine(const TransferProgress& progress, std::int64_t elapsedMs);
    // Done: the file(s), bytes, time and retries; failed: why, with the time.
    static std::string EndLine(bool sending, const FileTransfer& transfer, std::int64_t elapsedMs,
                               const std::string& where);
    // 512 B, 12.5 KB, 1.2 MB.
    static std::string Amount(std::uint64_t bytes);
};
