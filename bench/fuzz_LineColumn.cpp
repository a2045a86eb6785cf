// A typed line as the editor holds it (any GBK bytes, shown as UTF-16): the hex checker's
// byte position and the caret's character position convert into each other, and the byte
// count of the whole line is what the line sends once encoded to GBK.
#include "core/send/LineColumn.h"
#include "core/text/CodePage.h"
#include "core/text/HexText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// UTF-8 (as CodePage gives it, always well formed) to UTF-16.
std::u16string ToUtf16(const std::string& utf8)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = Utf8SequenceLength(c);
        if (i + len > utf8.size())
            std::abort();
        char32_t ch = len == 1 ? c : c & (0x7F >> len);
        for (std::size_t k = 1; k < len; ++k)
            ch = (ch << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        if (ch >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(ch);
        }
        i += len;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CodePage& gbk = CodePage::System();
    const std::string utf8 =
        gbk.ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string line = gbk.FromUtf8(utf8);
    const std::u16string units = ToUtf16(utf8);

    const std::size_t total = ByteColumn(units, units.size());
    if (total != line.size())
        std::abort();
    // Every character boundary maps to a byte column and back to itself; columns grow.
    std::size_t previous = 0;
    for (std::size_t i = 0; i <= units.size(); ++i) {
        if (i > 0 && i < units.size() && units[i] >= 0xDC00 && units[i] <= 0xDFFF)
            continue; // inside a surrogate pair
        const std::size_t column = ByteColumn(units, i);
        if (column < previous || UnitIndexOfByteColumn(units, column) != i)
            std::abort();
        previous = column;
    }
    if (UnitIndexOfByteColumn(units, total + 5) != units.size())
        std::abort();

    // The checker's position, a 1-based GBK byte position, lies on the line.
    std::string message;
    int position = -1;
    if (!CheckHexText(line, message, position)) {
        if (position < 0 || static_cast<std::size_t>(position) > line.size())
            std::abort();
        if (UnitIndexOfByteColumn(units, static_cast<std::size_t>(position)) > units.size())
            std::abort();
    }
    return 0;
}
