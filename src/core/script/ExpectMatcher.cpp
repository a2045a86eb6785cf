#include "core/script/ExpectMatcher.h"

#include "core/text/CoreText.h"
#include "core/text/HexText.h"

#include <cstring>

std::optional<ExpectMatcher> ExpectMatcher::FromHex(std::string_view text, std::string& error)
{
    ExpectMatcher matcher;
    matcher.m_hex = true;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t' || text[i] == ',') {
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i] == '?' && text[i + 1] == '?') {
            matcher.m_pattern += '\0';
            matcher.m_wild += '1';
            i += 2;
            continue;
        }
        const int high = HexDigitValue(static_cast<unsigned char>(text[i]));
        const int low =
            i + 1 < text.size() ? HexDigitValue(static_cast<unsigned char>(text[i + 1])) : -1;
        if (high < 0 || low < 0) {
            error = CoreText::Args(VRL_TR("ExpectMatcher", "十六进制模式“%1”在第 %2 个字符处有误"),
                                   {text, std::to_string(i + 1)});
            return std::nullopt;
        }
        matcher.m_pattern += static_cast<char>(high * 16 + low);
        matcher.m_wild += '0';
        i += 2;
    }
    if (matcher.m_pattern.empty()) {
        error = VRL_TR("ExpectMatcher", "十六进制模式为空");
        return std::nullopt;
    }
    matcher.m_keep = matcher.m_pattern.size() - 1;
    return matcher;
}

ExpectMatcher ExpectMatcher::FromPattern(std::string pattern, std::size_t window)
{
    ExpectMatcher matcher;
    matcher.m_anchored = !pattern.empty() && pattern[0] == '^';
    const bool plain = pattern.find_first_of("^$*+?.([%-") == std::string::npos;
    matcher.m_keep = matcher.m_anchored          ? 0
                     : plain && !pattern.empty() ? pattern.size() - 1
                                                 : window;
    matcher.m_pattern = std::move(pattern);
    return matcher;
}

void ExpectMatcher::Feed(const std::uint8_t* bytes, std::size_t count)
{
    if (m_anchored) {
        m_text.clear();
        m_fresh = 0;
    }
    m_text.append(reinterpret_cast<const char*>(bytes), count);
}

bool ExpectMatcher::FindHex(std::size_t& begin, std::size_t& end) const
{
    const std::size_t k = m_pattern.size();
    if (m_text.size() < k)
        return false;
    // A match wholly among the bytes already searched would have been found then.
    std::size_t s = m_fresh >= k - 1 ? m_fresh - (k - 1) : 0;
    for (; s + k <= m_text.size(); ++s) {
        std::size_t j = 0;
        while (j < k && (m_wild[j] == '1' || m_text[s + j] == m_pattern[j]))
            ++j;
        if (j == k) {
            begin = s;
            end = s + k;
            return true;
        }
    }
    return false;
}

void ExpectMatcher::Searched()
{
    if (m_text.size() > m_keep)
        m_text.erase(0, m_text.size() - m_keep);
    m_fresh = m_text.size();
}
