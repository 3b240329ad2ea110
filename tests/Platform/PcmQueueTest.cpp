#include "Platform/PcmQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

AudioBufferPtr block(std::vector<float> samples)
{
    return std::make_shared<const AudioBuffer>(AudioFormat{22050, 1}, std::move(samples), 0,
                                               std::chrono::steady_clock::now());
}

std::vector<float> read(PcmQueue& queue, std::size_t samples)
{
    std::vector<float> out(samples);
    out.resize(queue.read(out.data(), samples * sizeof(float)) / sizeof(float));
    return out;
}

}  // namespace

TEST(PcmQueue, ReadsAcrossBlocksAndEndsOnlyOnceAnnouncedAndDrained)
{
    PcmQueue queue;
    queue.append(block({1, 2, 3}));
    queue.append(block({}));
    queue.append(nullptr);
    queue.append(block({4, 5}));
    EXPECT_EQ(queue.bytesAvailable(), 5 * sizeof(float));
    EXPECT_EQ(read(queue, 2), (std::vector<float>{1, 2}));
    EXPECT_EQ(read(queue, 2), (std::vector<float>{3, 4}));
    EXPECT_EQ(read(queue, 4), (std::vector<float>{5}));
    EXPECT_TRUE(read(queue, 4).empty());
    EXPECT_FALSE(queue.atEnd()) << "more may still come";

    queue.append(block({6}));
    queue.endStream();
    EXPECT_FALSE(queue.atEnd());
    EXPECT_EQ(read(queue, 4), (std::vector<float>{6}));
    EXPECT_TRUE(queue.atEnd());
}
