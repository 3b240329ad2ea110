#include "Audio/BufferConverter.h"

#include "Audio/SpeakerClassifier.h"
#include "Common/WithoutLibrary.h"

#include "Common/QtPrinters.h"
#include "TestBuffers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

float sine(std::int64_t frame, double rate, double frequency = 440.0)
{
    return float(0.5 * std::sin(2 * std::numbers::pi * frequency * double(frame) / rate));
}

// Concatenates the converted buffers of `chunks` input buffers of a 440 Hz sine.
std::vector<float> convertSine(BufferConverter& converter, AudioFormat from, AudioFormat to, int chunks,
                               std::int64_t frames)
{
    std::vector<float> out;
    for (int i = 0; i < chunks; ++i) {
        const auto buffer = makeBuffer(
            from, frames, [&](int, std::int64_t f) { return sine(i * frames + f, from.sampleRate); }, i * frames);
        const auto converted = converter.convertBuffer(buffer, to);
        EXPECT_TRUE(converted);
        if (!converted)
            break;
        out.insert(out.end(), converted->channelData(0), converted->channelData(0) + converted->frameCount());
    }
    return out;
}

TEST(BufferConverter, ABufferAlreadyInTheFormatIsReturnedItself)
{
    BufferConverter converter;
    const auto buffer = makeBuffer({48000, 2}, 4096, [](int, std::int64_t) { return 0.1f; });
    EXPECT_EQ(converter.convertBuffer(buffer, {48000, 2}).get(), buffer.get());
}

TEST(BufferConverter, MixesChannelsByTheirMean)
{
    struct Case {
        AudioFormat from;
        int toChannels;
        std::vector<float> channelValues;  // constant per input channel
        std::vector<float> expected;  // per output channel
    };
    const Case cases[] = {
        {{48000, 2}, 1, {0.5f, -0.1f}, {0.2f}},
        {{48000, 4}, 1, {0.4f, 0.0f, 0.0f, 0.0f}, {0.1f}},
        {{48000, 1}, 2, {0.3f}, {0.3f, 0.3f}},
        {{48000, 4}, 2, {0.2f, 0.4f, 0.6f, 0.0f}, {0.4f, 0.2f}},
    };
    for (const Case& c : cases) {
        BufferConverter converter;
        const auto buffer =
            makeBuffer(c.from, 4096, [&](int channel, std::int64_t) { return c.channelValues[std::size_t(channel)]; });
        const auto mixed = converter.convertBuffer(buffer, {c.from.sampleRate, c.toChannels});
        ASSERT_TRUE(mixed);
        ASSERT_EQ(mixed->frameCount(), 4096);
        for (int channel = 0; channel < c.toChannels; ++channel)
            EXPECT_FLOAT_EQ(mixed->channelData(channel)[100], c.expected[std::size_t(channel)])
                << c.from.channels << "→" << c.toChannels;
    }
}

TEST(BufferConverter, ResamplingCarriesItsHistoryAcrossBuffers)
{
    // A stream converted buffer by buffer equals the same stream converted in one piece:
    // no clicks or gaps at the joins.
    BufferConverter chunked;
    BufferConverter whole;
    const std::vector<float> pieces = convertSine(chunked, {48000, 1}, {16000, 1}, 12, 4096);
    const std::vector<float> oneGo = convertSine(whole, {48000, 1}, {16000, 1}, 1, 12 * 4096);
    ASSERT_GT(pieces.size(), 15000u);
    const std::size_t common = std::min(pieces.size(), oneGo.size());
    float worst = 0;
    for (std::size_t i = 0; i < common; ++i)
        worst = std::max(worst, std::abs(pieces[i] - oneGo[i]));
    EXPECT_LT(worst, 1e-3f);
    // The signal's level survives (after the filter's delay), and positions follow the rate.
    double energy = 0;
    for (std::size_t i = 2000; i < pieces.size(); ++i)
        energy += double(pieces[i]) * pieces[i];
    EXPECT_NEAR(std::sqrt(energy / double(pieces.size() - 2000)), 0.5 / std::sqrt(2.0), 0.01);
    BufferConverter positions;
    const auto later = makeBuffer(
        {48000, 1}, 4096, [](int, std::int64_t) { return 0.0f; }, 3 * 4096);
    EXPECT_EQ(positions.convertBuffer(later, {16000, 1})->framePosition(), 4096);
}

