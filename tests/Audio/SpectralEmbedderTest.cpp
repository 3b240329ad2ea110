#include "Audio/SpectralEmbedder.h"

#include "TestBuffers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr double kRate = 48000;

float tone(std::int64_t frame, double bin)
{
    return float(0.5 * std::sin(2 * std::numbers::pi * bin * double(frame) / SpectralEmbedder::frameLength));
}

// Deterministic noise with a DC offset and a half-rate component, so every bin, the first
// one included, carries energy.
float mixture(std::int64_t frame)
{
    const auto noise = float((frame * 7919 + 13) % 2001) / 1000.0f - 1.0f;
    return 0.2f * noise + tone(frame, 37.0) + 0.1f + (frame % 2 ? -0.05f : 0.05f);
}

QList<float> embed(const AudioBufferPtr& buffer)
{
    SpectralEmbedder embedder;
    embedder.accumulate(*buffer);
    return embedder.finalize().value_or(QList<float>{});
}

// The definition written out in double precision for one frame of `mixture`: windowed direct
// DFT, doubled magnitudes with the 0 Hz and half-rate terms in the first bin, log(1 + m), band
// means, unit length.
QList<float> referenceVector()
{
    constexpr int n = SpectralEmbedder::frameLength;
    auto coefficient = [](int k) {
        std::complex<double> sum;
        for (int i = 0; i < n; ++i)
            sum += mixture(i) * 0.8165 * 0.5 * (1 - std::cos(2 * std::numbers::pi * i / n)) *
                   std::polar(1.0, -2 * std::numbers::pi * k * i / n);
        return sum;
    };
    auto magnitude = [&](int k) {
        return k == 0 ? std::hypot(coefficient(0).real(), coefficient(n / 2).real()) : std::abs(coefficient(k));
    };
    QList<float> bands;
    double squares = 0;
    for (int b = 0; b < 24; ++b) {
        const int first = b * 21, end = b == 23 ? n / 2 : first + 21;
        double sum = 0;
        for (int k = first; k < end; ++k)
            sum += std::log(1 + 2 * magnitude(k));
        bands.append(float(sum / (end - first)));
        squares += double(bands.last()) * bands.last();
    }
    for (float& value : bands)
        value = float(value / std::sqrt(squares));
    return bands;
}

TEST(SpectralEmbedder, OneFrameMatchesTheDefinitionComputedDirectly)
{
    const QList<float> expected = referenceVector();
    const QList<float> actual = embed(makeBuffer({kRate, 1}, 1024, [](int, std::int64_t f) { return mixture(f); }));
    ASSERT_EQ(actual.size(), 24);
    for (int b = 0; b < 24; ++b)
        EXPECT_NEAR(actual[b], expected[b], 2e-6) << "band " << b;
}

TEST(SpectralEmbedder, FramesStartEvery256SamplesAcrossBuffers)
{
    struct Case {
        std::int64_t samples;
        int frames;
        std::size_t pending;
    };
    for (const Case& c : {Case{1023, 0, 1023}, Case{1024, 1, 768}, Case{1280, 2, 768}, Case{4096, 13, 768}}) {
        SpectralEmbedder whole, pieces;
        whole.accumulate(*makeBuffer({kRate, 1}, c.samples, [](int, std::int64_t f) { return mixture(f); }));
        for (std::int64_t start = 0; start < c.samples; start += 100)
            pieces.accumulate(*makeBuffer({kRate, 1}, std::min<std::int64_t>(100, c.samples - start),
                                          [&](int, std::int64_t f) { return mixture(start + f); }));
        EXPECT_EQ(whole.frameCount(), c.frames) << c.samples;
        EXPECT_EQ(whole.pendingSamples(), c.pending) << c.samples;
        EXPECT_EQ(whole.finalize(), pieces.finalize()) << c.samples;
        EXPECT_EQ(whole.finalize().has_value(), c.frames > 0) << c.samples;
        whole.reset();
        whole.accumulate(*makeBuffer({kRate, 1}, 1000, [](int, std::int64_t f) { return mixture(f); }));
        EXPECT_EQ(whole.finalize(), std::nullopt);  // what came before the reset completes no frame
    }
}

TEST(SpectralEmbedder, ATonePeaksInTheBandOfItsBinAndOnlyTheFirstChannelCounts)
{
    struct Case {
        int channels;
        double bin;  // of channel 0; channel 1 always holds a tone in bin 490
        int band;  // the loudest; -1 for digital silence, which gives 24 zeros
    };
    for (const Case& c :
         {Case{1, 10, 0}, Case{1, 100, 4}, Case{1, 300, 14}, Case{1, 490, 23}, Case{2, 100, 4}, Case{2, 0, -1}}) {
        const QList<float> vector = embed(makeBuffer({kRate, c.channels}, 4096, [&](int channel, std::int64_t f) {
            return channel == 1 ? tone(f, 490) : tone(f, c.bin);
        }));
        if (c.band < 0)
            EXPECT_EQ(vector, QList<float>(24, 0.0f));
        else
            EXPECT_EQ(std::max_element(vector.begin(), vector.end()) - vector.begin(), c.band) << "bin " << c.bin;
    }
}

}  // namespace
