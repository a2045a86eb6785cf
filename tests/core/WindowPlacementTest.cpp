#include "CommandIds.h"
#include "WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, RectanglesOnTheWholeScreen)
{
    WindowRect r;
    ASSERT_TRUE(PlacementRect(ID_WINDOW_CENTER, 1920, 1080, r));
    EXPECT_EQ(r, (WindowRect{480, 270, 1440, 810}));
    ASSERT_TRUE(PlacementRect(ID_WINDOW_CENTER, 1366, 767, r)); // odd sizes: integer division
    EXPECT_EQ(r, (WindowRect{341, 191, 1024, 575}));
    ASSERT_TRUE(PlacementRect(ID_WINDOW_TOP_HALF, 1366, 767, r));
    EXPECT_EQ(r, (WindowRect{0, 0, 1366, 383}));
    ASSERT_TRUE(PlacementRect(ID_WINDOW_BOTTOM_HALF, 1366, 767, r));
    EXPECT_EQ(r, (WindowRect{0, 383, 1366, 767}));
    ASSERT_TRUE(PlacementRect(ID_WINDOW_LEFT_HALF, 1366, 767, r));
    EXPECT_EQ(r, (WindowRect{0, 0, 683, 767}));
    ASSERT_TRUE(PlacementRect(ID_WINDOW_RIGHT_HALF, 1366, 767, r));
    EXPECT_EQ(r, (WindowRect{683, 0, 1366, 767}));
    EXPECT_FALSE(PlacementRect(ID_ALWAYS_ON_TOP, 1920, 1080, r));
}
