#include "core/serial/ModemLines.h"

#include "core/text/CoreText.h"

#include "core/serial/SerialLine.h"

bool TtyModemLines::Get(unsigned& lines)
{
    return SerialLine::GetModemLines(m_fd, lines);
}

bool TtyModemLines::Set(unsigned mask, bool on)
{
    return SerialLine::SetModemLines(m_fd, mask & kOutputs, on);
}

bool TtyModemLines::GetBreakCount(std::uint32_t& count)
{
    return SerialLine::GetBreakCount(m_fd, count);
}

bool TtyModemLines::SetBreak(bool on)
{
    return SerialLine::SetBreak(m_fd, on);
}

std::string InputLinesText(bool available, unsigned lines)
{
    if (!available)
        return VRL_TR("ModemLines", "CTS/DSR/DCD/RI 不可用");
    std::string text;
    const struct
    {
        unsigned m_bit;
        const char* m_name;
    } inputs[] = {{ModemLines::kCts, "CTS"},
                  {ModemLines::kDsr, "DSR"},
                  {ModemLines::kDcd, "DCD"},
                  {ModemLines::kRi, "RI"}};
    for (const auto& input : inputs) {
        if (!text.empty())
            text += ' ';
        text += input.m_name;
        text += (lines & input.m_bit) ? "\xE2\x97\x8F" : "\xE2\x97\x8B"; // ● ○
    }
    return text;
}
