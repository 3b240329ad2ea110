#include "Vision/FaceTracker.h"
#include "Common/FakeScheduler.h"
#include "Common/LogCapture.h"
#include "Portrait.h"
#include "Vision/CascadeFaceDetector.h"

#include <QTest>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// Reports each picture's width as its yaw, so the test sees which frame was analysed. Each
// detection waits for a permit from the test; a 13-pixel-wide picture makes it throw.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    int permits = 0;
    int entered = 0;
    int resets = 0;
};

class GatedDetector final : public FaceDetector {
public:
    explicit GatedDetector(Gate& gate) : m_gate(gate) {}

    std::optional<FaceObservation> detect(const QImage& image, bool) override
    {
        std::unique_lock lock(m_gate.mutex);
        ++m_gate.entered;
        m_gate.changed.notify_all();
        m_gate.changed.wait(lock, [this] { return m_gate.permits > 0; });
        --m_gate.permits;
        if (image.width() == 13)
            throw cv::Exception(cv::Error::StsBadArg, "unreadable picture", "detect", "test", 0);
        return FaceObservation{double(image.width()), 0.0, 0.0, {}};
    }
    void reset() override { ++m_gate.resets; }  // on the analysis thread, between detections

private:
    Gate& m_gate;
};

class FaceTrackerTest : public ::testing::Test {
protected:
    FaceTrackerTest()
    {
        tracker.onProcessingTime = [this](double) { events.push_back("time"); };
        tracker.onObservation = [this](const std::optional<FaceObservation>& observation) {
            events.push_back(observation ? std::to_string(int(observation->yaw)) : "none");
        };
    }

    void offer(int width, int atMs)
    {
        scheduler.advance(std::chrono::milliseconds(atMs) - scheduler.elapsed());
        QImage frame(width, 10, QImage::Format_ARGB32);
        frame.fill(Qt::black);
        tracker.process({frame, {}});
    }
    void allow(int permits)
    {
        std::lock_guard lock(gate.mutex);
        gate.permits += permits;
        gate.changed.notify_all();
    }
    void waitUntilEntered(int count)
    {
        std::unique_lock lock(gate.mutex);
        gate.changed.wait(lock, [&] { return gate.entered >= count; });
    }
    std::vector<std::string> reported(std::size_t frames)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return events.size() >= 2 * frames; }, 10000));
        return events;
    }

    FakeScheduler scheduler;
    Gate gate;
    FaceTracker tracker{scheduler, std::make_unique<GatedDetector>(gate)};
    std::vector<std::string> events;
};

TEST_F(FaceTrackerTest, AnalysesOneFrameIn130MillisecondsAndStartsAfreshAfterAPause)
{
    struct Offer {
        int width;
        int atMs;
        bool analysed;
    };
    const Offer offers[] = {{100, 0, true},   {101, 100, false}, {102, 130, true},  {103, 259, false},
                            {104, 260, true}, {105, 1260, true}, {106, 1389, false}};
    allow(100);
    int analysed = 0;
    for (const Offer& o : offers) {
        offer(o.width, o.atMs);
        if (o.analysed)
            waitUntilEntered(++analysed);  // before a later offer could replace it
    }
    EXPECT_EQ(reported(4), (std::vector<std::string>{"time", "100", "time", "102", "time", "104", "time", "105"}));
    EXPECT_EQ(gate.resets, 1);  // for the frame a second after the one before
}

TEST_F(FaceTrackerTest, ASlowAnalysisKeepsOnlyTheNewestWaitingFrame)
{
    offer(100, 0);
    waitUntilEntered(1);
    for (int i = 1; i <= 4; ++i)
        offer(100 + i, 130 * i);
    EXPECT_EQ(tracker.replacedFrames(), 3u);
    allow(2);
    EXPECT_EQ(reported(2), (std::vector<std::string>{"time", "100", "time", "104"}));
}

TEST_F(FaceTrackerTest, AFailedDetectionIsLoggedAndReportedAsNoFace)
{
    const LogCapture log(QStringLiteral("app.parlivox.vision.face"));
    allow(1);
    offer(13, 0);
    EXPECT_EQ(reported(1), (std::vector<std::string>{"time", "none"}));
    ASSERT_EQ(log.messages().size(), 1);
    EXPECT_TRUE(log.messages().front().startsWith(QStringLiteral("vision request failed: ")));
}

TEST(FaceTrackerPortraitTest, ReadsThePictureMirroredAsTheUserSeesThemselves)
{
    FakeScheduler scheduler;
    FaceTracker tracker(scheduler, std::make_unique<CascadeFaceDetector>(*FaceCascades::load()));
    std::vector<std::optional<FaceObservation>> observations;
    tracker.onObservation = [&](const std::optional<FaceObservation>& o) { observations.push_back(o); };
    // Leaning clockwise in the picture.
    tracker.process({Portrait::cameraFrame(Portrait::frame(Portrait::rotated(-15))), {}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !observations.empty(); }, 10000));
    ASSERT_TRUE(observations.front().has_value());
    EXPECT_LT(observations.front()->roll, -0.15);
}

}  // namespace
