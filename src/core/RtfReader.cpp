#include "RtfReader.h"

// Placeholder until the parser lands: every read reports failure, so that callers can be
// written against the interface.
RtfReadResult RtfReader::Read(std::string_view)
{
    RtfReadResult result;
    result.m_status = RtfReadStatus::CannotOpen;
    result.m_reason = "RTF 读取尚未实现";
    return result;
}

RtfReadResult RtfReader::ReadFile(const std::string& path)
{
    return Read(path);
}
