#include "core/transfer/TransferText.h"

#include "core/text/CoreText.h"

#include <cstdio>

namespace {

std::string Seconds(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(ms) / 1000.0);
    return text;
}

} // namespace

std::string TransferText::Amount(std::uint64_t bytes)
{
    char text[32];
    if (bytes < 10 * 1024)
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
    else if (bytes < 10ULL * 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1024.0);
    else
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

std::string TransferText::StartLine(bool sending, TransferProtocol protocol,
                                    const std::string& what, std::uint64_t size)
{
    if (sending)
        return CoreText::Args(VRL_TR("TransferText", "开始用 %1 发送 %2（%3 字节）"),
                              {TransferProtocolTitle(protocol), what, std::to_string(size)});
    return CoreText::Args(VRL_TR("TransferText", "开始用 %1 接收文件到 %2"),
                          {TransferProtocolTitle(protocol), what});
}

std::string TransferText::ProgressLine(const TransferProgress& progress, std::int64_t elapsedMs)
{
    const std::string bytes = progress.m_total
                                  ? Amount(progress.m_bytes) + " / " + Amount(*progress.m_total)
                                  : Amount(progress.m_bytes);
    const std::uint64_t rate =
        elapsedMs > 0 ? progress.m_bytes * 1000 / static_cast<std::uint64_t>(elapsedMs) : 0;
    return CoreText::Args(VRL_TR("TransferText", "%1，%2 块，重试 %3 次，%4/s"),
                          {bytes, std::to_string(progress.m_blocks),
                           std::to_string(progress.m_retries), Amount(rate)});
}

std::string TransferText::EndLine(bool sending, const FileTransfer& transfer,
                                  std::int64_t elapsedMs, const std::string& where)
{
    const TransferProgress& p = transfer.Progress();
    if (transfer.GetState() != FileTransfer::State::Done)
        return CoreText::Args(VRL_TR("TransferText", "文件传送失败：%1（用时 %2 秒）"),
                              {transfer.Failure(), Seconds(elapsedMs)});
    return CoreText::Args(
        sending ? VRL_TR("TransferText", "%1 发送完成：%2 字节，用时 %3 秒，重试 %4 次")
                : VRL_TR("TransferText", "%1 接收完成：%2 字节，用时 %3 秒，重试 %4 次"),
        {where, std::to_string(p.m_bytes), Seconds(elapsedMs), std::to_string(p.m_retries)});
}
