#include "core/files/RecentFileList.h"
#include "core/base/SettingsStore.h"

#include <gtest/gtest.h>

TEST(RecentFileList, MostRecentFirstAtMostSixNoDuplicates)
{
    RecentFileList list;
    for (int i = 1; i <= 8; ++i)
        list.Add("/f" + std::to_string(i));
    ASSERT_EQ(list.Size(), 6u);
    EXPECT_EQ(list.At(0), "/f8");
    EXPECT_EQ(list.At(5), "/f3");
    list.Add("/f5"); // moves to the front
    EXPECT_EQ(list.At(0), "/f5");
    EXPECT_EQ(list.Size(), 6u);
    list.Remove(1);
    EXPECT_EQ(list.At(1), "/f7");
    list.Remove(10); // out of range: nothing

    MemorySettingsStore store;
    list.Save(store);
    RecentFileList shorter;
    shorter.Add("/only");
    RecentFileList loaded;
    loaded.Load(store);
    EXPECT_EQ(loaded.Files(), list.Files());
    shorter.Save(store); // a shorter list leaves no stale entries
    loaded.Load(store);
    EXPECT_EQ(loaded.Files(), std::vector<std::string>{"/only"});
}
