#include "core/send/LineColumn.h"

#include "core/text/CodePage.h"

namespace {

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Reads the character at i; returns its UTF-16 length through `units`.
char32_t CharAt(std::u16string_view line, std::size_t i, std::size_t& units)
{
    const char16_t c = line[i];
    if (IsHighSurrogate(c) && i + 1 < line.size() && IsLowSurrogate(line[i + 1])) {
        units = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10)
               + (static_cast<char32_t>(line[i + 1]) - 0xDC00);
    }
    units = 1;
    return c;
}

std::size_t CharBytes(char32_t ch)
{
    // Most lines are plain ASCII: no code page lookup for them.
    return ch < 0x80 ? 1 : CodePage::System().ByteLength(ch);
}

} // namespace

std::size_t ByteColumn(std::u16string_view line, std::size_t units)
{
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (i < line.size() && i < units) {
        std::size_t len = 1;
        const char32_t ch = CharAt(line, i, len);
        bytes += CharBytes(ch);
        i += len;
    }
    return bytes;
}

std::size_t UnitIndexOfByteColumn(std::u16string_view line, std::size_t bytes)
{
    std::size_t counted = 0;
    std::size_t i = 0;
    while (i < line.size() && counted < bytes) {
        std::size_t len = 1;
        const char32_t ch = CharAt(line, i, len);
        counted += CharBytes(ch);
        i += len;
    }
    return i;
}
