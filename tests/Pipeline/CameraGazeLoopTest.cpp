// Camera gaze through the whole engine, with a scripted camera and face detector.
#include "Pipeline/CameraGazeLoop.h"
#include "Common/QtPrinters.h"
#include "EngineHarness.h"
#include "Pipeline/StatisticsLoop.h"

#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Phase = ConversationPhase;

namespace {

// Waits until the scripted camera captures, or does not.
bool settleCapturing(EngineHarness& h, bool capturing)
{
    return h.settle([&] {
        std::lock_guard lock(h.camera.mutex);
        return static_cast<bool>(h.camera.handler) == capturing;
    });
}

// Shows one frame with this face and waits for its pose and gaze to be published.
void look(EngineHarness& h, std::optional<FaceObservation> face, GazeStatus expected)
{
    h.scheduler.advance(200ms);  // the tracker takes a frame every 130 ms at most
    h.face->set(face);
    ASSERT_TRUE(h.showFrame());
    const HeadPose pose = face ? HeadPose{face->yaw, face->pitch, face->roll} : HeadPose{};
    ASSERT_TRUE(
        h.settle([&] { return h.engine->state().headPose() == pose && h.engine->state().gazeStatus() == expected; }));
}

TEST(CameraGaze, TheCameraWaitsPausedForSpeechFollowsTheFaceAndRestsWhileTheAssistantAnswers)
{
    EngineHarness h(EngineHarness::Camera::scripted);
    h.settings.setCameraGazeEnabled(true);
    h.clockIn();
    ASSERT_EQ(h.phase(), Phase::listening);
    EXPECT_EQ(h.lines("camera"), QStringList({"starting…", "started OK (session.isRunning=true)"}));
    EXPECT_FALSE(h.engine->state().cameraActive());
    EXPECT_TRUE(h.lines("session").last().endsWith("camera.running=true"));
    ASSERT_TRUE(settleCapturing(h, false));

    h.speak(0);
    EXPECT_TRUE(h.engine->state().cameraActive());
    EXPECT_EQ(h.lines("camera").last(), "gaze resumed (speech started)");
    ASSERT_TRUE(settleCapturing(h, true));

    look(h, FaceObservation{0.05, -0.02, 0.1, {}}, GazeStatus::lookingAtScreen);
    look(h, FaceObservation{0.06, -0.02, 0.1, {}}, GazeStatus::lookingAtScreen);  // unchanged: not logged again
    look(h, std::nullopt, GazeStatus::noFace);
    look(h, FaceObservation{0.5, 0.0, 0.0, {}}, GazeStatus::lookingAway);
    EXPECT_EQ(h.lines("gaze"),
              QStringList({"lookingAtScreen yaw=0.05 pitch=-0.02 roll=0.10 conf=0.75", "noFace (face lost)",
                           "lookingAway yaw=0.50 pitch=0.00 roll=0.00 conf=0.60"}));
    EXPECT_GT(h.engine->state().faceProcessingMs(), 0.0);
    h.scheduler.advance(500ms);
    EXPECT_TRUE(h.lines("stats").last().contains(QRegularExpression("gaze=lookingAway face_age=[1-5]00ms")))
        << h.lines("stats").last().toStdString();

    // The turn is over: capture sleeps while the assistant thinks and speaks, and reads as no face.
    h.engine->submitTextTurn(QStringLiteral("what do you think"));
    EXPECT_FALSE(h.engine->state().cameraActive());
    EXPECT_EQ(h.engine->state().gazeStatus(), GazeStatus::noFace);
    EXPECT_EQ(h.lines("camera").last(), "gaze paused (turn over)");
    EXPECT_TRUE(settleCapturing(h, false));
    h.answer(QStringLiteral("I think so."));
    h.speakAll();

    // Off during the session stops the camera; on again starts it; on while idle starts nothing.
    h.engine->setCameraGaze(false);
    EXPECT_FALSE(h.engine->state().cameraActive());
    h.engine->setCameraGaze(true);
    EXPECT_EQ(h.lines("camera").filter("starting").size(), 2);
    h.engine->setEnabled(false);
    ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
    h.engine->setCameraGaze(true);
    EXPECT_EQ(h.lines("camera").filter("starting").size(), 2);
}

// No camera, one the user may not open, a busy one, a face detector that cannot load: the
// session listens on without gaze, the window's error says why (in the device's or loader's
// own words), and the switch goes back off; once mended, switching it on starts the camera
// and the error goes.
TEST(CameraGaze, ACameraThatCannotStartSaysWhyAndTheSwitchGoesBackOff)
{
    struct Case {
        const char* name;
        std::optional<CameraError> camera;
        QString detector;  // why face detection cannot load, "" when it can
        QString cause;
    };
    const QList<Case> cases = {
        {"no camera", CameraError{CameraError::Kind::noDevice, {}}, {}, "No video capture device available."},
        {"not permitted", CameraError{CameraError::Kind::authorizationDenied, {}}, {}, "Camera access was denied."},
        {"busy",
         CameraError{CameraError::Kind::deviceFailed, "/dev/video0: Device or resource busy"},
         {},
         "/dev/video0: Device or resource busy"},
        {"detector files missing", std::nullopt,
         "face detector file lbpcascades/lbpcascade_frontalface.xml not found (it comes with opencv-data)",
         "face detector file lbpcascades/lbpcascade_frontalface.xml not found (it comes with opencv-data)"},
        {"detector module missing", std::nullopt,
         "the face-detection module cannot be loaded (libparlivox_faces.so: cannot open shared object file)",
         "the face-detection module cannot be loaded (libparlivox_faces.so: cannot open shared object file)"},
    };
    for (const Case& c : cases) {
        for (const bool duringSession : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (duringSession ? ", switched on during the session" : ", at clock-in"));
            EngineHarness h(EngineHarness::Camera::scripted);
            h.camera.failure = c.camera;
            h.faceDetectorError = c.detector;
            h.settings.setCameraGazeEnabled(!duringSession);
            h.clockIn();
            if (duringSession) {
                h.settings.setCameraGazeEnabled(true);
                h.engine->setCameraGaze(true);
            }
            ASSERT_TRUE(h.settle([&] { return !h.settings.cameraGazeEnabled(); }));
            EXPECT_EQ(h.phase(), Phase::listening);
            EXPECT_EQ(h.lines("camera").mid(duringSession ? 1 : 0),
                      QStringList({"starting…", "start FAILED: " + c.cause}));
            EXPECT_EQ(h.engine->state().errorMessage(), "Camera gaze could not start: " + c.cause);
            h.speak(0);
            EXPECT_FALSE(h.engine->state().cameraActive());
            EXPECT_EQ(h.lines("camera").last(), "start FAILED: " + c.cause) << "gaze is off: speech resumes nothing";

            h.camera.failure.reset();
            h.faceDetectorError.clear();
            h.settings.setCameraGazeEnabled(true);
            h.engine->setCameraGaze(true);
            ASSERT_TRUE(h.settle([&] { return h.lines("camera").last().startsWith("started OK"); }));
            EXPECT_EQ(h.engine->state().errorMessage(), std::nullopt);
            EXPECT_TRUE(h.settings.cameraGazeEnabled());
        }
    }
}

