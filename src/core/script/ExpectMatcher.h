#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What one wait for received bytes looks for, and the bytes it looks in: those received
// since the wait began, of which only the last few are kept once searched, so that a match
// may span messages while every byte is looked at a bounded number of times (the whole
// wait is linear in the bytes seen).
//
// A hex pattern ("01 03 ?? ??", ?? any byte) is searched here. A Lua pattern is searched by
// the caller in Text() (the bytes kept and the new ones); a plain pattern keeps one byte
// fewer than itself, one with magic characters keeps `window` bytes, and one anchored with
// ^ is tried on each received message alone.
class ExpectMatcher
{
public:
    // Bytes a pattern with magic characters looks back across messages, unless told.
    static constexpr std::size_t kDefaultWindow = 256;

    // Null, with the reason in error, when text is not hex bytes and ?? separated by blanks.
    static std::optional<ExpectMatcher> FromHex(std::string_view text, std::string& error);
    static ExpectMatcher FromPattern(std::string pattern, std::size_t window = kDefaultWindow);

    bool IsHex() const { return m_hex; }
    const std::string& Pattern() const { return m_pattern; }

    // A received message: its bytes join those to search.
    void Feed(const std::uint8_t* bytes, std::size_t count);
    // What to search now.
    std::string_view Text() const { return m_text; }
    // Hex: the first match in Text() that takes in new bytes, as [begin, end).
    bool FindHex(std::size_t& begin, std::size_t& end) const;
    // After a search without a match: only what a later match may still need is kept.
    void Searched();

private:
    ExpectMatcher() = default;

    bool m_hex = false;
    bool m_anchored = false;
    std::string m_pattern; // Lua pattern, or the hex pattern's bytes (wild ones in m_wild)
    std::string m_wild;    // hex: 1 where the byte is ??
    std::size_t m_keep = 0;
    std::string m_text;
    std::size_t m_fresh = 0; // where the bytes not yet searched begin in m_text
};
