#include "EngineHarness.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;

TEST(ConversationEngine, TheTurnTimingsFollowTheSpeechLanguage)
{
    struct Case {
        QString localeID;
        std::array<int, 5> waits;  // initial, min, max silence, dwell, fast-fire grace
    };
    const QList<Case> cases = {
        {"ko-KR", {2500, 1500, 8000, 8000, 800}}, {"zh-Hant", {2500, 1500, 8000, 8000, 800}},
        {"ja", {2500, 1500, 8000, 8000, 800}},    {"en-US", {1500, 800, 6000, 5500, 600}},
        {"KO-kr", {1500, 800, 6000, 5500, 600}},
    };
    for (const Case& c : cases) {
        const AdaptiveTurnDetector::Tuning t = ConversationEngine::turnTimings(c.localeID, {});
        EXPECT_EQ((std::array<int, 5>{t.initialSilenceMs, t.minSilenceMs, t.maxSilenceMs, t.transcriptDwellMs,
                                      t.fastFireGraceMs}),
                  c.waits)
            << c.localeID.toStdString();
        EXPECT_EQ(t.silenceMicThreshold, AdaptiveTurnDetector::Tuning{}.silenceMicThreshold);
    }
}

TEST(ConversationEngine, ManualControlsWhileListening)
{
    EngineHarness h;
    h.clockIn();
    h.sounds->played.clear();

    h.engine->fireNow();  // nothing transcribed yet
    EXPECT_EQ(h.lines("endpointing").last(), "manual fire ignored — transcript empty");

    h.recognizer.live->onTranscript(QStringLiteral("what time is it"));
    h.engine->fireNow();
    EXPECT_EQ(h.engine->state().lastFireReason(), "manual fire button");
    EXPECT_EQ(h.lines("manual"), QStringList({"fire button pressed", "fire button pressed"}));

    h.engine->stopSpeaking();
    EXPECT_EQ(h.lines("manual").last(), "stop-speaking pressed (phase=listening)");
    EXPECT_EQ(h.lines("tts"), QStringList{"cancelled"});
    EXPECT_EQ(h.phase(), Phase::listening);
    EXPECT_TRUE(h.sounds->played.isEmpty());

    // A recognizer failure leaves the session in error; the stop button brings it back.
    h.recognizer.live->onError(QStringLiteral("decoder crashed"));
    EXPECT_EQ(h.engine->state().errorMessage(), "decoder crashed");
    h.engine->stopSpeaking();
    EXPECT_EQ(h.lines("fsm").mid(1),
              QStringList({"listening → error [stt error]", "error → listening [manual stop speaking]"}));
    EXPECT_EQ(h.sounds->played, QStringList({"dialog-error", "audio-volume-change"}));

    h.engine->setEnabled(false);
    ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
    h.engine->fireNow();
    EXPECT_EQ(h.lines("manual").last(), "fire ignored — phase=idle");
}

TEST(ConversationEngine, TheRecordingIsRevealedOnlyWhenThereIsOne)
{
    EngineHarness h;
    h.engine->revealRecordingInFinder();
    EXPECT_TRUE(h.desktop->revealed.isEmpty());
}
}  // namespace
