// Rest and wake through the whole engine on fakes and virtual time.
#include "EngineHarness.h"

#include "Pipeline/RestAndWake.h"
#include "Skills/RestSkill.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Phase = ConversationPhase;

namespace {

const QString kHourRest = QStringLiteral("네, 1시간 쉴게요. 필요하면 '당근 당근' 하고 불러주세요.");
const QString kBackLine = QStringLiteral("네, 다시 왔어요. 말씀하세요.");
const QString kTimerLine = QStringLiteral("쉬는 시간이 끝났어요. 다시 들을게요.");

QString lastSpoken(const EngineHarness& h)
{
    return h.player.calls.empty() ? QString() : h.player.calls.back().text;
}

TEST(RestAndWake, TheRestButtonStopsTheReplyAnnouncesAnHourAndIgnoresItsOwnEcho)
{
    EngineHarness h;
    h.clockIn();
    h.engine->submitTextTurn(QStringLiteral("tell me a story"));
    h.answer(QStringLiteral("Once upon a time there was a fox."));
    ASSERT_EQ(h.phase(), Phase::speaking);

    h.engine->restNow();
    EXPECT_EQ(h.lines("fsm").mid(3),
              QStringList({"speaking → listening [rest button]", "listening → thinking [rest announcement]",
                           "thinking → speaking [first sentence ready]"}));
    ASSERT_TRUE(h.settings.restingUntil().has_value());
    EXPECT_EQ(h.scheduler.wallNow().secsTo(*h.settings.restingUntil()), 3600);
    EXPECT_EQ(h.lines("rest").size(), 1);
    EXPECT_TRUE(h.lines("rest").first().startsWith("resting until 2026-01-05 "));
    EXPECT_EQ(h.engine->state().lastTurns().last().text, kHourRest);
    EXPECT_TRUE(h.settle([&] { return lastSpoken(h) == kHourRest; }));

    h.engine->restNow();  // already resting
    EXPECT_EQ(h.lines("rest").size(), 1);

    // The announcement names the wake phrase; hearing it from the speaker wakes nothing, and
    // what the recognizer heard of it is forgotten when it ends.
    h.recognizer.live->onTranscript(QStringLiteral("당근 당근 하고 불러주세요"));
    const int resets = h.recognizer.resets;
    h.speakAll();
    EXPECT_TRUE(h.settings.restingUntil().has_value());
    EXPECT_EQ(h.recognizer.resets, resets + 1);
    EXPECT_EQ(h.engine->state().liveTranscript(), QString());

    // While resting nothing reaches the turn: no transcript shown, typed turns dropped.
    h.engine->submitTextTurn(QStringLiteral("are you there"));
    EXPECT_EQ(h.backend.calls.size(), 1u);
    h.recognizer.live->onTranscript(QStringLiteral("오늘 회의는 어땠어"));
    EXPECT_EQ(h.engine->state().liveTranscript(), QString());

    h.recognizer.live->onTranscript(QStringLiteral("오늘 회의는 어땠어 당근 당근"));
    EXPECT_EQ(h.lines("rest").mid(1), QStringList({"wake phrase heard", "woke (wake phrase)"}));
    EXPECT_FALSE(h.settings.restingUntil().has_value());
    EXPECT_TRUE(h.settle([&] { return lastSpoken(h) == kBackLine; }));
    EXPECT_EQ(h.engine->state().lastTurns().last().text, kBackLine);
}

TEST(RestAndWake, TheWindowEndsByTimerEvenAcrossSleepByButtonAndSilentlyAtClockOut)
{
    struct Case {
        const char* name;
        std::function<void(EngineHarness&)> end;
        QStringList woke;
        QString spoken;
    };
    const QList<Case> cases = {
        {"timer", [](EngineHarness& h) { h.scheduler.advance(1s); }, {"woke (timer)"}, kTimerLine},
        {"sleep past the deadline",
         [](EngineHarness& h) {
             h.scheduler.suspend(2h);
             h.scheduler.advance(RestAndWake::kDeadlineCheck);
         },
         {"woke (timer)"},
         kTimerLine},
        {"button",
         [](EngineHarness& h) { h.engine->wakeFromRest(QStringLiteral("button")); },
         {"woke (button)"},
         kBackLine},
        {"clock out",
         [](EngineHarness& h) {
             h.engine->setEnabled(false);
             h.settle([&] { return h.phase() == Phase::idle; });
             h.scheduler.advance(3600s);
         },
         {},
         kHourRest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.clockIn();
        h.engine->restNow();
        h.speakAll();
        h.scheduler.advance(3599s);
        ASSERT_TRUE(h.settings.restingUntil().has_value());
        c.end(h);
        // (An hour of statistics lines has pushed the first rest line out of the log.)
        EXPECT_EQ(h.lines("rest").filter("woke"), c.woke);
        EXPECT_FALSE(h.settings.restingUntil().has_value());
        h.settle([&] { return lastSpoken(h) == c.spoken; });
        EXPECT_EQ(lastSpoken(h), c.spoken);
        h.engine->wakeFromRest(QStringLiteral("button"));  // not resting: nothing
        EXPECT_EQ(h.lines("rest").filter("woke"), c.woke);
    }
}

// The assistant's own lines are said by the voice of the speech-output locale, so they are in
// that voice's language whatever the window's: in the interpreter mode, the target language.
TEST(RestAndWake, TheLinesAreInTheLanguageOfTheVoice)
{
    const struct {
        const char* name;
        std::function<void(AppSettings&)> before;
        const char* locale;
        QString rest;
        QString back;
    } cases[] = {
        {"Korean", {}, "ko-KR", kHourRest, kBackLine},
        {"English voice, Korean window",
         [](AppSettings& s) {
             s.setUiLanguage(AppLanguage::korean);
             s.setLocaleID(QStringLiteral("en-US"));
         },
         "en-US", QStringLiteral("OK, I'll rest for an hour. Click Clock in when you need me."),
         QStringLiteral("I'm back. Go ahead.")},
        {"interpreting from Korean into German",
         [](AppSettings& s) {
             s.setUiLanguage(AppLanguage::english);
             s.setAppMode(AppMode::translate);
             s.setTranslateSourceLocale(QStringLiteral("ko-KR"));
             s.setTranslateTargetLocale(QStringLiteral("de-DE"));
         },
         "de-DE",
         QStringLiteral("Gut, ich mache eine Stunde Pause. Wenn Sie mich brauchen, klicken Sie auf Einstempeln."),
         QStringLiteral("Ich bin wieder da. Bitte sprechen Sie.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness h(EngineHarness::Microphone::scripted, c.before);
        h.clockIn();
        h.engine->restNow();
        ASSERT_TRUE(h.settle([&] { return lastSpoken(h) == c.rest; })) << lastSpoken(h).toStdString();
        EXPECT_EQ(h.player.calls.back().locale, QString::fromLatin1(c.locale));
        h.speakAll();
        h.engine->wakeFromRest(QStringLiteral("button"));
        ASSERT_TRUE(h.settle([&] { return lastSpoken(h) == c.back; })) << lastSpoken(h).toStdString();
        EXPECT_EQ(h.engine->state().lastTurns().last().text, c.back);
    }
}

TEST(RestAndWake, TheRestSkillSetsItsWindowAndALongTranscriptIsForgotten)
{
    EngineHarness h;
    h.clockIn();
    h.engine->submitTextTurn(QStringLiteral("take five"));
    h.answer(QStringLiteral("{\"skill\":\"system.rest\",\"args\":{\"minutes\":\"5\"}}"));
    ASSERT_TRUE(h.settle([&] { return lastSpoken(h) == RestSkill::confirmation(5, AppLanguage::korean); }));
    h.speakAll();
    const int resets = h.recognizer.resets;
    h.recognizer.live->onTranscript(QString(RestAndWake::kMaxHeardChars, u'말'));
    EXPECT_EQ(h.recognizer.resets, resets);
    h.recognizer.live->onTranscript(QString(RestAndWake::kMaxHeardChars + 1, u'말'));
    EXPECT_EQ(h.recognizer.resets, resets + 1);
    h.scheduler.advance(5min);
    EXPECT_EQ(h.lines("rest").filter("woke"), QStringList{"woke (timer)"});
}

TEST(RestAndWake, ATurnAboutToEndWhenTheRestBeginsNeverEnds)
{
    EngineHarness h;
    h.clockIn();
    h.speak(300);
    h.recognizer.live->onTranscript(QStringLiteral("what is the weather"));
    h.fallSilent(500);  // its silence wait has begun
    h.engine->restNow();
    h.speakAll();
    h.scheduler.advance(1min);
    EXPECT_EQ(h.engine->state().lastFireReason(), QStringLiteral("—"));
    EXPECT_EQ(h.engine->state().lastFireAt(), std::nullopt);
    EXPECT_TRUE(h.settings.restingUntil().has_value());
}

TEST(RestAndWake, TheRestButtonNeedsASessionAndLeadsOutOfAnError)
{
    EngineHarness h;
    h.engine->restNow();  // clocked out
    EXPECT_FALSE(h.settings.restingUntil().has_value());
    h.clockIn();
    h.recognizer.live->onError(QStringLiteral("decoder crashed"));
    h.engine->restNow();
    EXPECT_EQ(h.lines("fsm").mid(2, 2),
              QStringList({"error → listening [rest button]", "listening → thinking [rest announcement]"}));
    EXPECT_TRUE(h.settings.restingUntil().has_value());
}

}  // namespace
