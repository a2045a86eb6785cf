#include "core/text/QmCatalogue.h"

#include "core/text/CodePage.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr std::uint8_t kMagic[16] = {0x3C, 0xB8, 0x64, 0x18, 0xCA, 0xEF, 0x9C, 0x95,
                                     0xCD, 0x21, 0x1C, 0xBF, 0x60, 0xA1, 0xBD, 0xDD};
constexpr std::uint8_t kBlockHashes = 0x42;
constexpr std::uint8_t kBlockMessages = 0x69;

// Tags of a message's fields.
enum : std::uint8_t
{
    kTagEnd = 1,
    kTagTranslation = 3,
    kTagObsolete1 = 5,
    kTagSourceText = 6,
    kTagContext = 7,
    kTagComment = 8,
};

std::uint32_t Read32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8)
           | p[3];
}

// The ELF hash of the source text followed by the (empty) comment, never 0.
std::uint32_t Hash(const char* text)
{
    std::uint32_t h = 0;
    for (const auto* k = reinterpret_cast<const unsigned char*>(text); *k; ++k) {
        h = (h << 4) + *k;
        const std::uint32_t g = h & 0xF0000000u;
        if (g)
            h ^= g >> 24;
        h &= ~g;
    }
    return h ? h : 1;
}

std::string Utf16BeToUtf8(const std::uint8_t* p, std::size_t bytes)
{
    std::string out;
    out.reserve(bytes);
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        std::uint32_t c = (std::uint32_t{p[i]} << 8) | p[i + 1];
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes) {
            const std::uint32_t low = (std::uint32_t{p[i + 2]} << 8) | p[i + 3];
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, static_cast<char32_t>(c)); // a lone surrogate becomes U+FFFD
    }
    return out;
}

} // namespace

bool QmCatalogue::Load(const std::string& path)
{
    m_hashes.clear();
    m_messages.clear();
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    if (data.size() < sizeof kMagic || std::memcmp(data.data(), kMagic, sizeof kMagic) != 0)
        return false;
    for (std::size_t at = sizeof kMagic; at + 5 <= data.size();) {
        const std::uint8_t tag = data[at];
        const std::size_t length = Read32(&data[at + 1]);
        at += 5;
        if (length > data.size() - at)
            return false;
        if (tag == kBlockHashes)
            m_hashes.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                            data.begin() + static_cast<std::ptrdiff_t>(at + length));
        else if (tag == kBlockMessages)
            m_messages.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                              data.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    }
    m_hashes.resize(m_hashes.size() / 8 * 8);
    if (m_messages.empty())
        m_hashes.clear();
    return !m_hashes.empty();
}

std::string QmCatalogue::Translate(const char* context, const char* source) const
{
    if (m_hashes.empty())
        return {};
    const std::uint32_t h = Hash(source);
    // The pairs are sorted by hash: the first with this hash, then each with it in turn.
    std::size_t low = 0;
    std::size_t high = m_hashes.size() / 8;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        if (Read32(&m_hashes[middle * 8]) < h)
            low = middle + 1;
        else
            high = middle;
    }
    for (std::size_t i = low; i < m_hashes.size() / 8 && Read32(&m_hashes[i * 8]) == h; ++i) {
        std::string text = MessageAt(Read32(&m_hashes[i * 8 + 4]), context, source);
        if (!text.empty())
            return text;
    }
    return {};
}

std::string QmCatalogue::MessageAt(std::size_t offset, const char* context,
                                   const char* source) const
{
    const std::uint8_t* m = m_messages.data() + offset;
    const std::uint8_t* end = m_messages.data() + m_messages.size();
    const std::uint8_t* translation = nullptr;
    std::size_t translationLength = 0;
    const auto field = [&](const char* want) {
        if (end - m < 4)
            return false;
        const std::size_t length = Read32(m);
        m += 4;
        if (length > static_cast<std::size_t>(end - m))
            return false;
        // A stored context or source that differs means another message with the same hash.
        const bool same =
            !want || (std::strlen(want) == length && std::memcmp(m, want, length) == 0);
        m += length;
        return same;
    };
    while (m < end) {
        switch (*m++) {
        case kTagEnd:
            return translation ? Utf16BeToUtf8(translation, translationLength) : std::string();
        case kTagTranslation:
            if (end - m < 4)
                return {};
            translationLength = Read32(m);
            if (translationLength > static_cast<std::size_t>(end - m - 4))
                return {};
            translation = m + 4;
            m += 4 + translationLength;
            break;
        case kTagObsolete1: m += 4; break;
        case kTagSourceText:
            if (!field(source))
                return {};
            break;
        case kTagContext:
            if (!field(context))
                return {};
            break;
        case kTagComment:
            if (!field(nullptr))
                return {};
            break;
        default: return {};
        }
    }
    return {};
}
