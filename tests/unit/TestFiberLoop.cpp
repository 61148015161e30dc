// The loop the download pool's workers run on: tasks that wait yield to each other, and news
// from another thread reaches a waiting task at once, not at its deadline.
#include "MyCode/FiberLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

TEST(FiberLoop, TasksTakeTurnsAndNewsFromAnotherThreadWakesAWaitingTask)
{
    CFiberLoop loop;
    std::atomic<bool> queued{false};
    std::vector<int> order;
    // The first task waits for news with a deadline far away; the second sleeps a moment, and
    // meanwhile another thread queues work and tells the loop.
    ASSERT_TRUE(loop.Spawn([&] {
        order.push_back(1);
        while (!queued)
            CFiberLoop::WaitForNews(Clock::now() + std::chrono::seconds(60));
        order.push_back(4);
    }));
    ASSERT_TRUE(loop.Spawn([&] {
        EXPECT_TRUE(CFiberLoop::InTask());
        order.push_back(2);
        CFiberLoop::SleepUntil(Clock::now() + std::chrono::milliseconds(50));
        order.push_back(3);
    }));
    std::thread teller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        queued = true;
        loop.Notify();
    });
    const auto start = Clock::now();
    loop.Run();
    teller.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_FALSE(CFiberLoop::InTask());
}
