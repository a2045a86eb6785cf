#include "core/receive/MessageFilter.h"

#include "core/base/SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

constexpr std::string_view kSection = "Settings\\Filter";

std::string RowName(int row)
{
    return "Filter" + std::to_string(row);
}

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// As "%d" reads a number: blanks skipped, a sign, the digits up to the first other
// character. A number beyond the range of int is no number.
std::optional<long long> ReadDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}

// As "%02X" reads a number: blanks skipped, then at most two characters, a sign counting
// as one of them.
std::optional<int> ReadHexByte(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const std::size_t end = std::min(text.size(), i + 2);
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int value = 0;
    std::size_t digits = 0;
    for (; i < end && std::isxdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        value = value * 16 + (c <= '9' ? c - '0' : c - 'A' + 10);
    }
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

bool MessageFilter::PassesFilter(const std::uint8_t* bytes, std::size_t count) const
{
    if (!m_bEnabled)
        return true;
    bool anyUsed = false;
    for (const FilterCondition& c : m_conditions) {
        if (!c.m_bUsed)
            continue;
        anyUsed = true;
        // Position 0 names no byte (an entered 256, 512, ...): the row never matches and,
        // lying before the message rather than beyond it, never ends the check.
        if (c.m_byIndex == 0)
            continue;
        if (c.m_byIndex > count)
            return false;
        if (bytes[c.m_byIndex - 1] == c.m_byValue)
            return true;
    }
    return !anyUsed;
}

int MessageFilter::UsedRows() const
{
    int used = 0;
    for (const FilterCondition& c : m_conditions)
        used += c.m_bUsed ? 1 : 0;
    return used;
}

FilterSettings LoadFilterSettings(const SettingsStore& store)
{
    FilterSettings settings;
    for (int row = 1; row <= MessageFilter::kRowCount; ++row) {
        FilterCondition& c = settings.m_conditions[static_cast<std::size_t>(row - 1)];
        const std::int32_t packed = store.ReadInt(kSection, RowName(row), 0);
        if (packed == 0)
            continue;
        c.m_bUsed = 1;
        c.m_byIndex = static_cast<std::uint8_t>(packed & 0xFF);
        c.m_byValue = static_cast<std::uint8_t>((packed >> 16) & 0xFF);
    }
    settings.m_displayScope = store.ReadInt(kSection, "Common", 0) & 1;
    return settings;
}

void SaveFilterSettings(SettingsStore& store, const FilterSettings& settings)
{
    store.WriteInt(kSection, "Common", settings.m_displayScope == 1 ? 1 : 0);
    for (int row = 1; row <= MessageFilter::kRowCount; ++row) {
        const FilterCondition& c = settings.m_conditions[static_cast<std::size_t>(row - 1)];
        store.WriteInt(kSection, RowName(row), c.m_bUsed ? c.m_byIndex + c.m_byValue * 65536 : 0);
    }
}

FilterCondition ParseFilterRow(std::string_view indexText, std::string_view valueText)
{
    FilterCondition c;
    const std::optional<long long> index = ReadDecimal(indexText);
    if (!index || *index <= 0)
        return c;
    const std::optional<int> value = ReadHexByte(valueText);
    if (!value || *value < 0)
        return c;
    c.m_bUsed = 1;
    c.m_byIndex = static_cast<std::uint8_t>(*index & 0xFF);
    c.m_byValue = static_cast<std::uint8_t>(*value);
    return c;
}

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool AllOf(std::string_view text, int (*test)(int))
{
    return std::all_of(text.begin(), text.end(),
                       [test](char c) { return test(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

FilterRowFault CheckFilterRow(std::string_view indexText, std::string_view valueText)
{
    const std::string_view index = Trimmed(indexText);
    const std::string_view value = Trimmed(valueText);
    if (index.empty() && value.empty())
        return FilterRowFault::None;
    if (index.empty())
        return FilterRowFault::MissingIndex;
    const std::optional<long long> number =
        AllOf(index, std::isdigit) ? ReadDecimal(index) : std::nullopt;
    if (!number || (*number & 0xFF) == 0)
        return FilterRowFault::BadIndex;
    if (value.empty())
        return FilterRowFault::MissingValue;
    if (value.size() > 2 || !AllOf(value, std::isxdigit))
        return FilterRowFault::BadValue;
    return FilterRowFault::None;
}

std::string FilterIndexText(const FilterCondition& condition)
{
    return std::to_string(condition.m_byIndex);
}

std::string FilterValueText(const FilterCondition& condition)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", condition.m_byValue);
    return text;
}
