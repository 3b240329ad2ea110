// Camera gaze through the whole engine, with a scripted camera and face detector.
#include "Common/QtPrinters.h"
#include "EngineHarness.h"

#include <QRegularExpression>

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

TEST(CameraGaze, ACameraThatCannotStartLeavesTheSessionListeningWithoutGaze)
{
    struct Case {
        const char* name;
        std::function<void(EngineHarness&)> breakIt;
        QString logged;
    };
    const QList<Case> cases = {
        {"no camera",
         [](EngineHarness& h) {
             h.camera.failure = CameraError{CameraError::Kind::noDevice, {}};
         },
         "start FAILED: " + CameraError{CameraError::Kind::noDevice, {}}.description()},
        {"no face models", [](EngineHarness& h) { h.faceModels = false; },
         "start FAILED: face detection models are not installed (opencv-data)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h(EngineHarness::Camera::scripted);
        c.breakIt(h);
        h.settings.setCameraGazeEnabled(true);
        h.clockIn();
        EXPECT_EQ(h.phase(), Phase::listening);
        EXPECT_EQ(h.lines("camera"), QStringList({"starting…", c.logged}));
        h.speak(0);
        EXPECT_EQ(h.lines("camera").last(), "gaze resume skipped — camera session not running");
        EXPECT_FALSE(h.engine->state().cameraActive());
    }
}

}  // namespace
