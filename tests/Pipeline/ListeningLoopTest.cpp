#include "Pipeline/ListeningLoop.h"

#include "Audio/TestBuffers.h"
#include "EngineHarness.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;

struct LoopParts {
    QTemporaryDir directory;
    FakeScheduler scheduler;
    UserDefaults defaults{directory.filePath(QStringLiteral("defaults.json"))};
    AppSettings settings{defaults, AppSettings::Environment{QString(), QString(), QStringLiteral("en_US")}};
    PhaseStateMachine fsm{scheduler};
    PipelineLog log{scheduler};
    EnergyVAD vad{0.012, 3, 150};
    AdaptiveTurnDetector turnDetector{scheduler};
    BargeInDetector bargeIn{scheduler, 350};
    MicLevelMonitor micLevel;
    FakeRecognizerState recognizerState;
    FakeRecognizer recognizer{scheduler, recognizerState};

    ListeningLoop::Parts parts() { return {settings, fsm, log, vad, turnDetector, bargeIn, micLevel}; }
};

// Half a second of speech, then silence long enough to end it (100 ms buffers at 16 kHz).
QList<AudioBufferPtr> utterance()
{
    QList<AudioBufferPtr> buffers;
    for (int i = 0; i < 8; ++i)
        buffers << makeBuffer(
            {16000, 1}, 1600, [i](int, std::int64_t) { return i < 5 ? 0.3f : 0.0f; }, i * 1600);
    return buffers;
}

TEST(ListeningLoop, WhoHearsEachBufferDependsOnThePhaseTheBargeInSettingAndTheRest)
{
    struct Case {
        const char* name;
        bool speaking;
        bool bargeIn;
        bool resting;
        int fed;
        bool detectorHeard;
        bool bargedIn;
        bool gazeResumed;
    };
    const Case cases[] = {
        {"listening", false, true, false, 8, true, false, true},
        {"speaking, barge-in off: the recognizer hears nothing", true, false, false, 0, true, false, true},
        {"speaking, barge-in on: the user talks over the reply", true, true, false, 8, true, true, true},
        {"resting: only the recognizer and the taps hear", true, true, true, 8, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopParts p;
        p.settings.setCameraGazeEnabled(true);
        p.settings.setBargeInEnabled(c.bargeIn);
        if (c.resting)
            p.settings.setRestingUntil(QDateTime::currentDateTime().addSecs(60));
        p.fsm.transition(Phase::listening, QStringLiteral("test"));
        if (c.speaking) {
            p.fsm.transition(Phase::thinking, QStringLiteral("test"));
            p.fsm.transition(Phase::speaking, QStringLiteral("test"));
            if (c.bargeIn)
                p.bargeIn.arm();
        }
        bool bargedIn = false;
        p.bargeIn.onBargeIn = [&] { bargedIn = true; };
        int tapped = 0;
        bool gazeResumed = false;
        ListeningLoop loop(p.parts(), nullptr, &p.recognizer,
                           {[&](const AudioBufferPtr&) { ++tapped; }, [&] { gazeResumed = true; }});

        for (const AudioBufferPtr& buffer : utterance()) {
            loop.handle(buffer);
            p.scheduler.advance(std::chrono::milliseconds(100));
        }
        EXPECT_EQ(p.recognizerState.fed, c.fed);
        EXPECT_EQ(tapped, 8);
        EXPECT_EQ(p.turnDetector.hasStartedSpeaking(), c.detectorHeard);
        EXPECT_EQ(bargedIn, c.bargedIn);
        EXPECT_EQ(gazeResumed, c.gazeResumed);
        EXPECT_EQ(loop.lastVadEvent(), "ended");
        EXPECT_EQ(loop.takeBufferCount(), 8);
        EXPECT_EQ(loop.takeBufferCount(), 0);
        EXPECT_EQ(p.micLevel.level(), 0.0);
        ASSERT_EQ(p.log.entries().size(), 1);
        EXPECT_EQ(p.log.entries().first().message, "first buffer received frames=1600 sr=16000.0 ch=1");
    }
}
}  // namespace
