#include "Platform/PcmStreamDevice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

AudioBufferPtr block(std::vector<float> samples)
{
    return std::make_shared<const AudioBuffer>(AudioFormat{22050, 1}, std::move(samples), 0,
                                               std::chrono::steady_clock::now());
}

std::vector<float> read(PcmStreamDevice& device, qint64 samples)
{
    std::vector<float> out(static_cast<std::size_t>(samples));
    const qint64 bytes = device.read(reinterpret_cast<char*>(out.data()), samples * qint64(sizeof(float)));
    out.resize(std::size_t(bytes / qint64(sizeof(float))));
    return out;
}

}  // namespace

TEST(PcmStreamDevice, ReadsAcrossBlocksAndEndsOnlyOnceAnnouncedAndDrained)
{
    PcmStreamDevice device;
    device.open(QIODevice::ReadOnly);
    device.append(block({1, 2, 3}));
    device.append(block({}));
    device.append(block({4, 5}));
    EXPECT_EQ(device.bytesAvailable(), 5 * qint64(sizeof(float)));
    EXPECT_EQ(read(device, 2), (std::vector<float>{1, 2}));
    EXPECT_EQ(read(device, 2), (std::vector<float>{3, 4}));
    EXPECT_EQ(read(device, 4), (std::vector<float>{5}));
    EXPECT_TRUE(read(device, 4).empty());
    EXPECT_FALSE(device.atEnd()) << "more may still come";

    device.append(block({6}));
    device.endStream();
    EXPECT_FALSE(device.atEnd());
    EXPECT_EQ(read(device, 4), (std::vector<float>{6}));
    EXPECT_TRUE(device.atEnd());
}
