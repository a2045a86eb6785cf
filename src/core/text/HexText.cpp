#include "core/text/HexText.h"

#include "core/text/CoreText.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kUpperDigits[] = "0123456789ABCDEF";

enum class Fault
{
    None,
    TooShort,
    HalfByte,
    TrailingNonAscii,
    Trailing,
    SeparatorNonAscii,
    Separator,
    HighBlank,
    HighNonAscii,
    HighOther,
    LowBlank,
    LowNonAscii,
    LowOther,
};

struct Finding
{
    Fault fault = Fault::None;
    std::size_t position = 0; // 1-based
    std::size_t byteNo = 0;   // 1-based
    unsigned char c = 0;
};

// The tests run in a fixed order (a pair's length, then its separator, then its digits),
// and that order decides which fault the user is told about.
Finding Examine(std::string_view text)
{
    const std::size_t length = text.size();
    if (length < 2)
        return {Fault::TooShort, 0, 0, 0};
    for (std::size_t p = 0; p < length; p += 3) {
        const std::size_t n = p / 3 + 1;
        if (p + 1 == length)
            return {Fault::HalfByte, p + 1, n, 0};
        if (p + 3 == length) {
            const auto c = static_cast<unsigned char>(text[p + 2]);
            return {c >= 0x80 ? Fault::TrailingNonAscii : Fault::Trailing, p + 3, n, c};
        }
        const unsigned char separator = p + 2 == length ? static_cast<unsigned char>(' ')
                                                        : static_cast<unsigned char>(text[p + 2]);
        if (separator != ' ')
            return {separator >= 0x80 ? Fault::SeparatorNonAscii : Fault::Separator, p + 3, n,
                    separator};
        for (std::size_t d = 0; d < 2; ++d) {
            const auto c = static_cast<unsigned char>(text[p + d]);
            if (HexDigitValue(c) >= 0)
                continue;
            const Fault f = c == ' '    ? (d == 0 ? Fault::HighBlank : Fault::LowBlank)
                            : c >= 0x80 ? (d == 0 ? Fault::HighNonAscii : Fault::LowNonAscii)
                                        : (d == 0 ? Fault::HighOther : Fault::LowOther);
            return {f, p + d + 1, n, c};
        }
    }
    return {};
}

template <typename... Args> std::string Format(const char* format, Args... args)
{
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    // The length, not the terminator: a %c of character 0 stays in the text.
    return std::string(
        buffer, n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

std::string MessageFor(const Finding& f)
{
    const int n = static_cast<int>(f.byteNo);
    const int c = f.c;
    switch (f.fault) {
    case Fault::TooShort: return VRL_TR("HexText", "长度不能小于 1 个字节！");
    case Fault::HalfByte: return VRL_TR("HexText", "最后不能为半个字节！");
    case Fault::TrailingNonAscii:
        return Format(VRL_TR("HexText", "最后多出一个非ASCII字符，其16进制为：  %02X H").c_str(),
                      c);
    case Fault::Trailing: return Format(VRL_TR("HexText", "最后多出一个字符：  ' %c '").c_str(), c);
    case Fault::SeparatorNonAscii:
        return Format(
            VRL_TR("HexText", "第 %d 个字节后为非ASCII字符，其16进制为：  %02X H。必须改为  空格")
                .c_str(),
            n, c);
    case Fault::Separator:
        return Format(VRL_TR("HexText", "第 %d 个字节后的字符  ' %c '  必须改为  空格").c_str(), n,
                      c);
    case Fault::HighBlank:
        return Format(VRL_TR("HexText", "第 %d 个字节的高位不能为  空格，必须是16进制数").c_str(),
                      n);
    case Fault::LowBlank:
        return Format(VRL_TR("HexText", "第 %d 个字节的低位不能为  空格，必须是16进制数").c_str(),
                      n);
    case Fault::HighNonAscii:
        return Format(
            VRL_TR("HexText",
                   "第 %d 个字节的高位为非ASCII字符，其16进制为：  %02X H。必须是16进制数")
                .c_str(),
            n, c);
    case Fault::LowNonAscii:
        return Format(VRL_TR("HexText",
                             "第 %d 个字节的低位为非ASCII字符，其16进制为：  %2X H。必须是16进制数")
                          .c_str(),
                      n, c);
    case Fault::HighOther:
        return Format(VRL_TR("HexText", "第 %d 个字节的高位不能为  ' %c '，必须是16进制数").c_str(),
                      n, c);
    case Fault::LowOther:
        return Format(VRL_TR("HexText", "第 %d 个字节的低位不能为  ' %c '，必须是16进制数").c_str(),
                      n, c);
    case Fault::None: break;
    }
    return {};
}

} // namespace

int HexDigitValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string BytesToHexText(const unsigned char* bytes, int length)
{
    std::string text;
    if (!bytes || length < 1)
        return text;
    text.resize(static_cast<std::size_t>(length) * 3 - 1);
    char* out = text.data();
    for (int i = 0; i < length; ++i) {
        if (i > 0)
            *out++ = ' ';
        *out++ = kUpperDigits[bytes[i] >> 4];
        *out++ = kUpperDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string BytesToHexText(std::string_view bytes)
{
    return BytesToHexText(reinterpret_cast<const unsigned char*>(bytes.data()),
                          static_cast<int>(bytes.size()));
}

bool IsHexText(std::string_view text)
{
    return Examine(text).fault == Fault::None;
}

bool CheckHexText(std::string_view text, std::string& message, int& position)
{
    const Finding f = Examine(text);
    if (f.fault == Fault::None)
        return true;
    message = MessageFor(f);
    position = static_cast<int>(f.position);
    return false;
}

int HexTextToBytes(std::string_view text, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    if (text.size() < 2)
        return 0;
    bytes.reserve((text.size() + 1) / 3 + 1);
    for (std::size_t p = 0; p < text.size(); p += 3) {
        const int high = HexDigitValue(static_cast<unsigned char>(text[p]));
        const int low =
            p + 1 < text.size() ? HexDigitValue(static_cast<unsigned char>(text[p + 1])) : -1;
        // Unchecked text: a character that is no digit counts as 0.
        bytes.push_back(
            static_cast<unsigned char>((high < 0 ? 0 : high) * 16 + (low < 0 ? 0 : low)));
    }
    return static_cast<int>(bytes.size());
}

std::string HexLineErrorText(int line, std::string_view message)
{
    std::string text =
        Format(VRL_TR("HexText", "第 %d 行    报文格式出错：\n\n").c_str(), line + 1);
    text += message;
    text += VRL_TR("HexText", "\n\n报文格式："
                              "\n1、每 2 个字节间有一个空格；"
                              "\n2、每个字节必须为16进制数：0~9，a~f，A~F；"
                              "\n3、最后一个字节后不能有任何字符。"
                              "\n\n示例报文(共5个字节)：EB  90  02  34  0D");
    return text;
}

bool ConvertLineText(std::string_view text, std::string& result, bool bToChars)
{
    if (text.empty())
        return false;
    if (!bToChars) {
        result = BytesToHexText(text);
        return true;
    }
    if (!IsHexText(text))
        return false;
    std::vector<unsigned char> bytes;
    HexTextToBytes(text, bytes);
    std::string chars;
    for (unsigned char b : bytes) {
        if (b == 0)
            break;
        chars += static_cast<char>(b);
    }
    result = std::move(chars);
    return true;
}
