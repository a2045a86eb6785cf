#include "core/text/CodePage.h"

#include <atomic>
#include <cerrno>
#include <iconv.h>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::atomic<CodePage::Choice> g_systemChoice{CodePage::Choice::Gbk};

iconv_t Open(const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    return cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
}

// Runs iconv over in, calling onFailure(out, in, left) for a sequence it cannot convert.
// onFailure appends its replacement and returns how many input bytes to skip.
template <typename OnFailure>
std::string Convert(void* handle, std::string_view input, std::size_t* failures,
                    OnFailure onFailure)
{
    std::string out;
    std::size_t failed = 0;
    if (failures)
        *failures = 0;
    auto* cd = static_cast<iconv_t>(handle);
    if (!cd)
        return out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.reserve(input.size() * 3 / 2 + 16);

    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ: an invalid or unconvertible sequence; EINVAL: an incomplete one at the end.
        std::size_t skip = onFailure(out, in, inLeft);
        if (skip == 0 || skip > inLeft)
            skip = inLeft;
        in += skip;
        inLeft -= skip;
        ++failed;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush any shift state (none for GBK, but harmless).
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (failures)
        *failures = failed;
    return out;
}

} // namespace

std::size_t Utf8SequenceLength(unsigned char c)
{
    if (c < 0xC2)
        return 1; // ASCII, continuation byte or overlong lead: one byte
    if (c < 0xE0)
        return 2;
    if (c < 0xF0)
        return 3;
    if (c < 0xF5)
        return 4;
    return 1;
}

void AppendUtf8(std::string& out, char32_t ch)
{
    if ((ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF)
        ch = 0xFFFD;
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

CodePage::CodePage(std::string_view name) : m_name(name)
{
    m_toUtf8 = Open("UTF-8", m_name.c_str());
    m_fromUtf8 = Open(m_name.c_str(), "UTF-8");
}

CodePage::~CodePage()
{
    if (m_toUtf8)
        iconv_close(static_cast<iconv_t>(m_toUtf8));
    if (m_fromUtf8)
        iconv_close(static_cast<iconv_t>(m_fromUtf8));
}

CodePage& CodePage::System()
{
    switch (g_systemChoice.load(std::memory_order_relaxed)) {
    case Choice::Utf8: {
        // UTF-8 to UTF-8 through iconv checks the bytes: a broken or cut sequence becomes
        // U+FFFD, one per byte, as in GBK.
        thread_local CodePage utf8("UTF-8");
        return utf8;
    }
    case Choice::Latin1: {
        thread_local CodePage latin1("ISO-8859-1");
        return latin1;
    }
    case Choice::Gbk: break;
    }
    return Gbk();
}

CodePage& CodePage::Gbk()
{
    thread_local CodePage gbk("GBK");
    return gbk;
}

void CodePage::SetSystemChoice(Choice choice)
{
    g_systemChoice.store(choice, std::memory_order_relaxed);
}

CodePage::Choice CodePage::SystemChoice()
{
    return g_systemChoice.load(std::memory_order_relaxed);
}

std::string CodePage::NameForWindowsCodePage(int codePage)
{
    switch (codePage) {
    case 936: return "GBK";
    case 950: return "BIG5";
    case 932: return "CP932";
    case 949: return "CP949";
    case 437: return "CP437";
    case 850: return "CP850";
    case 866: return "CP866";
    case 874: return "CP874";
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258: return "CP" + std::to_string(codePage);
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 54936: return "GB18030";
    case 65001: return "UTF-8";
    default: return {};
    }
}

std::string CodePage::ToUtf8(std::string_view bytes, std::size_t* failures)
{
    return Convert(m_toUtf8, bytes, failures, [](std::string& out, const char*, std::size_t) {
        out += kReplacement;
        return std::size_t{1};
    });
}

std::string CodePage::FromUtf8(std::string_view utf8, std::size_t* failures)
{
    return Convert(m_fromUtf8, utf8, failures,
                   [](std::string& out, const char* in, std::size_t left) {
                       out += '?';
                       std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(*in));
                       // Skip a whole character only when its continuation bytes are really there.
                       for (std::size_t i = 1; i < len; ++i) {
                           if (i >= left || (static_cast<unsigned char>(in[i]) & 0xC0) != 0x80)
                               return i;
                       }
                       return len;
                   });
}

std::size_t CodePage::ByteLength(char32_t ch)
{
    if (ch < 0x80)
        return 1;
    std::string utf8;
    AppendUtf8(utf8, ch);
    return FromUtf8(utf8).size();
}
