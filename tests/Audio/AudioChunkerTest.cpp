#include "Audio/AudioChunker.h"

#include <gtest/gtest.h>

namespace {

// Periods of odd sizes of a ramp come out as whole buffers that continue one another
// sample for sample, channel by channel, with nothing lost, doubled or left partial.
TEST(AudioChunker, CutsPeriodsOfAnySizeIntoContiguousBuffers)
{
    struct Case {
        int channels;
        std::vector<std::int64_t> periods;
    };
    const Case cases[] = {
        {1, {1000, 3333, 7, 4096, 5000, 1}},
        {2, {4096, 4096, 4096}},
        {2, {8192 + 17, 100, 3979}},
        {6, {1, 2, 3, 4095, 9000}},
    };
    for (const Case& c : cases) {
        AudioChunker chunker({48000, c.channels}, 4096);
        std::vector<AudioBufferPtr> buffers;
        std::int64_t total = 0;
        for (const std::int64_t period : c.periods) {
            std::vector<float> interleaved(std::size_t(period * c.channels));
            for (std::int64_t frame = 0; frame < period; ++frame)
                for (int channel = 0; channel < c.channels; ++channel)
                    interleaved[std::size_t(frame * c.channels + channel)] =
                        float(total + frame) + float(channel) * 0.25f;
            total += period;
            for (auto& buffer : chunker.append(interleaved.data(), period, std::chrono::steady_clock::now()))
                buffers.push_back(buffer);
        }
        ASSERT_EQ(std::int64_t(buffers.size()), total / 4096) << c.channels;
        for (std::size_t i = 0; i < buffers.size(); ++i) {
            const AudioBuffer& buffer = *buffers[i];
            ASSERT_EQ(buffer.frameCount(), 4096);
            ASSERT_EQ(buffer.framePosition(), std::int64_t(i) * 4096);
            ASSERT_EQ(buffer.format(), (AudioFormat{48000, c.channels}));
            for (int channel = 0; channel < c.channels; ++channel)
                for (std::int64_t frame = 0; frame < 4096; ++frame)
                    ASSERT_EQ(buffer.channelData(channel)[frame],
                              float(buffer.framePosition() + frame) + float(channel) * 0.25f);
        }
    }
}

}  // namespace
