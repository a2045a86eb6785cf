#include "core/send/AdvanceSendSettings.h"

#include "core/base/SettingsStore.h"

#include <string>

namespace {

constexpr const char* kSection = "Settings\\AdvanceSend";

// Low and high 16 bits of a stored value, both unsigned.
int Low16(std::int32_t v)
{
    return static_cast<int>(static_cast<std::uint32_t>(v) & 0xFFFFu);
}

int High16(std::int32_t v)
{
    return static_cast<int>((static_cast<std::uint32_t>(v) >> 16) & 0xFFFFu);
}

std::int32_t Pack16(int low, int high)
{
    const std::uint32_t v = (static_cast<std::uint32_t>(low) & 0xFFFFu)
                            | ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16);
    return static_cast<std::int32_t>(v);
}

int InRangeOr(int value, int low, int high, int fallback)
{
    return value >= low && value <= high ? value : fallback;
}

std::string TriggerName(int row)
{
    return "Trigger" + std::to_string(row + 1);
}

} // namespace

AdvanceSendSettings AdvanceSendSettings::Load(const SettingsStore& store)
{
    AdvanceSendSettings s;
    const AdvanceSendSettings d;
    s.m_cyclePeriod = InRangeOr(store.ReadInt(kSection, "CycTimer", 1000), kMinPeriod, kMaxPeriod,
                                d.m_cyclePeriod);
    const std::int32_t cycLine = store.ReadInt(kSection, "CycLine", 1);
    s.m_fixedLine = InRangeOr(Low16(cycLine), 1, kMaxLine, d.m_fixedLine);
    s.m_triggerDelay = InRangeOr(High16(cycLine), 0, kMaxDelay, d.m_triggerDelay);
    const std::int32_t cycLines = store.ReadInt(kSection, "CycLines", 131073);
    s.m_rangeFirst = InRangeOr(Low16(cycLines), 1, kMaxLine, d.m_rangeFirst);
    s.m_rangeLast = InRangeOr(High16(cycLines), 2, kMaxLine, d.m_rangeLast);
    const std::int32_t common = store.ReadInt(kSection, "Common", 0);
    s.m_rangeMode = (common & 1) ? 1 : 0;
    s.m_fixedLineMode = (common & 2) ? 1 : 0;

    for (int i = 0; i < kTriggerRows; ++i) {
        const std::int32_t v = store.ReadInt(kSection, TriggerName(i), 0);
        TriggerEntry& row = s.m_triggers[static_cast<std::size_t>(i)];
        if (v != 0)
            row = TriggerEntry{1, Low16(v), High16(v)};
    }
    if (!s.m_triggers[0].used)
        s.m_triggers[0] = TriggerEntry{1, 2, 3};
    return s;
}

void AdvanceSendSettings::Save(SettingsStore& store) const
{
    store.WriteInt(kSection, "CycTimer", m_cyclePeriod);
    store.WriteInt(kSection, "CycLine", Pack16(m_fixedLine, m_triggerDelay));
    store.WriteInt(kSection, "CycLines", Pack16(m_rangeFirst, m_rangeLast));
    store.WriteInt(kSection, "Common", (m_rangeMode == 1 ? 1 : 0) | (m_fixedLineMode == 1 ? 2 : 0));
    for (int i = 0; i < kTriggerRows; ++i) {
        const TriggerEntry& row = m_triggers[static_cast<std::size_t>(i)];
        store.WriteInt(kSection, TriggerName(i),
                       row.used ? Pack16(row.receivedLine, row.triggerLine) : 0);
    }
}

std::optional<int> AdvanceSendSettings::ParseTriggerCell(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    long value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxLine)
            return std::nullopt;
    }
    if (digits == 0 || value < 1)
        return std::nullopt;
    return static_cast<int>(value);
}

TriggerEntry AdvanceSendSettings::RowFromCells(std::string_view receivedCell,
                                               std::string_view triggerCell)
{
    const std::optional<int> received = ParseTriggerCell(receivedCell);
    const std::optional<int> trigger = ParseTriggerCell(triggerCell);
    if (!received || !trigger)
        return TriggerEntry{};
    return TriggerEntry{1, *received, *trigger};
}

int AdvanceSendSettings::UsedTriggerCount() const
{
    int n = 0;
    for (const TriggerEntry& row : m_triggers)
        n += row.used ? 1 : 0;
    return n;
}
