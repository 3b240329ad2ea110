#include "Audio/AudioInputStream.h"
#include "Audio/AudioSubscription.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"
#include "ScriptedCaptureBackend.h"

#include <QTest>

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

// The warnings the audio input wrote to the log.
QStringList warnings(const LogCapture& log)
{
    QStringList result;
    for (const LogCapture::Line& line : log.lines())
        if (line.type == QtWarningMsg)
            result.append(line.message);
    return result;
}

class AudioInputStreamTest : public ::testing::Test {
protected:
    std::optional<AudioInputError> start(AudioInputStream& stream, const QString& uid = QString())
    {
        bool finished = false;
        std::optional<AudioInputError> result;
        stream.start(uid, [&](std::optional<AudioInputError> error) {
            finished = true;
            result = error;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 5000));
        return result;
    }

    // Delivers `buffers` whole buffers of frames whose values count up from `first`.
    void capture(int buffers, int channels = 2)
    {
        std::vector<float> frames(std::size_t(AudioInputStream::kFramesPerBuffer * buffers * channels));
        for (std::size_t i = 0; i < frames.size(); ++i)
            frames[i] = float(i / std::size_t(channels));
        ScriptedCaptureBackend::deliver(*state, frames);
    }

    std::shared_ptr<ScriptedCaptureBackend::State> state = std::make_shared<ScriptedCaptureBackend::State>();
    AudioInputStream stream{std::make_unique<ScriptedCaptureBackend>(state)};
};

TEST_F(AudioInputStreamTest, StartsOnceAndKeepsTheFormatAfterStop)
{
    EXPECT_FALSE(stream.isRunning());
    stream.stop();  // before any start: nothing happens
    ASSERT_EQ(start(stream), std::nullopt);
    EXPECT_TRUE(stream.isRunning());
    EXPECT_EQ(stream.inputFormat(), (AudioFormat{48000, 2}));
    ASSERT_EQ(start(stream), std::nullopt);
    EXPECT_EQ(state->starts, 1);
    stream.stop();
    stream.stop();
    EXPECT_FALSE(stream.isRunning());
    EXPECT_EQ(stream.inputFormat(), (AudioFormat{48000, 2}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return state->stops == 1; }, 5000));
}

TEST_F(AudioInputStreamTest, StartFailuresDescribeThemselves)
{
    struct Case {
        bool hasDevice;
        AudioFormat format;
        std::optional<QString> startFailure;
        const char* description;
    };
    const Case cases[] = {
        {false, {48000, 2}, std::nullopt, "No audio input device is available."},
        {true, {0, 0}, std::nullopt, "Invalid input format (0.0 Hz, 0 ch)."},
        {true, {44100, 0}, std::nullopt, "Invalid input format (44100.0 Hz, 0 ch)."},
        {true,
         {48000, 1},
         QStringLiteral("the device could not be opened"),
         "Audio engine failed to start: the device could not be opened"},
    };
    for (const Case& c : cases) {
        auto caseState = std::make_shared<ScriptedCaptureBackend::State>();
        caseState->hasDevice = c.hasDevice;
        caseState->format = c.format;
        caseState->startFailure = c.startFailure;
        AudioInputStream failing(std::make_unique<ScriptedCaptureBackend>(caseState));
        const auto error = start(failing);
        ASSERT_TRUE(error.has_value()) << c.description;
        EXPECT_EQ(error->description(), QString::fromLatin1(c.description));
        EXPECT_FALSE(failing.isRunning());
        EXPECT_EQ(failing.inputFormat(), std::nullopt);
    }
}

