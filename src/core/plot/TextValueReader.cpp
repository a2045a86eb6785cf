#include "core/plot/TextValueReader.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A whole field as a number (a leading '+' allowed); nothing when anything is left over.
std::optional<double> ReadNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> TextValueReader::Named(std::string_view line, std::string_view name)
{
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && IsSeparator(line[at]))
            ++at;
        std::size_t end = at;
        while (end < line.size() && !IsSeparator(line[end]))
            ++end;
        const std::string_view field = line.substr(at, end - at);
        const std::size_t mark = field.find_first_of(":=");
        if (mark != std::string_view::npos && field.substr(0, mark) == name)
            return ReadNumber(field.substr(mark + 1));
        at = end;
    }
    return std::nullopt;
}

std::optional<double> TextValueReader::Nth(std::string_view line, int n)
{
    int seen = 0;
    std::size_t at = 0;
    while (at < line.size()) {
        const char c = line[at];
        const bool sign = (c == '-' || c == '+') && at + 1 < line.size()
                          && (IsDigit(line[at + 1]) || line[at + 1] == '.');
        const bool starts =
            IsDigit(c) || sign || (c == '.' && at + 1 < line.size() && IsDigit(line[at + 1]));
        // A digit inside a word ("ch2", "0x1F") is not a number of its own.
        const bool inWord =
            at > 0
            && (std::isalpha(static_cast<unsigned char>(line[at - 1])) || line[at - 1] == '_');
        if (!starts || inWord) {
            ++at;
            continue;
        }
        const char* begin = line.data() + at + (c == '+' ? 1 : 0);
        double value = 0;
        const auto [end, error] = std::from_chars(begin, line.data() + line.size(), value);
        if (error != std::errc()) {
            ++at;
            continue;
        }
        if (++seen == n)
            return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
        at = static_cast<std::size_t>(end - line.data());
    }
    return std::nullopt;
}
