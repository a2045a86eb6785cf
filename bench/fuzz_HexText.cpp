// Typed lines are arbitrary bytes: the checker, the decoder and the line conversion must
// agree with each other and never read out of bounds.
#include "core/send/CheckCode.h"
#include "core/text/HexText.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string message;
    int position = -1;
    const bool ok = CheckHexText(text, message, position);
    if (ok != IsHexText(text))
        std::abort();
    std::vector<unsigned char> bytes;
    const int n = HexTextToBytes(text, bytes);
    if (ok) {
        std::string upper = text;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (n != static_cast<int>((size + 1) / 3) || BytesToHexText(bytes.data(), n) != upper)
            std::abort();
    } else if (message.empty() || position < 0 || position > static_cast<int>(size)) {
        std::abort();
    }
    std::string result;
    if (ConvertLineText(text, result, false) && !IsHexText(result))
        std::abort();
    ConvertLineText(text, result, true);
    MakeCheckCodeEdit(static_cast<CheckKind>(size % 6), text);
    return 0;
}
