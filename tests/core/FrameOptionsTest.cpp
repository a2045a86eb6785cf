#include "CommandIds.h"
#include "FrameOptions.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

TEST(FrameOptions, CommonBitsMapToTheEightKeptFlags)
{
    FrameOptions o;
    EXPECT_EQ(o.ToCommon(0), 1); // first start: only show port

    o.SetFromCommon(0x100); // only always-on-top: show port goes off
    EXPECT_EQ(o.m_showPort, 0);
    EXPECT_EQ(o.ToCommon(0), 0);

    o.SetFromCommon(0xFF);
    for (int id : {ID_SHOW_PORT, ID_SHOW_SENT, ID_SHOW_TIME, ID_ASC_RECEIVE, ID_ASC_SEND,
                   ID_ADD_CR, ID_ADD_STX, ID_ADD_ETX})
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
