#include "Support/SerialWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

TEST(SerialWorker, RunsJobsInOrderOnOneThreadOffTheCaller)
{
    SerialWorker worker(QStringLiteral("app.parlivox.test"));
    std::mutex mutex;
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    for (int i = 0; i < 200; ++i) {
        worker.post([&, i] {
            std::lock_guard lock(mutex);
            order.push_back(i);
            threads.push_back(std::this_thread::get_id());
        });
    }
    worker.waitUntilIdle();
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    for (const auto& id : threads) {
        EXPECT_EQ(id, threads.front());
        EXPECT_NE(id, std::this_thread::get_id());
    }
}

TEST(SerialWorker, DestructionRunsEveryQueuedJobBeforeJoining)
{
    std::atomic<int> done{0};
    {
        SerialWorker worker(QStringLiteral("app.parlivox.test"));
        worker.post([] { std::this_thread::sleep_for(std::chrono::milliseconds(30)); });
        for (int i = 0; i < 50; ++i)
            worker.post([&] { ++done; });
    }
    EXPECT_EQ(done.load(), 50);
}

TEST(SerialWorker, WaitingOnAnIdleWorkerReturnsAtOnceAndRunAndWaitSeesEarlierJobs)
{
    SerialWorker worker(QStringLiteral("app.parlivox.test"));
    worker.waitUntilIdle();
    int value = 0;
    worker.post([&] { value = 1; });
    worker.runAndWait([&] { value *= 10; });
    EXPECT_EQ(value, 10);
}
