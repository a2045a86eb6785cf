#include "core/receive/MessageFilter.h"

#include "core/base/SettingsStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

MessageFilter FilterOf(std::initializer_list<FilterCondition> rows, bool enabled = true)
{
    MessageFilter::Conditions conditions{};
    std::size_t i = 0;
    for (const FilterCondition& c : rows)
        conditions[i++] = c;
    MessageFilter filter;
    filter.SetConditions(conditions);
    filter.SetEnabled(enabled);
    return filter;
}

bool Passes(const MessageFilter& filter, std::vector<std::uint8_t> bytes)
{
    return filter.PassesFilter(bytes.data(), bytes.size());
}

FilterCondition Row(int index, int value)
{
    return {1, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(value)};
}

} // namespace

TEST(MessageFilterTest, RowsAreAlternativesUntilOneLiesBeyondTheMessage)
{
    const MessageFilter filter = FilterOf({Row(5, 0x01), Row(1, 0x03)});
    EXPECT_FALSE(Passes(filter, {0x03, 0x00, 0x00}));                   // row 1 beyond it
    EXPECT_TRUE(Passes(filter, {0x03, 0x00, 0x00, 0x00, 0x02, 0x00}));  // through row 2
    EXPECT_TRUE(Passes(filter, {0x04, 0x00, 0x00, 0x00, 0x01, 0x00}));  // through row 1
    EXPECT_FALSE(Passes(filter, {0x04, 0x00, 0x00, 0x00, 0x02, 0x00})); // neither

    const MessageFilter first = FilterOf({Row(1, 0x0A)});
    EXPECT_TRUE(Passes(first, {0x0A, 0x03}));
    EXPECT_FALSE(Passes(first, {0x0B, 0x0A}));
    EXPECT_FALSE(Passes(first, {}));
    EXPECT_EQ(first.UsedRows(), 1);

    // Unused rows between used ones are skipped.
    MessageFilter::Conditions gaps{};
    gaps[7] = Row(2, 0x10);
    MessageFilter gapped;
    gapped.SetConditions(gaps);
    gapped.SetEnabled(true);
    EXPECT_TRUE(Passes(gapped, {0x00, 0x10}));
    EXPECT_FALSE(Passes(gapped, {0x00, 0x11}));
}

TEST(MessageFilterTest, OffOrWithoutUsedRowsShowsEverything)
{
    EXPECT_TRUE(Passes(FilterOf({}), {0x01}));
    EXPECT_TRUE(Passes(FilterOf({}), {}));
    EXPECT_TRUE(Passes(FilterOf({Row(1, 0x0A)}, false), {0x0B}));
}

// Position 0 (an entered 256) names no byte: the row never matches and never ends the
// check, and it reads nothing, also from an empty message.
TEST(MessageFilterTest, PositionZeroNeverMatchesNorReads)
{
    const MessageFilter alone = FilterOf({Row(0, 0x00)});
    EXPECT_FALSE(alone.PassesFilter(nullptr, 0));
    EXPECT_FALSE(Passes(alone, {0x00, 0x00}));
    const MessageFilter then = FilterOf({Row(0, 0x03), Row(1, 0x03)});
    EXPECT_TRUE(Passes(then, {0x03}));
    EXPECT_FALSE(Passes(then, {0x04}));
}