TEST(BufferConverter, AChangeOfChannelCountAtTheSameRateIsConvertedCorrectly)
{
    BufferConverter converter;
    const auto stereo = makeBuffer({48000, 2}, 4096, [](int, std::int64_t f) { return sine(f, 48000); });
    const auto quad =
        makeBuffer({48000, 4}, 4096, [](int channel, std::int64_t f) { return channel == 0 ? sine(f, 48000) : 0.0f; });
    ASSERT_TRUE(converter.convertBuffer(stereo, {16000, 1}));
    const auto fromQuad = converter.convertBuffer(quad, {16000, 1});
    ASSERT_TRUE(fromQuad);
    EXPECT_EQ(BufferConverter::outputCapacity(48000, 16000, 4096), 1366);
    EXPECT_LE(fromQuad->frameCount(), 1366);
    float peak = 0;
    for (std::int64_t f = 0; f < fromQuad->frameCount(); ++f)
        peak = std::max(peak, std::abs(fromQuad->channelData(0)[f]));
    EXPECT_LT(peak, 0.5f / 4 + 0.02f);  // the mean of one loud and three silent channels
}

TEST(BufferConverter, ImpossibleFormatsAreReported)
{
    BufferConverter converter;
    const auto buffer = makeBuffer({48000, 2}, 4096, [](int, std::int64_t) { return 0.0f; });
    std::optional<BufferConverterError> error;
    EXPECT_FALSE(converter.convertBuffer(buffer, {0, 1}, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, BufferConverterError::Kind::failedToCreateConverter);
    error.reset();
    EXPECT_FALSE(
        converter.convertBuffer(makeBuffer({1, 1}, 4096, [](int, std::int64_t) { return 0.0f; }), {48000, 1}, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, BufferConverterError::Kind::failedToCreateConversionBuffer);
    EXPECT_EQ(error->description(), QStringLiteral("No room for the converted audio"));
    // The converter still works for a sound format afterwards.
    EXPECT_TRUE(converter.convertBuffer(buffer, {16000, 1}));
}

TEST(BufferConverter, Int16SamplesAreClampedAndInterleaved)
{
    const std::vector<std::pair<float, std::int16_t>> table{{0.0f, 0},       {0.5f, 16384},      {-0.5f, -16384},
                                                            {1.0f, 32767},   {-1.0f, -32767},    {1.5f, 32767},
                                                            {-7.0f, -32767}, {std::nanf(""), 0}, {INFINITY, 32767}};
    for (const auto& [value, expected] : table) {
        const auto buffer = makeBuffer({16000, 1}, 1, [sample = value](int, std::int64_t) { return sample; });
        EXPECT_EQ(BufferConverter::toInt16(*buffer).front(), expected) << value;
    }
    const auto stereo = makeBuffer(
        {16000, 2}, 2, [](int channel, std::int64_t frame) { return channel ? -0.25f : float(frame) * 0.5f; });
    EXPECT_EQ(BufferConverter::toInt16(*stereo), (std::vector<std::int16_t>{0, -8192, 16384, -8192}));
}

// Without libsoxr the rate cannot change, which is said, while channels still mix; the
// speaker labels fall back on the band vectors, which need no resampling.
TEST(BufferConverter, WithoutLibsoxrRatesStayButChannelsStillMix)
{
    if (!withoutLibrary(QStringLiteral("libsoxr.so.0")))
        return;
    const AudioBufferPtr stereo =
        makeBuffer({48000, 2}, 4800, [](int channel, std::int64_t) { return channel ? 0.5f : 0.1f; });
    BufferConverter converter;
    std::optional<BufferConverterError> error;
    EXPECT_EQ(converter.convertBuffer(stereo, {16000, 1}, &error), nullptr);
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->description().startsWith(
        QStringLiteral("No audio converter between these formats: libsoxr.so.0 cannot be loaded: ")))
        << error->description().toStdString();
    const AudioBufferPtr mono = converter.convertBuffer(stereo, {48000, 1}, &error);
    ASSERT_NE(mono, nullptr);
    EXPECT_FLOAT_EQ(mono->channelData(0)[100], 0.3f);

    SpeakerClassifier classifier;
    classifier.accumulate(stereo);
    EXPECT_EQ(classifier.endUtterance().value_or(Speaker{}).label, QStringLiteral("Speaker 1"));
}

}  // namespace
