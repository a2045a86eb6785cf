#include "core/send/AdvanceSendSettings.h"

#include "core/base/SettingsStore.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* kSection = "Settings\\AdvanceSend";
}

TEST(AdvanceSendSettings, NoStoredValuesGiveTheDefaultsAndRowOneTwoToThree)
{
    MemorySettingsStore store;
    const AdvanceSendSettings s = AdvanceSendSettings::Load(store);
    EXPECT_EQ(s.m_cyclePeriod, 1000);
    EXPECT_EQ(s.m_fixedLine, 1);
    EXPECT_EQ(s.m_triggerDelay, 0);
    EXPECT_EQ(s.m_rangeFirst, 1);
    EXPECT_EQ(s.m_rangeLast, 2);
    EXPECT_EQ(s.m_rangeMode, 0);
    EXPECT_EQ(s.m_fixedLineMode, 0);
    EXPECT_EQ(s.m_triggers[0].used, 1);
    EXPECT_EQ(s.m_triggers[0].receivedLine, 2);
    EXPECT_EQ(s.m_triggers[0].triggerLine, 3);
    EXPECT_EQ(s.UsedTriggerCount(), 1);
}

TEST(AdvanceSendSettings, StoredFormPacksSixteenBitHalvesLowFirst)
{
    MemorySettingsStore store;
    AdvanceSendSettings s;
    s.m_cyclePeriod = AdvanceSendSettings::kMaxPeriod;
    s.m_fixedLine = 60000; // above 32767: the halves are unsigned
    s.m_triggerDelay = 1000;
    s.m_rangeFirst = 3;
    s.m_rangeLast = 5;
    s.m_rangeMode = 1;
    s.m_fixedLineMode = 1;
    s.m_triggers[0] = TriggerEntry{0, 7, 8}; // unused: stored as 0
    s.m_triggers[4] = TriggerEntry{1, 12, 60000};
    s.Save(store);

    EXPECT_EQ(store.ReadInt(kSection, "CycTimer", -1), 108000000);
    EXPECT_EQ(store.ReadInt(kSection, "CycLine", -1), (1000 << 16) | 60000);
    EXPECT_EQ(store.ReadInt(kSection, "CycLines", -1), (5 << 16) | 3);
    EXPECT_EQ(store.ReadInt(kSection, "Common", -1), 3);
    EXPECT_EQ(store.ReadInt(kSection, "Trigger1", -1), 0);
    EXPECT_EQ(store.ReadInt(kSection, "Trigger5", -1), static_cast<std::int32_t>(0xEA60000Cu));
    EXPECT_EQ(store.ReadInt(kSection, "Trigger10", -1), 0);

    const AdvanceSendSettings back = AdvanceSendSettings::Load(store);
    EXPECT_EQ(back.m_cyclePeriod, s.m_cyclePeriod);
    EXPECT_EQ(back.m_fixedLine, 60000);
    EXPECT_EQ(back.m_triggerDelay, 1000);
    EXPECT_EQ(back.m_rangeFirst, 3);
    EXPECT_EQ(back.m_rangeLast, 5);
    EXPECT_EQ(back.m_rangeMode, 1);
    EXPECT_EQ(back.m_fixedLineMode, 1);
    // Row 1 was stored unused, so it comes back as the first-start row.
    EXPECT_EQ(back.m_triggers[0].receivedLine, 2);
    EXPECT_EQ(back.m_triggers[4].used, 1);
    EXPECT_EQ(back.m_triggers[4].receivedLine, 12);
    EXPECT_EQ(back.m_triggers[4].triggerLine, 60000);
    EXPECT_EQ(back.UsedTriggerCount(), 2);

    // "Common" bits one at a time.
    store.WriteInt(kSection, "Common", 2);
    const AdvanceSendSettings fixedOnly = AdvanceSendSettings::Load(store);
    EXPECT_EQ(fixedOnly.m_rangeMode, 0);
    EXPECT_EQ(fixedOnly.m_fixedLineMode, 1);
}

TEST(AdvanceSendSettings, DamagedValuesFallBackToDefaults)
{
    MemorySettingsStore store;
    store.WriteInt(kSection, "CycTimer", 0); // would send without pause
    store.WriteInt(kSection, "CycLine", (5000 << 16) | 0);
    store.WriteInt(kSection, "CycLines", (1 << 16) | 61000);
    const AdvanceSendSettings s = AdvanceSendSettings::Load(store);
    EXPECT_EQ(s.m_cyclePeriod, 1000);
    EXPECT_EQ(s.m_fixedLine, 1);
    EXPECT_EQ(s.m_triggerDelay, 0);
    EXPECT_EQ(s.m_rangeFirst, 1);
    EXPECT_EQ(s.m_rangeLast, 2);
}

class TriggerCells
    : public ::testing::TestWithParam<std::tuple<const char*, const char*, int, int, int>>
{
};

TEST_P(TriggerCells, RowIsUsedOnlyWhenBothCellsStartWithAPositiveNumber)
{
    const auto [received, trigger, used, r, t] = GetParam();
    const TriggerEntry row = AdvanceSendSettings::RowFromCells(received, trigger);
    EXPECT_EQ(row.used, used);
    if (used) {
        EXPECT_EQ(row.receivedLine, r);
        EXPECT_EQ(row.triggerLine, t);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AdvanceSendSettings, TriggerCells,
    ::testing::Values(std::make_tuple("2", "3", 1, 2, 3), std::make_tuple(" 12abc", "+7", 1, 12, 7),
                      std::make_tuple("60000", "1", 1, 60000, 1),
                      std::make_tuple("0", "3", 0, 0, 0), std::make_tuple("-4", "3", 0, 0, 0),
                      std::make_tuple("ab", "3", 0, 0, 0), std::make_tuple("2", "", 0, 0, 0),
                      std::make_tuple("", "", 0, 0, 0),
                      std::make_tuple("65537", "3", 0, 0, 0))); // would not survive 16 bits
