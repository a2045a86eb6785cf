#include "core/receive/ReceiveStallGuard.h"

#include <gtest/gtest.h>

// Each row: a look at the inbox at a time; whether it finds a stall.
TEST(ReceiveStallGuard, RunsATurnOnlyAfterASecondOfWaitingWithoutOne)
{
    struct Look
    {
        std::int64_t atMs;
        bool waiting;
        bool scheduled;
        bool turnBefore; // a turn ran since the previous look
        bool stall;
    };
    const Look looks[] = {
        {0, true, false, false, false}, // first seen waiting: maybe a wake-up on its way
        {999, true, false, false, false},
        {1000, true, false, false, true},  // a second with no turn: lost
        {1500, true, false, false, false}, // counted again only after another second
        {2500, true, false, true, false},  // a turn ran meanwhile: starts over
        {3600, true, true, false, false},  // a turn is scheduled: nothing is lost
        {3700, true, false, false, false},
        {4800, false, false, false, false}, // drained by itself
        {4900, true, false, false, false},
        {6000, true, false, false, true},
    };
    std::int64_t now = 0;
    ReceiveStallGuard guard([&] { return now; });
    int row = 0;
    for (const Look& look : looks) {
        now = look.atMs;
        if (look.turnBefore)
            guard.TurnRan();
        EXPECT_EQ(guard.Check(look.waiting, look.scheduled), look.stall) << "row " << row;
        ++row;
    }
    EXPECT_EQ(guard.Stalls(), 2u);
}
