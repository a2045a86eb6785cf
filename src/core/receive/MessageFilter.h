#pragma once

#include "core/receive/ReceivePipeline.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class SettingsStore;

// One row of the filter: the byte at 1-based position m_byIndex must be m_byValue.
struct FilterCondition
{
    std::int32_t m_bUsed = 0;
    std::uint8_t m_byIndex = 0;
    std::uint8_t m_byValue = 0;
};

// Which received messages are shown: the used rows are alternatives (any match shows the
// message), except that the first used row whose position lies beyond the end of the
// message rejects it at once. Off, or on without a used row, it shows everything.
class MessageFilter : public ReceiveFilter
{
public:
    static constexpr int kRowCount = 10;
    using Conditions = std::array<FilterCondition, kRowCount>;

    bool PassesFilter(const std::uint8_t* bytes, std::size_t count) const override;

    void SetConditions(const Conditions& conditions) { m_conditions = conditions; }
    const Conditions& GetConditions() const { return m_conditions; }
    void SetEnabled(bool enabled) { m_bEnabled = enabled; }
    bool IsEnabled() const { return m_bEnabled; }
    int UsedRows() const;

private:
    Conditions m_conditions{};
    bool m_bEnabled = false;
};

// What "Settings\Filter" keeps: the rows and the display scope (0 all ports, 1 the current
// port). Whether the filter is on is not kept: every start has it off.
struct FilterSettings
{
    MessageFilter::Conditions m_conditions{};
    int m_displayScope = 0;
};

FilterSettings LoadFilterSettings(const SettingsStore& store);
void SaveFilterSettings(SettingsStore& store, const FilterSettings& settings);

// A row from the texts the user typed: the position in decimal, the value in hexadecimal
// (at most two characters). An empty or unreadable text, a position that is not above 0 or
// a negative value leave the row unused. A position keeps its low 8 bits (300 becomes 44).
FilterCondition ParseFilterRow(std::string_view indexText, std::string_view valueText);
// What is wrong with a row's typed texts, before it is applied: both cells empty is an
// unused row; otherwise the position must be a whole decimal number that names a byte (its
// low 8 bits, as kept, not 0) and the value one or two hexadecimal digits.
enum class FilterRowFault
{
    None,
    MissingIndex,
    MissingValue,
    BadIndex,
    BadValue,
};
FilterRowFault CheckFilterRow(std::string_view indexText, std::string_view valueText);
// The texts a used row shows: the position in decimal, the value as two hexadecimal digits.
std::string FilterIndexText(const FilterCondition& condition);
std::string FilterValueText(const FilterCondition& condition);
