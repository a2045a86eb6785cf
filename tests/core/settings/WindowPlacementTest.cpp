#include "core/settings/WindowPlacement.h"
#include "core/base/CommandIds.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>

void PrintTo(const WindowRect& r, std::ostream* os)
{
    *os << "{" << r.m_left << ", " << r.m_top << ", " << r.m_right << ", " << r.m_bottom << "}";
}

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

TEST(WindowPlacement, StoredRectangleIsFittedIntoTheWorkArea)
{
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const WindowRect screen{0, 0, 1920, 1040};
    const WindowRect left{-1280, -200, 0, 824}; // a second screen left of and above the first
    const struct
    {
        WindowRect stored;
        WindowRect area;
        WindowRect want;
    } cases[] = {
        {{100, 100, 900, 700}, screen, {100, 100, 900, 700}}, // inside: as stored
        {screen, screen, screen},
        {{100, 100, 2000000000, 2000000000}, screen, screen}, // no 2.9 GB window
        {{kMin, kMin, kMax, kMax}, screen, screen},           // its width overflows an int
        {{kMin, kMin, kMin + 800, kMin + 600}, screen, {0, 0, 800, 600}},
        {{kMax - 800, kMax - 600, kMax, kMax}, screen, {1120, 440, 1920, 1040}},
        {{1500, 900, 2300, 1500}, screen, {1120, 440, 1920, 1040}}, // partly off: moved in
        {{50, 60, 60, 70}, screen, {50, 60, 450, 360}},             // a sliver: made usable
        {{50, 60, 60, 70}, {0, 0, 320, 200}, {0, 0, 320, 200}}, // ...but no bigger than the area
        {{-2000, -500, -1000, 300}, left, {-1280, -200, -280, 600}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored.m_left << ", " << c.stored.m_top << ", "
                                        << c.stored.m_right << ", " << c.stored.m_bottom);
        WindowRect r;
        ASSERT_TRUE(ClampStoredRect(c.stored.m_left, c.stored.m_top, c.stored.m_right,
                                    c.stored.m_bottom, c.area, kMinRestoredWidth,
                                    kMinRestoredHeight, r));
        EXPECT_EQ(r, c.want);
    }

    // No rectangle (nothing stored reads as right = bottom = -1), or no area: first-start
    // placement, and out is left alone.
    const WindowRect untouched{1, 2, 3, 4};
    const WindowRect notRects[] = {{0, 0, -1, -1},
                                   {10, 10, 10, 500},
                                   {10, 10, 500, 10},
                                   {kMax, 0, kMin, 500},
                                   {0, kMax, 500, kMin}};
    for (const auto& s : notRects) {
        WindowRect r = untouched;
        EXPECT_FALSE(
            ClampStoredRect(s.m_left, s.m_top, s.m_right, s.m_bottom, screen, 400, 300, r));
        EXPECT_EQ(r, untouched);
    }
    WindowRect r = untouched;
    EXPECT_FALSE(ClampStoredRect(0, 0, 800, 600, WindowRect{0, 0, 0, 1040}, 400, 300, r));
    EXPECT_EQ(r, untouched);
}