// The statistics line counts the frames of each half second, not since the session began.
TEST(CameraGaze, TheStatisticsLineCountsTheFramesOfEachHalfSecond)
{
    EngineHarness h(EngineHarness::Camera::scripted);
    h.settings.setProbeStatsLoggingEnabled(true);
    h.settings.setCameraGazeEnabled(true);
    h.clockIn();
    h.speak(0);
    // Capturing again after the pause at clock-in: the first run's handler may linger until
    // the camera's worker has stopped it, and frames given to it are dropped.
    ASSERT_TRUE(h.settle([&] {
        std::lock_guard lock(h.camera.mutex);
        return h.camera.starts == 2 && h.camera.handler;
    }));
    const auto halfSecondWith = [&](int frames) {
        for (int i = 0; i < frames; ++i) {
            EXPECT_TRUE(h.showFrame());
            QCoreApplication::processEvents();  // the loop takes each frame before the next
        }
        h.scheduler.advance(StatisticsLoop::kTick);
        const QString line = h.lines("stats").last();
        return line.section(QStringLiteral("cam.frames/0.5s="), 1).section(QLatin1Char(' '), 0, 0).toInt();
    };
    h.scheduler.advance(StatisticsLoop::kTick);  // the tick that counted the speech
    EXPECT_EQ(halfSecondWith(3), 3);
    EXPECT_EQ(halfSecondWith(0), 0);
    EXPECT_EQ(halfSecondWith(1), 1);
}

}  // namespace

