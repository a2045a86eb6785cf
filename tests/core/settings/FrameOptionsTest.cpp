#include "core/settings/FrameOptions.h"
#include "core/base/CommandIds.h"
#include "core/base/SettingsStore.h"

#include <gtest/gtest.h>

TEST(FrameOptions, CommonBitsMapToTheEightKeptFlags)
{
    FrameOptions o;
    EXPECT_EQ(o.ToCommon(0), 1); // first start: only show port

    o.SetFromCommon(0x100); // only always-on-top: show port goes off
    EXPECT_EQ(o.m_showPort, 0);
    EXPECT_EQ(o.ToCommon(0), 0);

    o.SetFromCommon(0xFF);
    for (int id : {ID_SHOW_PORT, ID_SHOW_SENT, ID_SHOW_TIME, ID_ASC_RECEIVE, ID_ASC_SEND, ID_ADD_CR,
                   ID_ADD_STX, ID_ADD_ETX})
        EXPECT_EQ(*o.FlagForCommand(id), 1) << id;
    // Not kept: untouched by the bits, never written.
    EXPECT_EQ(o.m_addLF, 0);
    EXPECT_EQ(o.m_paused, 0);
    o.m_addLF = o.m_paused = o.m_jumpToNextLine = 1;
    EXPECT_EQ(o.ToCommon(0), 0xFF);

    // Bit 8 comes from the stored value, not from the flags; higher bits are dropped.
    o.SetFromCommon(0x04 | 0x10);
    EXPECT_EQ(o.ToCommon(0x100 | 0x01 | 0x200), 0x100 | 0x04 | 0x10);
}

namespace {

struct KeptBit
{
    int m_command;
    std::int32_t m_bit;
};

void PrintTo(const KeptBit& c, std::ostream* os)
{
    *os << "command " << c.m_command << " bit 0x" << std::hex << c.m_bit;
}

// Every flag that is kept, alone: a flag read from or written to a neighbour's bit shows.
class FrameOptionsBit : public ::testing::TestWithParam<KeptBit>
{
};

constexpr int kAllFlagCommands[] = {ID_SHOW_PORT, ID_SHOW_SENT, ID_SHOW_TIME,     ID_ASC_RECEIVE,
                                    ID_ASC_SEND,  ID_ADD_CR,    ID_ADD_STX,       ID_ADD_ETX,
                                    ID_ADD_LF,    ID_PAUSE,     ID_JUMP_NEXT_LINE};

void ExpectOnlyFlagSet(const FrameOptions& o, int command)
{
    for (int id : kAllFlagCommands)
        EXPECT_EQ(*o.FlagForCommand(id), id == command ? 1 : 0) << "command " << id;
}

} // namespace

TEST_P(FrameOptionsBit, EachKeptFlagHasItsOwnBit)
{
    const KeptBit c = GetParam();
    for (std::int32_t topMost : {0, FrameOptions::kTopMostBit}) {
        SCOPED_TRACE(topMost);
        FrameOptions o;
        o.SetFromCommon(c.m_bit | topMost);
        ExpectOnlyFlagSet(o, c.m_command);
        // Bit 8 is taken from the stored value, whatever was read before.
        EXPECT_EQ(o.ToCommon(topMost), c.m_bit | topMost);
        EXPECT_EQ(o.ToCommon(FrameOptions::kTopMostBit ^ topMost),
                  c.m_bit | (FrameOptions::kTopMostBit ^ topMost));

        FrameOptions only;
        only.m_showPort = 0;
        *only.FlagForCommand(c.m_command) = 1;
        EXPECT_EQ(only.ToCommon(topMost), c.m_bit | topMost);

        // Through the store: saved, loaded back, and read into fresh options.
        MemorySettingsStore store;
        store.WriteInt("Settings", "Common", 0xFF | topMost);
        FrameStoredValues::Save(store, 0, only, "/x/", 1);
        EXPECT_EQ(store.ReadInt("Settings", "Common", -1), c.m_bit | topMost);
        FrameOptions loaded;
        loaded.SetFromCommon(FrameStoredValues::Load(store).m_common);
        ExpectOnlyFlagSet(loaded, c.m_command);
    }
}

INSTANTIATE_TEST_SUITE_P(KeptFlags, FrameOptionsBit,
                         ::testing::Values(KeptBit{ID_SHOW_PORT, 0x01}, KeptBit{ID_SHOW_SENT, 0x02},
                                           KeptBit{ID_SHOW_TIME, 0x04},
                                           KeptBit{ID_ASC_RECEIVE, 0x08},
                                           KeptBit{ID_ASC_SEND, 0x10}, KeptBit{ID_ADD_CR, 0x20},
                                           KeptBit{ID_ADD_STX, 0x40}, KeptBit{ID_ADD_ETX, 0x80}));

TEST(FrameOptions, ToggleFlipsOnlyItsFlag)
{
    FrameOptions o;
    EXPECT_TRUE(o.Toggle(ID_SHOW_PORT));
    EXPECT_EQ(o.m_showPort, 0);
    o.m_showTime = 5; // anything non-zero toggles to 0
    EXPECT_TRUE(o.Toggle(ID_SHOW_TIME));
    EXPECT_EQ(o.m_showTime, 0);
    EXPECT_TRUE(o.Toggle(ID_ADD_LF));
    EXPECT_EQ(o.m_addLF, 1);
    EXPECT_TRUE(o.Toggle(ID_PAUSE));
    EXPECT_EQ(o.m_paused, 1);
    EXPECT_FALSE(o.Toggle(ID_WORD_WRAP)); // a view state, not a frame flag
    EXPECT_FALSE(o.Toggle(32782));        // the id without a menu item
}

TEST(FrameOptions, StoredValuesDefaultsAndRoundTrip)
{
    MemorySettingsStore store;
    FrameStoredValues v = FrameStoredValues::Load(store);
    EXPECT_EQ(v.m_comHis, 0);
    EXPECT_EQ(v.m_common, 1);
    EXPECT_EQ(v.m_asTime, 1);
    ASSERT_FALSE(v.m_autoSaveDir.empty());
    EXPECT_EQ(v.m_autoSaveDir.back(), '/');

    store.WriteString("Settings", "AutoSave", ""); // empty reads as the default too
    EXPECT_EQ(FrameStoredValues::Load(store).m_autoSaveDir, v.m_autoSaveDir);

    FrameOptions o;
    o.m_showTime = 1;
    StoreTopMost(store, true);
    FrameStoredValues::Save(store, 3, o, "/data/", 15);
    v = FrameStoredValues::Load(store);
    EXPECT_EQ(v.m_comHis, 3);
    EXPECT_EQ(v.m_common, 0x100 | 0x01 | 0x04);
    EXPECT_EQ(v.m_autoSaveDir, "/data/");
    EXPECT_EQ(v.m_asTime, 15);
}

TEST(FrameOptions, TopMostTwiceLeavesCommonAsItWas)
{
    MemorySettingsStore store;
    store.WriteInt("Settings", "Common", 0x2D);
    StoreTopMost(store, true);
    EXPECT_EQ(store.ReadInt("Settings", "Common", 1), 0x12D);
    StoreTopMost(store, false);
    EXPECT_EQ(store.ReadInt("Settings", "Common", 1), 0x2D);

    MemorySettingsStore empty; // absent "Common" reads as 1
    StoreTopMost(empty, true);
    EXPECT_EQ(empty.ReadInt("Settings", "Common", 0), 0x101);
}
