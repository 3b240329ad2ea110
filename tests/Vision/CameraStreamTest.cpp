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

using std::chrono::milliseconds;

const QString portraitPath = QStringLiteral("/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg");

CameraFrame frameNumbered(int number)
{
    return {cv::Mat(2, 2, CV_8UC4, cv::Scalar::all(number)), {}};
}

int numberOf(const CameraFrame& frame)
{
    return frame.pixels.at<cv::Vec4b>(0, 0)[0];
}

class CameraStreamTest : public ::testing::Test {
protected:
    // Starts `stream` and waits for the result.
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
    int count(int ScriptedFrameSource::State::*field)
    {
        std::lock_guard lock(state->mutex);
        return (*state).*field;
    }

    FakeScheduler scheduler;
    std::shared_ptr<ScriptedFrameSource::State> state = std::make_shared<ScriptedFrameSource::State>();
    CameraStream stream{std::make_unique<ScriptedFrameSource>(state), scheduler};
};

TEST_F(CameraStreamTest, StartFailuresDescribeThemselvesAndLeaveTheCameraIdle)
{
    struct Case {
        CameraError error;
        const char* description;
    };
    const Case cases[] = {
        {{CameraError::Kind::noDevice, {}}, "no camera device found"},
        {{CameraError::Kind::authorizationDenied, QStringLiteral("Permission denied")},
         "camera busy or not permitted: Permission denied"},
        {{CameraError::Kind::configurationFailed, QStringLiteral("cannot add input")},
         "Camera configuration failed: cannot add input"},
    };
    for (const Case& c : cases) {
        state->failure = c.error;
        const auto error = start(stream);
        ASSERT_TRUE(error.has_value()) << c.description;
        EXPECT_EQ(error->description(), QString::fromUtf8(c.description));
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
    EXPECT_EQ(count(&ScriptedFrameSource::State::starts), 1);
    stream.resume();
    stream.pause();
    stream.pause();
    EXPECT_TRUE(stream.isRunning());
    EXPECT_FALSE(stream.isCapturing());
    stream.resume();
    stream.stop();
    EXPECT_FALSE(stream.isRunning());
    EXPECT_TRUE(kept->isClosed());
    EXPECT_EQ(
        log.messages(),
        QStringList({QStringLiteral("camera started"), QStringLiteral("camera paused (capture stopped, session kept)"),
                     QStringLiteral("camera resumed"),
                     QStringLiteral("camera stopped (session.stopRunning dispatched off main)")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return count(&ScriptedFrameSource::State::stops) == 2; }, 10000));
}

TEST_F(CameraStreamTest, EachSubscriberKeepsItsTwoNewestFrames)
{
    const auto slow = stream.subscribe();
    const auto fast = stream.subscribe();
    auto dropped = stream.subscribe();
    const std::weak_ptr<FrameChannel> droppedWatch = dropped;
    ASSERT_EQ(start(stream), std::nullopt);
    std::vector<int> fastFrames;
    for (int number = 1; number <= 5; ++number) {
        ScriptedFrameSource::deliver(*state, frameNumbered(number));
        while (const auto frame = fast->tryPop())
            fastFrames.push_back(numberOf(*frame));
        dropped.reset();
    }
    EXPECT_EQ(fastFrames, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(slow->dropped(), 3u);
    EXPECT_EQ(numberOf(*slow->tryPop()), 4);
    EXPECT_EQ(numberOf(*slow->tryPop()), 5);
    EXPECT_TRUE(droppedWatch.expired());
    stream.pause();
    ScriptedFrameSource::deliver(*state, frameNumbered(6));  // a late frame of the paused run
    EXPECT_EQ(fast->size(), 0u);
}

TEST_F(CameraStreamTest, AStartThatHangsFailsAfterTheTimeOutAndReleasesTheCameraLater)
{
    state->holdStart = true;
    std::optional<CameraError> result;
    stream.start([&](const std::optional<CameraError>& error) { result = error; });
    scheduler.advance(CameraStream::startTimeout);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->description(), QStringLiteral("the camera did not open in time"));
    EXPECT_FALSE(stream.isRunning());
    ScriptedFrameSource::release(*state);
    EXPECT_TRUE(QTest::qWaitFor([&] { return count(&ScriptedFrameSource::State::stops) == 1; }, 10000));
    EXPECT_FALSE(stream.isRunning());
}

TEST_F(CameraStreamTest, AStillWithoutAFrameGivesNothingAndRestoresTheState)
{
    LogCapture log(QStringLiteral("app.parlivox.camera"));
    ASSERT_EQ(start(stream), std::nullopt);
    stream.pause();
    struct Case {
        bool stopDuringWait;
        bool runningAfter;
    };
    for (const Case c : {Case{false, true}, Case{true, false}}) {
        log.clear();
        bool finished = false;
        std::optional<QString> written = QStringLiteral("unset");
        stream.captureStill(QStringLiteral("unused.png"), [&](const std::optional<QString>& path) {
            finished = true;
            written = path;
        });
        EXPECT_TRUE(stream.isCapturing());
        if (c.stopDuringWait)
            stream.stop();
        else
            scheduler.advance(CameraStream::stillTimeout);
        EXPECT_TRUE(finished);
        EXPECT_EQ(written, std::nullopt);
        EXPECT_EQ(stream.isRunning(), c.runningAfter);
        EXPECT_FALSE(stream.isCapturing());
        EXPECT_TRUE(log.messages().contains(QStringLiteral("captureStill: no frame within timeout")));
    }
}

TEST(CameraStreamFileTest, AStillFromAnIdleCameraIsAFullSizeColourPngAndTheCameraStopsAgain)
{
    FakeScheduler scheduler;
    CameraStream stream(std::make_unique<FileFrameSource>(portraitPath, 30.0), scheduler);
    const auto other = stream.subscribe();
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("camera-still.png"));
    std::optional<QString> written;
    stream.captureStill(path, [&](const std::optional<QString>& result) { written = result; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return written.has_value(); }, 10000));
    EXPECT_EQ(*written, path);
    EXPECT_FALSE(stream.isRunning());
    EXPECT_TRUE(other->isClosed());
    const QImage still(path);
    EXPECT_EQ(still.size(), QSize(512, 600));
    EXPECT_TRUE(still.hasAlphaChannel());
    EXPECT_EQ(still.colorSpace(), QColorSpace(QColorSpace::SRgb));
    EXPECT_FALSE(still.allGray());
}

TEST_F(CameraStreamTest, DestroyingARunningCameraStopsItsSourceFirst)
{
    auto running = std::make_unique<CameraStream>(std::make_unique<ScriptedFrameSource>(state), scheduler);
    const auto channel = running->subscribe();
    ASSERT_EQ(start(*running), std::nullopt);
    running.reset();
    EXPECT_EQ(count(&ScriptedFrameSource::State::stops), 1);
    EXPECT_TRUE(channel->isClosed());
}

}  // namespace
