#include "VAD/EnergyVAD.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr double kLoud = 0.05;  // RMS well above the engine's 0.012
constexpr double kQuiet = 0.001;
const VoiceActivity kStarted = VoiceActivity::speechStarted();

// A constant signal (so its RMS) on the first channel, `rest` on the others.
AudioBuffer buffer(double rmsValue, int frames, std::int64_t position, double rate = 1000.0, float rest = 0.0f,
                   int channels = 1)
{
    std::vector<float> samples(static_cast<std::size_t>(frames), static_cast<float>(rmsValue));
    samples.resize(static_cast<std::size_t>(frames * channels), rest);
    return AudioBuffer(AudioFormat{rate, channels}, std::move(samples), position, {});
}

// The onset or end a buffer yields after its level, if any.
std::optional<VoiceActivity> change(EnergyVAD& vad, const AudioBuffer& audio)
{
    const EnergyVAD::Events events = vad.process(audio);
    EXPECT_EQ(events.front().kind(), VoiceActivity::Kind::level);
    EXPECT_LE(events.size(), 2);
    return events.size() == 2 ? std::optional(events.back()) : std::nullopt;
}

}  // namespace

// Mono audio at 1 kHz, so one frame is one millisecond; every buffer carries the same capture
// stamp, so only its frames tell the time, as for a backlog processed in one burst.
TEST(EnergyVAD, StartsAfterThreeLoudBuffersAndEndsAWholeHangoverAfterTheLastLoudAudio)
{
    struct Step {
        double rms;
        int frames;
        std::optional<VoiceActivity> change;
        std::int64_t at = -1;  // the frame position, right after the last buffer when -1
    };
    const auto started = [](int frames) {
        return std::vector<Step>{{kLoud, frames, {}}, {kLoud, frames, {}}, {kLoud, frames, kStarted}};
    };
    const auto with = [](std::vector<Step> steps, std::vector<Step> more) {
        steps.insert(steps.end(), more.begin(), more.end());
        return steps;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"two loud then quiet never starts",
         {{kLoud, 50, {}}, {kLoud, 50, {}}, {kQuiet, 50, {}}, {kLoud, 50, {}}, {kLoud, 50, {}}, {kLoud, 50, kStarted}}},
        // Onset decided at 150 ms, last loud audio ends at 200 ms.
        {"a pause shorter than the hangover keeps the segment",
         with(started(50), {{kLoud, 50, {}}, {kQuiet, 100, {}}, {kLoud, 50, {}}, {kQuiet, 149, {}}})},
        {"quiet of exactly the hangover ends it",
         with(started(50), {{kLoud, 50, {}}, {kQuiet, 100, {}}, {kQuiet, 50, VoiceActivity::speechEnded(200, 150)}})},
        {"one millisecond short of the hangover does not",
         with(started(50), {{kQuiet, 149, {}}, {kQuiet, 1, VoiceActivity::speechEnded(150, 150)}})},
        {"after an end a new onset needs three loud buffers",
         with(started(50), with({{kQuiet, 200, VoiceActivity::speechEnded(200, 200)}}, started(50)))},
        {"dropped buffers count as time passed",
         with(started(50), {{kQuiet, 50, VoiceActivity::speechEnded(550, 550), 650}})},
        {"a restarted capture continues the audio clock",
         with(started(1000), {{kQuiet, 100, {}, 0}, {kQuiet, 50, VoiceActivity::speechEnded(150, 150)}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EnergyVAD vad(0.012, 3, 150);
        std::int64_t position = 0;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            position = step.at >= 0 ? step.at : position;
            EXPECT_EQ(change(vad, buffer(step.rms, step.frames, position)), step.change) << "buffer " << i;
            position += step.frames;
        }
    }
}

TEST(EnergyVAD, AtFortyEightKilohertzTheSegmentCountsWholeMilliseconds)
{
    EnergyVAD vad(0.012, 3, 150);
    for (int i = 0; i < 5; ++i)
        change(vad, buffer(kLoud, 4096, i * 4096, 48000.0));
    EXPECT_EQ(change(vad, buffer(kQuiet, 4096, 5 * 4096, 48000.0)), std::nullopt);  // 85 ms of quiet
    // From the onset decision (end of the 3rd buffer) to the end of the 7th: 16384 frames.
    EXPECT_EQ(change(vad, buffer(kQuiet, 4096, 6 * 4096, 48000.0)), VoiceActivity::speechEnded(341, 170));
}

TEST(EnergyVAD, LevelIsTheFirstChannelsRmsTimes30Clamped)
{
    EnergyVAD vad(0.012, 3, 150);
    const struct {
        AudioBuffer audio;
        double level;
    } cases[] = {
        {buffer(0.01, 64, 0), 0.3},
        {buffer(0.5, 64, 0), 1.0},
        {buffer(0.0, 50, 0, 1000.0, 0.9f, 2), 0.0},
        {buffer(0.01, 50, 0, 1000.0, 0.0f, 2), 0.3},
        {AudioBuffer(AudioFormat{}, std::vector<float>(64, 0.9f), 0, {}), 0.0},
        {AudioBuffer(AudioFormat{48000, 1}, {}, 0, {}), 0.0},
    };
    for (const auto& c : cases) {
        const EnergyVAD::Events events = vad.process(c.audio);
        ASSERT_EQ(events.size(), 1);
        EXPECT_NEAR(events.front().levelValue(), c.level, 1e-6);
    }
}

TEST(EnergyVAD, ABufferExactlyAtTheThresholdIsLoud)
{
    // 0.5 is exact in binary, so the RMS of a constant 0.5 signal is exactly 0.5.
    EnergyVAD vad(0.5, 1, 150);
    EXPECT_EQ(change(vad, buffer(std::nextafter(0.5f, 0.0f), 4096, 0)), std::nullopt);
    EXPECT_EQ(change(vad, buffer(0.5, 4096, 4096)), kStarted);
}

TEST(EnergyVAD, ResetEndsASegmentSilently)
{
    EnergyVAD vad(0.012, 3, 150);
    for (int i = 0; i < 4; ++i)
        change(vad, buffer(kLoud, 50, i * 50));
    vad.reset();
    EXPECT_FALSE(vad.isSpeaking());
    EXPECT_EQ(change(vad, buffer(kQuiet, 1000, 200)), std::nullopt);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(change(vad, buffer(kLoud, 50, 1200 + i * 50)), std::nullopt);
    EXPECT_EQ(change(vad, buffer(kLoud, 50, 1300)), kStarted);
}

// Speech that stops early in a loud buffer ends a hang-over after its last loud 10 ms, and the
// end says how long the speech had been over by then.
TEST(EnergyVAD, AnEndInsideABufferCountsFromItsLastLoudHundredthOfASecond)
{
    EnergyVAD vad(0.012, 3, 150);
    for (int i = 0; i < 3; ++i)
        change(vad, buffer(kLoud, 50, i * 50));
    // Loud for its first 30 ms only, yet loud as a whole.
    std::vector<float> tail(100, 0.0f);
    std::fill_n(tail.begin(), 30, float(kLoud));
    EXPECT_EQ(change(vad, AudioBuffer(AudioFormat{1000.0, 1}, std::move(tail), 150, {})), std::nullopt);
    EXPECT_EQ(change(vad, buffer(kQuiet, 79, 250)), std::nullopt);  // 149 ms since the speech stopped
    EXPECT_EQ(change(vad, buffer(kQuiet, 1, 329)), VoiceActivity::speechEnded(180, 150));
}
