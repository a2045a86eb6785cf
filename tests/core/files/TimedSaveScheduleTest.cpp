#include "core/files/TimedSaveSchedule.h"

#include <gtest/gtest.h>

TEST(TimedSaveSchedule, KeepsThePeriodUpTo60000Minutes)
{
    TimedSaveSchedule s;
    EXPECT_FALSE(s.TakeDue(1'000'000)); // not started
    s.Start(1000, 1);
    EXPECT_EQ(s.WaitMs(1000), 60000);
    EXPECT_FALSE(s.TakeDue(60999));
    EXPECT_TRUE(s.TakeDue(61000));
    EXPECT_EQ(s.DeadlineMs(), 121000); // from the deadline, not from a late tick
    EXPECT_FALSE(s.TakeDue(61000));

    // 60000 minutes is 3.6e9 ms: the wait is cut into hours, the deadline stays exact.
    s.Start(0, 60000);
    EXPECT_EQ(s.PeriodMs(), 3'600'000'000LL);
    EXPECT_EQ(s.WaitMs(0), TimedSaveSchedule::kMaxWaitMs);
    EXPECT_FALSE(s.TakeDue(3'599'999'999LL));
    EXPECT_EQ(s.WaitMs(3'599'999'000LL), 1000);
    EXPECT_TRUE(s.TakeDue(3'600'000'000LL));

    // After a sleep over several periods: one save, then the next deadline after now.
    s.Start(0, 1);
    EXPECT_TRUE(s.TakeDue(250000));
    EXPECT_EQ(s.DeadlineMs(), 300000);
    EXPECT_FALSE(s.TakeDue(299999));

    s.Start(0, 0); // out of range: the shortest period
    EXPECT_EQ(s.PeriodMs(), 60000);
    s.Stop();
    EXPECT_FALSE(s.TakeDue(1'000'000));
}
