#include "core/send/CyclicSend.h"

#include "core/send/AdvanceSendSettings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Ticks(CyclicSend& cycle, int n)
{
    std::vector<int> lines;
    for (int i = 0; i < n; ++i)
        lines.push_back(cycle.NextLine());
    return lines;
}

} // namespace

TEST(CyclicSend, LineRules)
{
    AdvanceSendSettings s;
    CyclicSend cycle(s);

    // The caret line, whatever the fixed line.
    s.m_fixedLine = 9;
    cycle.Start();
    EXPECT_EQ(Ticks(cycle, 2), (std::vector<int>{-1, -1}));

    s.m_fixedLineMode = 1;
    EXPECT_EQ(Ticks(cycle, 2), (std::vector<int>{8, 8}));

    // A range wraps to its first line; the fixed-line choice no longer counts.
    s.m_rangeMode = 1;
    s.m_rangeFirst = 3;
    s.m_rangeLast = 5;
    cycle.Start();
    EXPECT_EQ(Ticks(cycle, 7), (std::vector<int>{2, 3, 4, 2, 3, 4, 2}));

    // Starting again (Apply during a cycle) begins at the first line.
    cycle.Start();
    EXPECT_EQ(cycle.NextLine(), 2);

    // First after last: the first line every tick.
    s.m_rangeFirst = 5;
    s.m_rangeLast = 2;
    cycle.Start();
    EXPECT_EQ(Ticks(cycle, 3), (std::vector<int>{4, 4, 4}));
}
