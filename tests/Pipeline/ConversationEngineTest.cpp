#include "EngineHarness.h"

#include "Common/QtPrinters.h"
#include "Skills/MailComposeSkill.h"

#include <gtest/gtest.h>

namespace {
using Phase = ConversationPhase;
using namespace std::chrono_literals;

const QStringList kRoad = {"listening → thinking [turn ended]", "thinking → speaking [first sentence ready]",
                           "speaking → listening [tts finished]"};

TEST(ConversationEngine, TheTurnTimingsFollowTheSpeechLanguage)
{
    struct Case {
        QString localeID;
        AppMode mode;
        // initial, min, max silence, dwell, fast-fire grace, the wait for the final text
        std::array<int, 6> waits;
    };
    const QList<Case> cases = {
        {"ko-KR", AppMode::conversation, {2500, 1500, 8000, 8000, 800, 1000}},
        {"zh-Hant", AppMode::translate, {2500, 1500, 8000, 8000, 800, 1000}},
        {"ja", AppMode::brainstorm, {2500, 1500, 8000, 8000, 800, 1000}},
        {"en-US", AppMode::counseling, {1500, 800, 6000, 5500, 600, 1000}},
        {"KO-kr", AppMode::conversation, {1500, 800, 6000, 5500, 600, 1000}},
        // In minutes the silence wait never grows past its shortest, and a line ends where
        // its speaker stops, its final text amending it later.
        {"en-US", AppMode::minutes, {1500, 800, 800, 5500, 600, 0}},
        {"ko-KR", AppMode::minutes, {2500, 1500, 1500, 8000, 800, 0}},
    };
    for (const Case& c : cases) {
        // From the timings of minutes, as after a switch of the mode.
        const AdaptiveTurnDetector::Tuning t =
            ConversationEngine::turnTimings(c.localeID, c.mode, ConversationEngine::turnTimings(c.localeID, AppMode::minutes, {}));
        EXPECT_EQ((std::array<int, 6>{t.initialSilenceMs, t.minSilenceMs, t.maxSilenceMs, t.transcriptDwellMs,
                                      t.fastFireGraceMs, t.finalTextWaitMs}),
                  c.waits)
            << c.localeID.toStdString();
    }
}

TEST(ConversationEngine, TypedDetectedAndFiredTurnsRunFromListeningThroughSpeakingBackToListening)
{
    struct Case {
        const char* name;
        std::function<void(EngineHarness&)> endTurn;
        QString fireReason;
    };
    const QList<Case> cases = {
        {"typed", [](EngineHarness& h) { h.engine->submitTextTurn(QStringLiteral("  what time is it \n")); }, "—"},
        {"detected",
         [](EngineHarness& h) {
             h.speak(0);
             h.recognizer.live->onTranscript(QStringLiteral("what time is it"));
             h.scheduler.advance(8s);  // the transcript stopped changing
         },
         "transcript dwell 8000ms"},
        {"fire button",
         [](EngineHarness& h) {
             h.recognizer.live->onTranscript(QStringLiteral("what time is it"));
             h.engine->fireNow();
         },
         "manual fire button"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.clockIn();
        c.endTurn(h);
        h.answer(QStringLiteral("It is ten o'clock now. Anything else?"));
        EXPECT_EQ(h.phase(), Phase::speaking);
        h.speakAll();
        EXPECT_EQ(h.lines("fsm").mid(1), kRoad);
        EXPECT_EQ(h.lines("turn"), QStringList{"ended (" + rawValue(h.settings.appMode()) + "): what time is it"});
        EXPECT_EQ(h.lines("llm"), QStringList{"completed (37 chars)"});
        EXPECT_EQ(h.lines("tts").mid(0, 2),
                  QStringList({"started: It is ten o'clock now.…", "started: Anything else?…"}));
        ASSERT_EQ(h.player.calls.size(), 2u);
        EXPECT_EQ(h.player.calls[1].text, "Anything else?");
        EXPECT_EQ(h.engine->state().lastTurns().size(), 2);
        EXPECT_EQ(h.engine->state().lastFireReason(), c.fireReason);
        // The next turn starts from nothing: the question is gone and the recognizer reset once.
        EXPECT_EQ(h.engine->state().liveTranscript(), QString());
        EXPECT_EQ(h.recognizer.resets, 1);

        // Clearing the history empties the chat, and the next backend call gets no context.
        h.engine->clearHistory();
        EXPECT_TRUE(h.engine->state().lastTurns().isEmpty());
        h.engine->submitTextTurn(QStringLiteral("and now?"));
        ASSERT_TRUE(h.settle([&] { return h.backend.calls.size() == 2; }));
        EXPECT_TRUE(h.backend.calls.back().history.isEmpty());
    }
}

TEST(ConversationEngine, BargeInStopAndRightAltCutTheReplyAndDisarmTheDetector)
{
    struct Case {
        const char* name;
        std::function<void(EngineHarness&)> interrupt;
        QStringList fsmAfterSpeaking;
        QString logged;  // category and message
    };
    const QList<Case> cases = {
        {"the user talks over the reply",
         [](EngineHarness& h) { h.speak(400); },
         {"speaking → interrupted [user barge-in]", "interrupted → listening [resume after barge-in]"},
         "barge-in: user interrupted assistant (mic above threshold)"},
        {"barge-in switched off meanwhile",
         [](EngineHarness& h) {
             h.settings.setBargeInEnabled(false);
             h.speak(400);
         },
         {},
         "barge-in: ignored — bargeInEnabled=false"},
        {"stop button",
         [](EngineHarness& h) { h.engine->stopSpeaking(); },
         {"speaking → listening [manual stop speaking]"},
         "manual: stop-speaking pressed (phase=speaking)"},
        {"right Alt",
         [](EngineHarness& h) { h.pressRightAlt(); },
         {"speaking → listening [manual stop speaking]"},
         "manual: right Alt → stop speaking"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.settings.setRightOptionInterruptEnabled(true);
        h.clockIn();
        h.pressRightAlt();  // while listening: nothing
        h.engine->submitTextTurn(QStringLiteral("tell me a story"));
        h.answer(QStringLiteral("Once upon a time there was a fox."));
        ASSERT_EQ(h.phase(), Phase::speaking);
        const qsizetype before = h.lines("fsm").size();
        c.interrupt(h);
        EXPECT_EQ(h.lines("fsm").mid(before), c.fsmAfterSpeaking);
        QStringList all;
        for (const PipelineLog::Entry& entry : h.engine->log().entries())
            all << entry.category + ": " + entry.message;
        EXPECT_TRUE(all.contains(c.logged));
        EXPECT_FALSE(all.contains(QStringLiteral("manual: right Alt → stop speaking")) &&
                     c.logged != QStringLiteral("manual: right Alt → stop speaking"));
        if (h.phase() == Phase::listening) {
            EXPECT_EQ(h.lines("tts").last(), "cancelled");
            // Speech cancelled is barge-in disarmed: the user's next words interrupt nothing.
            const qsizetype bargeIns = h.lines("barge-in").size();
            h.speak(400);
            EXPECT_EQ(h.lines("barge-in").size(), bargeIns);
        }
    }
}

TEST(ConversationEngine, AnInterruptionIsAnsweredOnItsPredictedSilenceThoughItsFinalTextComesLate)
{
    EngineHarness h;
    h.clockIn();
    h.engine->submitTextTurn(QStringLiteral("tell me a story"));
    h.answer(QStringLiteral("Once upon a time there was a fox."));
    h.speak(400);
    ASSERT_EQ(h.phase(), Phase::listening);
    h.recognizer.live->onTranscript(QStringLiteral("wait what about the"));
    h.fallSilent(300);
    h.recognizer.live->onTranscript(QStringLiteral("wait what about that"));  // the final text
    ASSERT_TRUE(h.settle([&] {
        h.scheduler.advance(100ms);
        return h.backend.calls.size() == 2;
    }));
    EXPECT_EQ(h.backend.calls.back().transcript, QStringLiteral("wait what about that"));
    EXPECT_TRUE(h.engine->state().lastFireReason().startsWith(QStringLiteral("predicted silence ")))
        << h.engine->state().lastFireReason().toStdString();
}

TEST(ConversationEngine, AStopLeadsOutOfAnErrorAndASessionEndDropsAWaitingSkillAndTheRest)
{
    EngineHarness h;
    h.clockIn();
    h.recognizer.live->onError(QStringLiteral("decoder crashed"));
    EXPECT_EQ(h.engine->state().errorMessage(), "decoder crashed");
    h.engine->stopSpeaking();
    EXPECT_EQ(h.lines("fsm").mid(1),
              QStringList({"listening → error [stt error]", "error → listening [manual stop speaking]"}));

    h.engine->submitTextTurn(QStringLiteral("write to Ann"));
    h.answer(QStringLiteral("{\"skill\":\"mail.compose\",\"args\":{\"to\":\"ann@example.org\"}}"));
    ASSERT_TRUE(h.engine->state().pendingSkill().has_value());
    h.recognizer.live->onTranscript(QStringLiteral("and also"));
    EXPECT_EQ(h.engine->state().liveTranscript(), "and also");
    h.settings.setRestingUntil(QDateTime::currentDateTime().addSecs(600));
    h.engine->setEnabled(false);
    ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
    EXPECT_EQ(h.engine->state().pendingSkill(), std::nullopt);
    EXPECT_EQ(h.settings.restingUntil(), std::nullopt);
    EXPECT_EQ(h.engine->state().liveTranscript(), QString());
    EXPECT_EQ(h.engine->micLevel().level(), 0.0);
    EXPECT_EQ(h.lines("fsm").last(), "speaking → idle [session end]");
}
TEST(ConversationEngine, SpeechTakesTheSettingsLocaleFromStartUpAndOnEveryChange)
{
    using Settings = std::function<void(AppSettings&)>;
    const Settings none;
    const struct {
        const char* name;
        Settings before;  // the engine is made
        bool sessionFirst;
        Settings change;  // applied as the window does
        QString spoken;
    } cases[] = {
        {"English from start-up", [](AppSettings& s) { s.setLocaleID("en-US"); }, false, none, "en-US"},
        {"changed before the first session", none, false, [](AppSettings& s) { s.setLocaleID("en-US"); }, "en-US"},
        {"changed after a session", none, true, [](AppSettings& s) { s.setLocaleID("ja-JP"); }, "ja-JP"},
        {"translation target from start-up",
         [](AppSettings& s) {
             s.setAppMode(AppMode::translate);
             s.setTranslateTargetLocale("en-GB");
         },
         false, none, "en-GB"},
        {"translation target changed", [](AppSettings& s) { s.setAppMode(AppMode::translate); }, false,
         [](AppSettings& s) { s.setTranslateTargetLocale("de-DE"); }, "de-DE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h(EngineHarness::Microphone::scripted, c.before);
        if (c.sessionFirst) {
            h.clockIn();
            h.engine->setEnabled(false);
            ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle; }));
        }
        if (c.change) {
            c.change(h.settings);
            h.engine->applySettings();
        }
        h.engine->submitTextTurn(QStringLiteral("hello"));
        h.answer(QStringLiteral("Hello there."));
        ASSERT_EQ(h.player.calls.size(), 1u);
        EXPECT_EQ(h.player.calls[0].locale, c.spoken);
    }
}

TEST(ConversationEngine, ATypedTurnAfterASessionEndsIsAnsweredSpokenAndHeardAgain)
{
    const struct {
        const char* name;
        std::function<void(EngineHarness&)> endSession;
    } cases[] = {
        {"clocked out while listening",
         [](EngineHarness& h) {
             h.clockIn();
             h.engine->setEnabled(false);
         }},
        {"clocked out while speaking",
         [](EngineHarness& h) {
             h.clockIn();
             h.engine->submitTextTurn(QStringLiteral("tell me a story"));
             h.answer(QStringLiteral("Once upon a time there was a fox."));
             h.engine->setEnabled(false);
         }},
        {"clocked out after a failed start",
         [](EngineHarness& h) {
             h.recognizer.answer = FakeRecognizerState::StartAnswer::fail;
             h.clockIn();
             h.engine->setEnabled(false);
         }},
        {"the microphone went away",
         [](EngineHarness& h) {
             h.clockIn();
             ScriptedCaptureBackend::lose(*h.capture);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        c.endSession(h);
        ASSERT_TRUE(h.settle([&] { return h.phase() == Phase::idle && !h.engine->state().isEnabled(); }));
        const qsizetype spokenBefore = qsizetype(h.player.calls.size());
        h.engine->submitTextTurn(QStringLiteral("what time is it"));
        h.answer(QStringLiteral("It is ten o'clock."));
        EXPECT_EQ(h.phase(), Phase::speaking);
        h.speakAll();
        EXPECT_EQ(qsizetype(h.player.calls.size()), spokenBefore + 1);
        EXPECT_EQ(h.lines("fsm").mid(h.lines("fsm").size() - 4),
                  QStringList({"idle → listening [text turn (idle → listening)]", kRoad[0], kRoad[1], kRoad[2]}));
        EXPECT_EQ(h.engine->state().errorMessage(), std::nullopt) << "an answer clears the last error";
    }
}

TEST(ConversationEngine, AnApprovedSkillRunsWithExactlyTheArgumentsOnItsCard)
{
    const SkillArgs shown{{"to", "ann@example.org"}, {"subject", "점심 약속"}, {"body", "12시에 봬요"}};
    const struct {
        const char* name;
        std::function<void(EngineHarness&)> approve;
    } cases[] = {
        {"by button", [](EngineHarness& h) { h.engine->approvePendingSkill(); }},
        {"by voice",
         [](EngineHarness& h) {
             h.recognizer.live->onTranscript(QStringLiteral("확인했어"));
             h.scheduler.advance(SkillConfirmation::kAnswerSettleTime);
         }},
        {"by voice after a misheard answer",
         [](EngineHarness& h) {
             // A misheard "no" ends its turn on the silence, and goes nowhere: the card waits.
             h.speak(300);
             h.recognizer.live->onTranscript(QStringLiteral("the ah"));
             const int resets = h.recognizer.resets;
             h.fallSilent(6000);
             // What follows is heard afresh, not after "the ah".
             EXPECT_EQ(h.recognizer.resets, resets + 1);
             EXPECT_EQ(h.engine->state().liveTranscript(), QString());
             EXPECT_EQ(h.lines("skill").last(),
                       QStringLiteral("not an answer, still waiting for mail.compose: 'the ah'"));
             EXPECT_TRUE(h.engine->state().lastFireReason().startsWith(QStringLiteral("predicted silence ")));
             EXPECT_EQ(h.backend.calls.size(), 1u);
             EXPECT_EQ(h.phase(), Phase::listening);
             ASSERT_TRUE(h.engine->state().pendingSkill());
             // The recognizer gives its text only after the speech has ended.
             h.speak(300);
             h.fallSilent(100);
             h.recognizer.live->onTranscript(QStringLiteral("yes"));
             h.scheduler.advance(SkillConfirmation::kAnswerSettleTime);
             EXPECT_EQ(h.backend.calls.size(), 1u);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.clockIn();
        h.engine->submitTextTurn(QStringLiteral("write to Ann about lunch"));
        h.answer(QStringLiteral(R"({"skill":"mail.compose","args":{"to":"ann@example.org","subject":"점심 약속",)"
                                R"("body":"12시에 봬요"}})"));
        h.speakAll();
        ASSERT_TRUE(h.engine->state().pendingSkill());
        EXPECT_EQ(h.engine->state().pendingSkill()->args, shown);
        c.approve(h);
        EXPECT_EQ(h.engine->state().pendingSkill(), std::nullopt);
        EXPECT_EQ(h.desktop->opened, QList<QUrl>{*MailComposeSkill::mailLink(shown)});
    }
}

}  // namespace
