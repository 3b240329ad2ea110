#include "Audio/VoiceprintEmbedder.h"

#include "Audio/SpeakerRoster.h"
#include "TestBuffers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// A steady voiced sound: a fundamental and its harmonics falling off like a glottal pulse's;
// silence for pitch 0.
float voice(double pitch, double seconds)
{
    if (pitch <= 0)
        return 0;
    double value = 0;
    for (int harmonic = 1; harmonic * pitch < 3800; ++harmonic)
        value += std::sin(2 * std::numbers::pi * harmonic * pitch * seconds) / harmonic;
    return float(0.1 * value);
}

std::optional<QList<float>> print(double pitch, AudioFormat format, double seconds)
{
    VoiceprintEmbedder embedder;
    const auto frames = std::int64_t(seconds * format.sampleRate);
    for (std::int64_t start = 0; start < frames; start += 4096)
        embedder.accumulate(makeBuffer(
            format, std::min<std::int64_t>(4096, frames - start),
            [&](int channel, std::int64_t f) {
                // A second channel holds something else: the print hears the mix of both.
                return channel == 0 ? voice(pitch, double(start + f) / format.sampleRate) : 0.0f;
            },
            start));
    return embedder.finalize();
}

// Telling real people apart is the speaker classifier's test, on recorded speech.
TEST(VoiceprintEmbedder, OneVoiceGivesOnePrintAtAnyRateOrChannelCount)
{
    const QList<float> reference = *print(120, {48000, 1}, 2);
    for (const AudioFormat format : {AudioFormat{16000, 1}, AudioFormat{44100, 1}, AudioFormat{48000, 2}}) {
        const std::optional<QList<float>> other = print(120, format, 2);
        ASSERT_TRUE(other.has_value()) << format.sampleRate;
        ASSERT_EQ(other->size(), VoiceprintEmbedder::kLength);
        EXPECT_LT(SpeakerRoster::distance(reference, *other), 0.05f) << format.sampleRate << " " << format.channels;
    }
    // An octave higher lies far from it.
    EXPECT_GT(SpeakerRoster::distance(reference, *print(240, {48000, 1}, 2)), 1.0f);
}

TEST(VoiceprintEmbedder, GivesNothingWithoutEnoughVoicedSpeech)
{
    EXPECT_EQ(print(0, {48000, 1}, 2), std::nullopt);  // silence
    EXPECT_EQ(print(120, {48000, 1}, 0.25), std::nullopt);  // less than 0.3 s voiced
    EXPECT_NE(print(120, {48000, 1}, 0.5), std::nullopt);

    VoiceprintEmbedder embedder;
    embedder.accumulate(makeBuffer({16000, 1}, 16000, [](int, std::int64_t f) { return voice(150, f / 16000.0); }));
    ASSERT_NE(embedder.finalize(), std::nullopt);
    EXPECT_EQ(embedder.finalize(), embedder.finalize());
    embedder.reset();
    EXPECT_EQ(embedder.finalize(), std::nullopt);
    EXPECT_FALSE(embedder.speech().has_value());
}

// The speech of an utterance lies where it was heard, in the microphone's audio time, whatever
// the silence around it, and even when it is too short for a print.
TEST(VoiceprintEmbedder, FindsWhereTheSpeechLiesAndHowMuchIsVoiced)
{
    const struct {
        double utteranceStart, speechStart, speechEnd;  // seconds of audio time
    } cases[] = {{0, 0.5, 1.5}, {12.0, 12.8, 13.0}, {3.0, 3.0, 3.6}};
    constexpr double kRate = 48000;
    for (const auto& c : cases) {
        VoiceprintEmbedder embedder;
        const auto first = std::int64_t(c.utteranceStart * kRate), last = std::int64_t((c.speechEnd + 0.8) * kRate);
        for (std::int64_t start = first; start < last; start += 4096)
            embedder.accumulate(makeBuffer(
                {kRate, 1}, std::min<std::int64_t>(4096, last - start),
                [&](int, std::int64_t f) {
                    const double at = double(start + f) / kRate;
                    return at >= c.speechStart && at < c.speechEnd ? voice(180, at) : 0.0f;
                },
                start));
        const std::optional<VoiceprintEmbedder::Speech> speech = embedder.speech();
        ASSERT_TRUE(speech.has_value()) << c.speechStart;
        EXPECT_NEAR(speech->startSeconds, c.speechStart, 0.05) << c.speechStart;
        EXPECT_NEAR(speech->endSeconds, c.speechEnd, 0.05) << c.speechStart;
        EXPECT_NEAR(speech->voicedFrames, (c.speechEnd - c.speechStart) * 100, 6) << c.speechStart;
    }
}

}  // namespace
