#include "Support/LatestChannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(LatestChannel, KeepsTheNewestItemsAndCountsWhatItDrops)
{
    LatestChannel<int> channel(3);
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(channel.push(i));
    EXPECT_EQ(channel.size(), 3u);
    EXPECT_EQ(channel.dropped(), 2u);
    EXPECT_EQ(channel.tryPop(), 3);
    EXPECT_EQ(channel.tryPop(), 4);
    EXPECT_EQ(channel.tryPop(), 5);
    EXPECT_EQ(channel.tryPop(), std::nullopt);
}

TEST(LatestChannel, ClosingRefusesNewItemsButKeepsQueuedOnes)
{
    LatestChannel<int> channel(4);
    channel.push(1);
    channel.close();
    EXPECT_FALSE(channel.push(2));
    EXPECT_TRUE(channel.isClosed());
    EXPECT_EQ(channel.pop(), 1);
    EXPECT_EQ(channel.pop(), std::nullopt) << "a closed, empty channel must not block";
}

TEST(LatestChannel, CloseWakesABlockedReader)
{
    LatestChannel<int> channel(4);
    std::atomic<bool> returned{false};
    std::thread reader([&] {
        EXPECT_EQ(channel.pop(), std::nullopt);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(returned.load());
    channel.close();
    reader.join();
    EXPECT_TRUE(returned.load());
}

TEST(LatestChannel, ReaderOnAnotherThreadGetsEverythingWhenItKeepsUp)
{
    LatestChannel<int> channel(1024);
    std::atomic<int> notified{0};
    channel.setOnReadable([&] { ++notified; });
    long sum = 0;
    std::thread reader([&] {
        while (auto item = channel.pop())
            sum += *item;
    });
    for (int i = 1; i <= 1000; ++i)
        channel.push(i);
    channel.close();
    reader.join();
    EXPECT_EQ(channel.dropped(), 0u);
    EXPECT_EQ(sum, 500500L);
    EXPECT_EQ(notified.load(), 1000);
}

TEST(LatestChannel, ZeroCapacityStillHoldsOneItem)
{
    LatestChannel<int> channel(0);
    channel.push(1);
    channel.push(2);
    EXPECT_EQ(channel.capacity(), 1u);
    EXPECT_EQ(channel.tryPop(), 2);
    EXPECT_EQ(channel.dropped(), 1u);
}
