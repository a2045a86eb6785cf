#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

class SettingsStore;

// One row of the trigger table: a received message equal to the text of the send editor's
// line receivedLine is answered with line triggerLine (both 1-based).
struct TriggerEntry
{
    int used = 0;
    int receivedLine = 0;
    int triggerLine = 0;
};

// The settings of cyclic and triggered sending, as the send dialog holds them, with their
// stored form in "Settings\AdvanceSend". Line numbers are 1-based.
struct AdvanceSendSettings
{
    static constexpr int kTriggerRows = 10;
    static constexpr int kMinPeriod = 20;
    static constexpr int kMaxPeriod = 108000000; // 30 hours
    static constexpr int kMaxLine = 60000;
    static constexpr int kMaxDelay = 1000;

    std::array<TriggerEntry, kTriggerRows> m_triggers{};
    int m_rangeMode = 0;      // 0: one line, 1: a range of lines
    int m_fixedLineMode = 0;  // 0: the caret line, 1: m_fixedLine
    int m_cyclePeriod = 1000; // ms
    int m_fixedLine = 1;
    int m_rangeFirst = 1;
    int m_rangeLast = 2;
    int m_triggerDelay = 0; // ms

    // Reads the values with their defaults. A value outside the range the dialog accepts
    // (a damaged or hand-edited file) gives the default instead: a period of 0 would send
    // without pause. Row 1 of the trigger table, when unused, becomes 2 -> 3.
    static AdvanceSendSettings Load(const SettingsStore& store);
    // Writes "CycTimer", "CycLine", "CycLines", "Common" and "Trigger1".."Trigger10".
    void Save(SettingsStore& store) const;

    // The number a trigger cell gives, when it makes the row usable: the text starts (after
    // blanks) with a decimal number from 1 to kMaxLine. Empty, zero, negative, letters or a
    // number too large for the stored 16 bits give nothing.
    static std::optional<int> ParseTriggerCell(std::string_view text);
    // A row from its two cells, as Apply reads it: used only when both cells give a number.
    static TriggerEntry RowFromCells(std::string_view receivedCell, std::string_view triggerCell);

    // How many rows are in force.
    int UsedTriggerCount() const;
};
