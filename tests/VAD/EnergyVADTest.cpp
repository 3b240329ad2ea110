#include "VAD/EnergyVAD.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

static void PrintTo(const VoiceActivity& activity, std::ostream* out)
{
    switch (activity.kind()) {
    case VoiceActivity::Kind::speechStarted:
        *out << "speechStarted";
        return;
    case VoiceActivity::Kind::speechEnded:
        *out << "speechEnded(" << activity.durationMs() << ")";
        return;
    case VoiceActivity::Kind::level:
        *out << "level(" << activity.levelValue() << ")";
        return;
    }
}

namespace {

using Events = std::vector<VoiceActivity>;

constexpr double kLoud = 0.05;  // RMS well above the engine's 0.012
constexpr double kQuiet = 0.001;

// Mono audio at 1 kHz: one frame is one millisecond, so boundaries are exact.
class AudioClock {
public:
    explicit AudioClock(double rate = 1000.0, int channels = 1) : m_format{rate, channels} {}

    // A buffer whose first channel has the given RMS (a constant signal), right after the last.
    AudioBufferPtr next(double rmsValue, int frames, std::vector<float> otherChannels = {})
    {
        std::vector<float> samples(static_cast<std::size_t>(frames), static_cast<float>(rmsValue));
        for (int channel = 1; channel < m_format.channels; ++channel)
            samples.insert(samples.end(), static_cast<std::size_t>(frames),
                           otherChannels.at(static_cast<std::size_t>(channel - 1)));
        auto buffer = std::make_shared<const AudioBuffer>(m_format, std::move(samples), m_position,
                                                          std::chrono::steady_clock::time_point{});
        m_position += frames;
        return buffer;
    }
    void skip(int frames) { m_position += frames; }
    void restartCapture() { m_position = 0; }

private:
    AudioFormat m_format;
    std::int64_t m_position = 0;
};

VoiceActivity levelOf(const AudioBuffer& buffer)
{
    return VoiceActivity::level(std::min(EnergyVAD::rms(buffer) * 30.0, 1.0));
}

Events process(EnergyVAD& vad, const AudioBufferPtr& buffer)
{
    const auto events = vad.process(*buffer);
    return {events.begin(), events.end()};
}

EnergyVAD engineVAD()
{
    return EnergyVAD(0.012, 3, 150);
}

// Three loud buffers: the onset is decided at the end of the third.
void startSpeech(EnergyVAD& vad, AudioClock& clock, int framesPerBuffer)
{
    for (int i = 0; i < 3; ++i)
        process(vad, clock.next(kLoud, framesPerBuffer));
    ASSERT_TRUE(vad.isSpeaking());
}

struct Step {
    double rms;
    int frames;
    Events expected;  // after the level, which every buffer yields first
};

struct VADCase {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const VADCase& c, std::ostream* out)
{
    *out << c.name;
}

class EnergyVADCases : public testing::TestWithParam<VADCase> {};

TEST_P(EnergyVADCases, EmitsTheLevelFirstThenOnsetOrEnd)
{
    EnergyVAD vad = engineVAD();
    AudioClock clock;
    int index = 0;
    for (const Step& step : GetParam().steps) {
        const AudioBufferPtr buffer = clock.next(step.rms, step.frames);
        Events expected = step.expected;
        expected.insert(expected.begin(), levelOf(*buffer));
        EXPECT_EQ(process(vad, buffer), expected) << "buffer " << index++;
    }
}

const VoiceActivity kStarted = VoiceActivity::speechStarted();

INSTANTIATE_TEST_SUITE_P(
    Table, EnergyVADCases,
    testing::Values(VADCase{"SilenceGivesOnlyALevelOfZero", {{0.0, 50, {}}}},
                    VADCase{"TwoLoudThenQuietNeverStarts",
                            {{kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kQuiet, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {kStarted}}}},
                    VADCase{
                        "ThirdLoudBufferStartsAndLaterOnesOnlyMeasure",
                        {{kLoud, 50, {}}, {kLoud, 50, {}}, {kLoud, 50, {kStarted}}, {kLoud, 50, {}}, {kLoud, 50, {}}}},
                    // Onset decided at 150 ms, last loud audio ends at 200 ms.
                    VADCase{"QuietShorterThanTheHangoverKeepsTheSegment",
                            {{kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {kStarted}},
                             {kLoud, 50, {}},
                             {kQuiet, 100, {}},
                             {kLoud, 50, {}}}},
                    VADCase{"QuietOfExactlyTheHangoverEndsIt",
                            {{kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {kStarted}},
                             {kLoud, 50, {}},
                             {kQuiet, 100, {}},
                             {kQuiet, 50, {VoiceActivity::speechEnded(200)}}}},
                    VADCase{"OneMillisecondShortOfTheHangoverDoesNot",
                            {{kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {kStarted}},
                             {kQuiet, 149, {}},
                             {kQuiet, 1, {VoiceActivity::speechEnded(150)}}}},
                    VADCase{"AfterAnEndANewOnsetNeedsThreeLoudBuffers",
                            {{kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {kStarted}},
                             {kQuiet, 200, {VoiceActivity::speechEnded(200)}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {}},
                             {kLoud, 50, {kStarted}}}}),
    [](const testing::TestParamInfo<VADCase>& param) { return param.param.name; });

TEST(EnergyVAD, LevelIsRmsTimes30Clamped)
{
    EnergyVAD vad = engineVAD();
    AudioClock clock;
    const struct {
        double rms;
        double level;
    } cases[] = {{0.04, 1.0}, {0.01, 0.3}, {0.02, 0.6}, {0.5, 1.0}, {0.0, 0.0}};
    for (const auto& c : cases) {
        const Events events = process(vad, clock.next(c.rms, 64));
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.front().kind(), VoiceActivity::Kind::level);
        EXPECT_NEAR(events.front().levelValue(), c.level, 1e-6) << c.rms;
    }
}

