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

    LatestChannel<int> zero(0);  // still holds one item
    zero.push(1);
    zero.push(2);
    EXPECT_EQ(zero.tryPop(), 2);
    EXPECT_EQ(zero.dropped(), 1u);
}

TEST(LatestChannel, ClosingRefusesNewItemsKeepsQueuedOnesAndWakesABlockedReader)
{
    LatestChannel<int> channel(4);
    channel.push(1);
    channel.close();
    EXPECT_FALSE(channel.push(2));
    EXPECT_EQ(channel.pop(), 1);
    EXPECT_EQ(channel.pop(), std::nullopt) << "a closed, empty channel must not block";

    LatestChannel<int> empty(4);
    std::thread reader([&] { EXPECT_EQ(empty.pop(), std::nullopt); });
    empty.close();
    reader.join();
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