TEST(MessageFilterTest, RowsFromTypedTexts)
{
    struct Case
    {
        const char* index;
        const char* value;
        int used, byIndex, byValue;
    };
    const Case cases[] = {
        {"5", "01", 1, 5, 0x01},
        {"300", "0a", 1, 44, 0x0A},
        {" 12abc", " FF", 1, 12, 0xFF},
        {"256", "7", 1, 0, 0x07},
        {"1", "0A7", 1, 1, 0x0A},
        {"+3", "+F", 1, 3, 0x0F},
        {"0", "01", 0, 0, 0},
        {"-3", "01", 0, 0, 0},
        {"", "01", 0, 0, 0},
        {"x1", "01", 0, 0, 0},
        {"5", "", 0, 0, 0},
        {"5", "G1", 0, 0, 0},
        {"5", "-1", 0, 0, 0},
        {"99999999999", "01", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const FilterCondition row = ParseFilterRow(c.index, c.value);
        EXPECT_EQ(row.m_bUsed, c.used) << c.index << " " << c.value;
        if (row.m_bUsed) {
            EXPECT_EQ(row.m_byIndex, c.byIndex) << c.index;
            EXPECT_EQ(row.m_byValue, c.byValue) << c.value;
        }
    }
    EXPECT_EQ(FilterIndexText(Row(44, 0x0A)), "44");
    EXPECT_EQ(FilterValueText(Row(44, 0x0A)), "0A");
}

TEST(MessageFilterTest, RowsThatCannotBeAppliedAreNamed)
{
    struct Case
    {
        const char* index;
        const char* value;
        FilterRowFault fault;
    };
    using F = FilterRowFault;
    const Case cases[] = {
        {"", " ", F::None},
        {" 5 ", "0a", F::None},
        {"300", "A", F::None},
        {"440441", "", F::MissingValue},
        {"", "01", F::MissingIndex},
        {"12abc", "01", F::BadIndex},
        {"0", "01", F::BadIndex},
        {"256", "01", F::BadIndex},
        {"99999999999", "01", F::BadIndex},
        {"5", "440441", F::BadValue},
        {"5", "G1", F::BadValue},
        {"5", "-1", F::BadValue},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckFilterRow(c.index, c.value), c.fault) << c.index << " / " << c.value;
}

TEST(MessageFilterTest, StoredPackingRoundTrips)
{
    MemorySettingsStore store;
    FilterSettings settings;
    settings.m_conditions[0] = Row(1, 0x03);
    settings.m_conditions[3] = Row(44, 0xFF);
    settings.m_displayScope = 1;
    SaveFilterSettings(store, settings);
    EXPECT_EQ(store.ReadInt("Settings\\Filter", "Filter1", -1), 1 + 3 * 65536);
    EXPECT_EQ(store.ReadInt("Settings\\Filter", "Filter4", -1), 44 + 255 * 65536);
    EXPECT_EQ(store.ReadInt("Settings\\Filter", "Filter2", -1), 0);
    EXPECT_EQ(store.ReadInt("Settings\\Filter", "Filter10", -1), 0);
    EXPECT_EQ(store.ReadInt("Settings\\Filter", "Common", -1), 1);

    const FilterSettings back = LoadFilterSettings(store);
    EXPECT_EQ(back.m_displayScope, 1);
    for (std::size_t i = 0; i < back.m_conditions.size(); ++i) {
        EXPECT_EQ(back.m_conditions[i].m_bUsed, settings.m_conditions[i].m_bUsed) << i;
        EXPECT_EQ(back.m_conditions[i].m_byIndex, settings.m_conditions[i].m_byIndex) << i;
        EXPECT_EQ(back.m_conditions[i].m_byValue, settings.m_conditions[i].m_byValue) << i;
    }

    // Only bit 0 of "Common" counts; bits 8 to 15 and 24 to 31 of a row are not read; a
    // stored row may carry position 0.
    store.WriteInt("Settings\\Filter", "Common", 2);
    store.WriteInt("Settings\\Filter", "Filter2", 0x7F02'5A05);
    store.WriteInt("Settings\\Filter", "Filter3", 0x00AB'0000);
    const FilterSettings odd = LoadFilterSettings(store);
    EXPECT_EQ(odd.m_displayScope, 0);
    EXPECT_EQ(odd.m_conditions[1].m_byIndex, 0x05);
    EXPECT_EQ(odd.m_conditions[1].m_byValue, 0x02);
    EXPECT_EQ(odd.m_conditions[2].m_bUsed, 1);
    EXPECT_EQ(odd.m_conditions[2].m_byIndex, 0);
    EXPECT_EQ(odd.m_conditions[2].m_byValue, 0xAB);

    MemorySettingsStore empty;
    const FilterSettings none = LoadFilterSettings(empty);
    EXPECT_EQ(none.m_displayScope, 0);
    for (const FilterCondition& c : none.m_conditions)
        EXPECT_EQ(c.m_bUsed, 0);
}