TEST_F(AudioInputStreamTest, AnUnknownOrRefusingMicrophoneFallsBackToTheDefault)
{
    state->refusedDevices = {QStringLiteral("mic-gone")};
    struct Case {
        const char* uid;
        bool hasDefault;
        QStringList selected;
        QStringList warnings;
        std::optional<QString> error;
    };
    const Case cases[] = {
        {"mic-a", true, {QStringLiteral("mic-a")}, {}, std::nullopt},
        {"", true, {QString()}, {}, std::nullopt},
        {"mic-gone",
         true,
         {QStringLiteral("mic-gone"), QString()},
         {QStringLiteral("failed to apply mic 'mic-gone': Failed to set audio device (status 5).. Falling back to "
                         "system default.")},
         std::nullopt},
        {"mic-gone",
         false,
         {QStringLiteral("mic-gone"), QString()},
         {QStringLiteral("failed to apply mic 'mic-gone': Failed to set audio device (status 5).. Falling back to "
                         "system default."),
          QStringLiteral("no microphone: Failed to set audio device (status 5).")},
         QStringLiteral("No audio input device is available.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uid);
        const LogCapture log(QStringLiteral("app.parlivox.audio.input"));
        state->selected.clear();
        state->hasDevice = c.hasDefault;
        AudioInputStream chosen(std::make_unique<ScriptedCaptureBackend>(state));
        const std::optional<AudioInputError> error = start(chosen, QString::fromLatin1(c.uid));
        EXPECT_EQ(error ? std::optional(error->description()) : std::nullopt, c.error);
        EXPECT_EQ(state->selected, c.selected);
        EXPECT_EQ(warnings(log), c.warnings);
        EXPECT_EQ(chosen.deviceName(), c.error ? QString() : QStringLiteral("Scripted microphone"));
    }
}

TEST_F(AudioInputStreamTest, AMicrophoneThatGoesAwayStopsTheCaptureAndIsReportedOnce)
{
    for (const bool stoppedFirst : {false, true}) {
        SCOPED_TRACE(stoppedFirst ? "stopped before the loss arrives" : "lost while capturing");
        auto caseState = std::make_shared<ScriptedCaptureBackend::State>();
        AudioInputStream lost(std::make_unique<ScriptedCaptureBackend>(caseState));
        QStringList reported;
        lost.onDeviceLost = [&](const QString& name) { reported.append(name); };
        const auto channel = lost.subscribe();
        ASSERT_EQ(start(lost), std::nullopt);
        if (stoppedFirst)
            lost.stop();
        ScriptedCaptureBackend::lose(*caseState);
        ScriptedCaptureBackend::lose(*caseState);
        QCoreApplication::processEvents();
        EXPECT_EQ(reported, stoppedFirst ? QStringList() : QStringList{QStringLiteral("Scripted microphone")});
        EXPECT_FALSE(lost.isRunning());
        EXPECT_TRUE(channel->isClosed());
        // What the backend still hands over reaches no one.
        ScriptedCaptureBackend::deliver(*caseState, std::vector<float>(std::size_t(2 * 4096), 0.5f));
        EXPECT_EQ(channel->size(), 0u);
        EXPECT_TRUE(QTest::qWaitFor([&] { return caseState->stops == 1; }, 5000));
    }
}

TEST_F(AudioInputStreamTest, ASlowSubscriberKeepsTheNewest64AndCountsTheRest)
{
    const auto slow = stream.subscribe();
    const auto fast = stream.subscribe();
    ASSERT_EQ(start(stream), std::nullopt);
    std::vector<std::int64_t> fastPositions;
    for (int i = 0; i < 70; ++i) {
        capture(1);
        while (const auto buffer = fast->tryPop())
            fastPositions.push_back((*buffer)->framePosition());
    }
    EXPECT_EQ(fastPositions.size(), 70u);
    EXPECT_EQ(fastPositions.front(), 0);  // subscribed before start: gets the very first buffer
    EXPECT_EQ(slow->size(), 64u);
    EXPECT_EQ(slow->dropped(), 6u);
    const auto oldestKept = slow->tryPop();
    EXPECT_EQ((*oldestKept)->framePosition(), 6 * AudioInputStream::kFramesPerBuffer);
    EXPECT_EQ((*oldestKept)->frameCount(), AudioInputStream::kFramesPerBuffer);
    EXPECT_EQ((*oldestKept)->format(), (AudioFormat{48000, 2}));
}

TEST_F(AudioInputStreamTest, SubscribersShareOneBufferAndLeaveByClosingOrDropping)
{
    auto kept = stream.subscribe();
    auto closed = stream.subscribe();
    auto dropped = stream.subscribe();
    const std::weak_ptr<AudioChannel> droppedWatch = dropped;
    ASSERT_EQ(start(stream), std::nullopt);
    capture(1);
    closed->close();
    dropped.reset();
    capture(1);
    ASSERT_EQ(kept->size(), 2u);
    EXPECT_EQ(closed->size(), 1u);
    EXPECT_TRUE(droppedWatch.expired());
}

TEST_F(AudioInputStreamTest, StopEndsEveryChannelWhileLaterSubscribersWaitForTheNextStart)
{
    std::vector<std::int64_t> received;
    auto subscription = std::make_unique<AudioSubscription>(
        stream.subscribe(), [&](const AudioBufferPtr& buffer) { received.push_back(buffer->framePosition()); });
    const auto channel = stream.subscribe();
    ASSERT_EQ(start(stream), std::nullopt);
    capture(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 5000));
    EXPECT_THAT(received, ElementsAre(0, 4096, 8192));
    stream.stop();
    EXPECT_TRUE(channel->isClosed());
    const auto late = stream.subscribe();
    capture(1);
    EXPECT_FALSE(late->isClosed());
    EXPECT_EQ(late->size(), 0u);
    ASSERT_EQ(start(stream), std::nullopt);
    capture(1);
    EXPECT_EQ(late->size(), 1u);
    EXPECT_EQ((*late->tryPop())->framePosition(), 0);  // positions count from each start
}

TEST_F(AudioInputStreamTest, DestroyingARunningStreamStopsCaptureFirst)
{
    state->streaming = true;
    auto running = std::make_unique<AudioInputStream>(std::make_unique<ScriptedCaptureBackend>(state));
    const auto channel = running->subscribe();
    ASSERT_EQ(start(*running), std::nullopt);
    ASSERT_TRUE(QTest::qWaitFor([&] { return channel->size() >= 3; }, 5000));
    running.reset();
    EXPECT_EQ(state->stops, 1);
}

}  // namespace
