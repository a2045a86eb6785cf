#include "core/base/BackgroundDisposer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

TEST(BackgroundDisposer, FreesInOrderOffTheCallersThreadAndFinishesAtDestruction)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<int> order; // written by the disposer's thread only, read after it joined
    std::atomic<bool> offThread{true};
    {
        BackgroundDisposer disposer;
        for (int i = 0; i < 100; ++i) {
            auto big = std::make_unique<std::vector<char>>(1 << 16, 'x');
            disposer.Dispose(
                [&, i, big = std::shared_ptr<std::vector<char>>(std::move(big))]() mutable {
                    if (std::this_thread::get_id() == caller)
                        offThread = false;
                    big.reset();
                    order.push_back(i);
                });
        }
        // Destroyed with jobs still waiting: every one of them runs before it returns.
    }
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_TRUE(offThread);

    // A disposer that was never given a job starts no thread and ends at once.
    BackgroundDisposer idle;
}