namespace {

// The gaze loop alone, on a scripted camera.
struct GazeLoopRig {
    QTemporaryDir directory;
    FakeScheduler scheduler;
    UserDefaults defaults{directory.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{defaults};
    EngineState state;
    PipelineLog log{scheduler};
    AdaptiveTurnDetector turnDetector{scheduler};
    ScriptedFrameSource::State camera;
    CameraGazeLoop loop{{scheduler, settings, state, log, turnDetector,
                         [this] { return std::make_unique<ScriptedFrameSource>(camera); },
                         [](QString*) {
                             return std::make_unique<ScriptedFaceDetector>(
                                 std::make_shared<ScriptedFaceDetector::Script>());
                         }}};

    QStringList cameraLines() const
    {
        QStringList found;
        for (const PipelineLog::Entry& entry : log.entries())
            if (entry.category == QLatin1String("camera"))
                found << entry.message;
        return found;
    }
};

// Switched off while the camera is still opening: when it opens after all, nothing of the
// start remains, no "started OK" and no subscription, so a camera started later for a still
// picture counts no frames for gaze.
TEST(CameraGaze, TurnedOffWhileStartingLeavesNoStartAndNoFrameSubscription)
{
    GazeLoopRig rig;
    rig.settings.setCameraGazeEnabled(true);
    rig.camera.holdStart = true;
    rig.loop.setEnabled(true, true);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        std::lock_guard lock(rig.camera.mutex);
        return rig.camera.starts == 1;
    }));
    rig.loop.setEnabled(false, true);
    {
        std::lock_guard lock(rig.camera.mutex);
        rig.camera.holdStart = false;
    }
    rig.camera.released.notify_all();
    ASSERT_TRUE(QTest::qWaitFor([&] {
        std::lock_guard lock(rig.camera.mutex);
        return rig.camera.stops == 1;
    }));
    QTest::qWait(50);  // the start's answer, had it been taken
    EXPECT_EQ(rig.cameraLines(), QStringList{"starting…"});
    EXPECT_FALSE(rig.loop.isRunning());

    std::optional<QString> still;
    rig.loop.captureStill(rig.directory.filePath(QStringLiteral("still.png")),
                          [&](const std::optional<QString>& path) { still = path.value_or(QString()); });
    ASSERT_TRUE(QTest::qWaitFor([&] {
        FrameSource::FrameHandler handler;
        {
            std::lock_guard lock(rig.camera.mutex);
            handler = rig.camera.handler;
        }
        if (handler) {
            QImage picture(64, 48, QImage::Format_ARGB32);
            picture.fill(Qt::gray);
            handler(CameraFrame{picture, std::chrono::steady_clock::now()});
        }
        return still.has_value();
    }));
    EXPECT_FALSE(still->isEmpty());
    EXPECT_EQ(rig.loop.takeFrameCount(), 0);
    EXPECT_EQ(rig.cameraLines(), QStringList{"starting…"});
}

}  // namespace