TEST(EnergyVAD, ABufferExactlyAtTheThresholdIsLoud)
{
    // 0.5 is exact in binary, so the RMS of a constant 0.5 signal is exactly 0.5.
    EnergyVAD vad(0.5, 1, 150);
    AudioClock clock;
    EXPECT_EQ(process(vad, clock.next(std::nextafter(0.5f, 0.0f), 4096)).size(), 1u);
    EXPECT_EQ(process(vad, clock.next(0.5, 4096)).back(), VoiceActivity::speechStarted());
}

TEST(EnergyVAD, OnlyTheFirstChannelCounts)
{
    EnergyVAD vad = engineVAD();
    AudioClock stereo(1000.0, 2);
    EXPECT_EQ(process(vad, stereo.next(0.0, 50, {0.9f})), Events{VoiceActivity::level(0.0)});
    EXPECT_NEAR(process(vad, stereo.next(0.01, 50, {0.0f})).front().levelValue(), 0.3, 1e-6);
}

TEST(EnergyVAD, BuffersWithoutAudioAreSilent)
{
    EnergyVAD vad = engineVAD();
    const AudioBuffer noFormat(AudioFormat{}, std::vector<float>(64, 0.9f), 0, {});
    const AudioBuffer noFrames(AudioFormat{48000, 1}, {}, 0, {});
    EXPECT_EQ(vad.process(noFormat).size(), 1);
    EXPECT_EQ(vad.process(noFormat).front(), VoiceActivity::level(0.0));
    EXPECT_EQ(vad.process(noFrames).front(), VoiceActivity::level(0.0));
}

TEST(EnergyVAD, FourKiloframeBuffersAt48kHzEndOnTheSecondQuietBuffer)
{
    EnergyVAD vad = engineVAD();
    AudioClock clock(48000.0);
    for (int i = 0; i < 5; ++i)
        process(vad, clock.next(kLoud, 4096));
    EXPECT_EQ(process(vad, clock.next(kQuiet, 4096)).size(), 1u);  // 85 ms of quiet
    // From the onset decision (end of the 3rd buffer) to the end of the 7th: 16384 frames.
    EXPECT_EQ(process(vad, clock.next(kQuiet, 4096)).back(), VoiceActivity::speechEnded(341));
}

TEST(EnergyVAD, ABacklogProcessedInOneBurstEndsAtTheRightAudioTime)
{
    // Every buffer arrives with the same capture stamp and is processed at once; only the
    // frames tell the time.
    EnergyVAD vad = engineVAD();
    AudioClock clock;
    std::vector<AudioBufferPtr> backlog;
    for (int i = 0; i < 4; ++i)
        backlog.push_back(clock.next(kLoud, 100));
    for (int i = 0; i < 10; ++i)
        backlog.push_back(clock.next(kQuiet, 50));
    Events events;
    for (const auto& buffer : backlog) {
        for (const auto& event : vad.process(*buffer)) {
            if (event.kind() != VoiceActivity::Kind::level)
                events.push_back(event);
        }
    }
    // Onset at 300 ms, loud until 400 ms, end at the 3rd quiet buffer (550 ms).
    EXPECT_EQ(events, (Events{kStarted, VoiceActivity::speechEnded(250)}));
}

TEST(EnergyVAD, DroppedBuffersCountAsTimePassed)
{
    EnergyVAD vad = engineVAD();
    AudioClock clock;
    startSpeech(vad, clock, 50);
    clock.skip(500);
    EXPECT_EQ(process(vad, clock.next(kQuiet, 50)).back(), VoiceActivity::speechEnded(550));
}

TEST(EnergyVAD, ARestartedCaptureContinuesTheAudioClock)
{
    EnergyVAD vad = engineVAD();
    AudioClock clock;
    startSpeech(vad, clock, 1000);
    clock.restartCapture();
    EXPECT_EQ(process(vad, clock.next(kQuiet, 100)).size(), 1u);
    EXPECT_EQ(process(vad, clock.next(kQuiet, 50)).back(), VoiceActivity::speechEnded(150));
}

TEST(EnergyVAD, ResetEndsASegmentSilently)
{
    EnergyVAD vad = engineVAD();
    AudioClock clock;
    startSpeech(vad, clock, 50);
    process(vad, clock.next(kLoud, 50));
    vad.reset();
    EXPECT_FALSE(vad.isSpeaking());
    EXPECT_EQ(process(vad, clock.next(kQuiet, 1000)).size(), 1u);
    EXPECT_EQ(process(vad, clock.next(kLoud, 50)).size(), 1u);
    EXPECT_EQ(process(vad, clock.next(kLoud, 50)).size(), 1u);
    EXPECT_EQ(process(vad, clock.next(kLoud, 50)).back(), kStarted);
}

}  // namespace
