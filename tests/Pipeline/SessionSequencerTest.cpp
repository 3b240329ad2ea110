#include "EngineHarness.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <mutex>

namespace {
using Phase = ConversationPhase;

TEST(SessionSequencer, StartsAndStopsRunInTheOrderAskedAndARepeatedChoiceDoesNothing)
{
    EngineHarness h;
    h.engine->setEnabled(true);
    h.engine->setEnabled(true);
    h.engine->setEnabled(false);  // asked while the microphone is still starting
    EXPECT_FALSE(h.engine->state().isEnabled());
    ASSERT_TRUE(h.settle([&] { return h.lines("session").size() == 2 && h.phase() == Phase::idle; }));

    EXPECT_EQ(h.lines("fsm"), QStringList({"idle → listening [session start]", "listening → idle [session end]"}));
    EXPECT_EQ(h.lines("session"), QStringList({"started locale=ko-KR provider=ostrel-hosted audio.running=true "
                                               "camera.running=false",
                                               "stopping…"}));
    EXPECT_EQ(h.capture->starts, 1);
    EXPECT_EQ(h.recognizer.starts, 1);
    EXPECT_EQ(h.recognizer.stops, 1);
    EXPECT_TRUE(h.settle([&] { return h.capture->stops == 1; }));
    EXPECT_EQ(h.inhibitor->acquired, 1);
    EXPECT_EQ(h.inhibitor->released, 1);
    EXPECT_EQ(h.inhibitor->reason, "Parlivox always-on voice listening");

    // The same parts serve the next session.
    h.clockIn();
    EXPECT_EQ(h.phase(), Phase::listening);
    EXPECT_EQ(h.recognizer.starts, 2);
}

TEST(SessionSequencer, AFailedStartShowsItsErrorAndClockingOutStillEndsIdleWithEverythingStopped)
{
    struct Case {
        const char* name;
        std::optional<QString> microphoneFailure;
        FakeRecognizerState::StartAnswer recognizer;
        QString error;
        QString reason;
    };
    const QList<Case> cases = {
        {"microphone refuses", QString("device busy"), FakeRecognizerState::StartAnswer::ok,
         "Audio engine failed to start: device busy", "audio start failed"},
        {"recognizer refuses", std::nullopt, FakeRecognizerState::StartAnswer::fail, "no model for xx-XX",
         "stt start failed"},
        {"recognizer never answers", std::nullopt, FakeRecognizerState::StartAnswer::hang,
         "Speech recognition: no answer within 10 s", "stt start failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.capture->startFailure = c.microphoneFailure;
        h.recognizer.answer = c.recognizer;
        h.inhibitor->refusal = QStringLiteral("portal: none; logind: none");
        h.engine->setEnabled(true);
        ASSERT_TRUE(h.settle([&] {
            h.scheduler.advance(std::chrono::seconds(1));
            return h.phase() == Phase::error;
        }));
        EXPECT_EQ(h.engine->state().errorMessage(), c.error);
        EXPECT_EQ(h.lines("fsm"), QStringList{"idle → error [" + c.reason + "]"});
        EXPECT_EQ(h.lines("error"), QStringList{c.error});
        EXPECT_EQ(h.lines("session"), QStringList{"sleep inhibitor unavailable: portal: none; logind: none"});

        h.engine->setEnabled(false);
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
        EXPECT_TRUE(h.settle([&] { return h.capture->stops == (c.microphoneFailure ? 0 : 1); }));
        EXPECT_EQ(h.inhibitor->released, 1);
    }
}

TEST(SessionSequencer, AMicrophoneThatNeverAnswersCannotKeepTheUserFromClockingOut)
{
    EngineHarness h;
    std::unique_lock hang(h.capture->mutex);  // the microphone's set-up blocks on it
    h.engine->setEnabled(true);
    h.engine->setEnabled(false);
    h.scheduler.advance(SessionSequencer::kDeviceStartTimeout);
    EXPECT_EQ(h.phase(), Phase::idle);
    EXPECT_EQ(h.lines("fsm"), QStringList({"idle → error [audio start failed]", "error → idle [session end]"}));
    EXPECT_EQ(h.engine->state().errorMessage(), "Audio engine failed to start: no answer within 10 s");
    hang.unlock();
    // Its late answer changes nothing.
    h.settle([&] {
        std::lock_guard lock(h.capture->mutex);
        return h.capture->starts == 1;
    });
    h.scheduler.runDue();
    EXPECT_EQ(h.phase(), Phase::idle);
    EXPECT_EQ(h.recognizer.starts, 0);
}

}  // namespace
