#include "Vision/CameraStream.h"
#include "Common/FakeScheduler.h"
#include "Common/LogCapture.h"
#include "ScriptedFrameSource.h"
#include "Vision/FileFrameSource.h"

#include <QColorSpace>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CameraStreamTest : public ::testing::Test {
protected:
    std::optional<CameraError> start(CameraStream& camera)
    {
        bool finished = false;
        std::optional<CameraError> result;
        camera.start([&](const std::optional<CameraError>& error) {
            finished = true;
            result = error;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished; }, 10000));
        return result;
    }
    // Where the running source hands its frames, as its capture thread would.
    FrameSource::FrameHandler handler()
    {
        std::lock_guard lock(state.mutex);
        return state.handler;
    }
    int stops()
    {
        std::lock_guard lock(state.mutex);
        return state.stops;
    }

    FakeScheduler scheduler;
    ScriptedFrameSource::State state;
    CameraStream stream{std::make_unique<ScriptedFrameSource>(state), scheduler};
};

CameraFrame numbered(int number)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(qRgba(number, number, number, number));
    return {picture, {}};
}

int numberOf(const std::optional<CameraFrame>& frame)
{
    return frame ? qBlue(frame->pixels.pixel(0, 0)) : -1;
}

TEST_F(CameraStreamTest, StartFailuresDescribeThemselvesAndLeaveTheCameraIdle)
{
    const std::pair<CameraError, const char*> cases[] = {
        {{CameraError::Kind::noDevice, {}}, "No video capture device available."},
        {{CameraError::Kind::authorizationDenied, {}}, "Camera access was denied."},
        {{CameraError::Kind::configurationFailed, QStringLiteral("cannot add input")},
         "Camera configuration failed: cannot add input"},
        {{CameraError::Kind::deviceFailed, QStringLiteral("/dev/video0: Device or resource busy")},
         "/dev/video0: Device or resource busy"},
    };
    for (const auto& [failure, description] : cases) {
        state.failure = failure;
        const auto error = start(stream);
        ASSERT_TRUE(error.has_value()) << description;
        EXPECT_EQ(error->description(), QString::fromUtf8(description));
        EXPECT_FALSE(stream.isRunning());
    }
}

TEST_F(CameraStreamTest, FollowsItsStatesAndLogsOnlyRealChanges)
{
    const LogCapture log(QStringLiteral("app.parlivox.camera"));
    const auto kept = stream.subscribe();
    stream.pause();
    stream.resume();
    stream.stop();  // idle: nothing happens, subscribers stay
    EXPECT_FALSE(kept->isClosed());
    ASSERT_EQ(start(stream), std::nullopt);
    ASSERT_EQ(start(stream), std::nullopt);
    EXPECT_EQ(state.starts, 1);
    stream.resume();
    stream.pause();
    stream.pause();
    EXPECT_TRUE(stream.isRunning() && !stream.isCapturing());
    stream.resume();
    stream.stop();
    EXPECT_FALSE(stream.isRunning());
    EXPECT_TRUE(kept->isClosed());
    EXPECT_EQ(
        log.messages(),
        QStringList({QStringLiteral("camera started"), QStringLiteral("camera paused (capture stopped, session kept)"),
                     QStringLiteral("camera resumed"),
                     QStringLiteral("camera stopped (session.stopRunning dispatched off main)")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stops() == 2; }, 10000));
}

TEST_F(CameraStreamTest, EachSubscriberKeepsItsTwoNewestFrames)
{
    const auto slow = stream.subscribe();
    const auto fast = stream.subscribe();
    ASSERT_EQ(start(stream), std::nullopt);
    const auto deliver = handler();
    std::vector<int> fastFrames;
    for (int number = 1; number <= 5; ++number) {
        deliver(numbered(number));
        fastFrames.push_back(numberOf(fast->tryPop()));
    }
    EXPECT_EQ(fastFrames, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(slow->dropped(), 3u);
    EXPECT_EQ(numberOf(slow->tryPop()), 4);
    EXPECT_EQ(numberOf(slow->tryPop()), 5);
    stream.pause();
    deliver(numbered(6));  // a late frame of the paused run
    EXPECT_EQ(fast->size(), 0u);
}

TEST_F(CameraStreamTest, AStartThatHangsFailsAfterTheTimeOutAndReleasesTheCameraLater)
{
    state.holdStart = true;
    std::optional<CameraError> result;
    stream.start([&](const std::optional<CameraError>& error) { result = error; });
    scheduler.advance(CameraStream::kStartTimeout);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->description(), QStringLiteral("the camera did not open in time"));
    {
        std::lock_guard lock(state.mutex);
        state.holdStart = false;
        state.released.notify_all();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return stops() == 1; }, 10000));
    EXPECT_FALSE(stream.isRunning());
}

TEST_F(CameraStreamTest, AStillWithoutAFrameGivesNothingAndRestoresTheState)
{
    LogCapture log(QStringLiteral("app.parlivox.camera"));
    ASSERT_EQ(start(stream), std::nullopt);
    stream.pause();
    for (const bool stopDuringWait : {false, true}) {
        log.clear();
        bool finished = false;
        std::optional<QString> written;
        stream.captureStill(QStringLiteral("unused.png"), [&](const std::optional<QString>& path) {
            finished = true;
            written = path;
        });
        EXPECT_TRUE(stream.isCapturing());
        if (stopDuringWait)
            stream.stop();
        else
            scheduler.advance(CameraStream::kStillTimeout);
        EXPECT_TRUE(finished);
        EXPECT_EQ(written, std::nullopt);
        EXPECT_EQ(stream.isRunning(), !stopDuringWait);
        EXPECT_FALSE(stream.isCapturing());
        EXPECT_TRUE(log.messages().contains(QStringLiteral("captureStill: no frame within timeout")));
    }
}

TEST_F(CameraStreamTest, DestroyingARunningCameraStopsItsSourceFirst)
{
    auto running = std::make_unique<CameraStream>(std::make_unique<ScriptedFrameSource>(state), scheduler);
    const auto channel = running->subscribe();
    ASSERT_EQ(start(*running), std::nullopt);
    running.reset();
    EXPECT_EQ(stops(), 1);
    EXPECT_TRUE(channel->isClosed());
}

TEST(CameraStreamFileTest, AStillFromAnIdleCameraIsAFullSizeColourPngAndTheCameraStopsAgain)
{
    FakeScheduler scheduler;
    CameraStream stream(std::make_unique<FileFrameSource>(
                            QStringLiteral("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg"), 30.0),
                        scheduler);
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("camera-still.png"));
    std::optional<QString> written;
    stream.captureStill(path, [&](const std::optional<QString>& result) { written = result; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.has_value(); }, 10000));
    EXPECT_EQ(*written, path);
    EXPECT_FALSE(stream.isRunning());
    const QImage still(path);
    EXPECT_EQ(still.size(), QSize(512, 600));
    EXPECT_TRUE(still.hasAlphaChannel());
    EXPECT_EQ(still.colorSpace(), QColorSpace(QColorSpace::SRgb));
    EXPECT_FALSE(still.allGray());
}

}  // namespace
