#include "Endpointing/AdaptiveTurnDetector.h"

#include "Common/FakeScheduler.h"
#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

struct Turn {
    QString text;
    QString reason;
    long long atMs;
    bool operator==(const Turn&) const = default;
};

void PrintTo(const Turn& turn, std::ostream* out)
{
    *out << "{'" << turn.text.toStdString() << "', '" << turn.reason.toStdString() << "', " << turn.atMs << " ms}";
}

constexpr auto kScreen = GazeStatus::lookingAtScreen;
constexpr auto kAway = GazeStatus::lookingAway;

// Every input arrives at a given virtual time; timers fire on the way there.
class AdaptiveTurnDetectorTest : public testing::Test {
protected:
    AdaptiveTurnDetectorTest()
    {
        detector.onTurnEnded = [this](const QString& text, const QString& reason) {
            turns.push_back({text, reason, nowMs()});
        };
        detector.onDiagnostic = [this](const QString& message) { diagnostics << message; };
        detector.isTranscriptFinishing = [this] { return recognizerFinishing; };
    }

    long long nowMs() const { return scheduler.elapsed().count(); }
    void advanceTo(long long ms) { scheduler.advance(std::chrono::milliseconds(ms - nowMs())); }
    void onset(long long ms)
    {
        advanceTo(ms);
        detector.handle(VoiceActivity::speechStarted());
    }
    // The detector learns of the end at `ms`; the speech had been over for `silentForMs` then.
    void speechEnd(long long ms, int silentForMs = 0)
    {
        advanceTo(ms);
        detector.handle(VoiceActivity::speechEnded(0, silentForMs));
    }
    void transcript(long long ms, const QString& text)
    {
        advanceTo(ms);
        detector.handle(text);
    }
    void level(long long ms, double value)
    {
        advanceTo(ms);
        detector.updateMicLevel(value);
    }
    void gaze(long long ms, GazeStatus status, double confidence)
    {
        advanceTo(ms);
        detector.updateGaze({status, confidence});
    }
    // Two readings 300 ms apart: the machine is engaged from the second one on.
    void engageAt(long long ms)
    {
        gaze(ms - 300, kScreen, 0.9);
        gaze(ms, kScreen, 0.9);
        ASSERT_EQ(detector.gazeMachineState(), GazeMachineState::engaged);
    }
    void expectFreshTurn() const
    {
        EXPECT_FALSE(detector.hasStartedSpeaking());
        EXPECT_TRUE(detector.currentTranscript().isEmpty());
        EXPECT_FALSE(detector.isHandoffLatched());
        EXPECT_EQ(detector.pauseSamplesCount(), 0);
        EXPECT_EQ(detector.gazeMachineState(), GazeMachineState::noFace);
        EXPECT_EQ(scheduler.pendingCount(), 0u);
    }
    qsizetype countDiagnostics(const QString& message) const { return diagnostics.count(message); }
    // Nothing is delivered until a millisecond before `ms`; at `ms` exactly this one turn.
    void expectOnlyTurnAt(long long ms, const char* text, const char* reason)
    {
        advanceTo(ms - 1);
        EXPECT_TRUE(turns.empty()) << "delivered before " << ms << " ms";
        advanceTo(ms);
        EXPECT_EQ(turns, (std::vector<Turn>{{QString::fromUtf8(text), QString::fromUtf8(reason), ms}}));
    }

    FakeScheduler scheduler;
    AdaptiveTurnDetector detector{scheduler};
    std::vector<Turn> turns;
    QStringList diagnostics;
    bool recognizerFinishing = false;  // what the recognizer says of its final text
};

TEST_F(AdaptiveTurnDetectorTest, SilenceFireDeliversThePredictedWaitAfterTheRealEndOfSpeech)
{
    // 13 characters in 1 s is fast speech: 1500 - 300; the wait counts from the real end.
    const struct {
        int silentFor;
        long long turnAfter;  // ms after the detector learned of the end
    } cases[] = {{0, 1200}, {180, 1020}, {1199, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.silentFor);
        const long long start = nowMs();
        turns.clear();
        diagnostics.clear();
        onset(start);
        transcript(start + 100, QStringLiteral(" hello there "));
        speechEnd(start + 1000, c.silentFor);
        expectOnlyTurnAt(start + 1000 + c.turnAfter, "hello there", "predicted silence 1200ms");
        EXPECT_EQ(diagnostics, (QStringList{"VAD speechStarted (turn opened)", "VAD speechEnded — gaze=noFace"}));
        expectFreshTurn();
        advanceTo(nowMs() + 10000);
    }
}

TEST_F(AdaptiveTurnDetectorTest, TheRecognizersLateFinalTextEndsTheTurnOnThePredictedSilence)
{
    // The recognizer finishes an utterance after the speech has ended, often revising its last
    // partial. Speech runs from 400 to 1000 ms; 16 characters in 0.6 s is fast speech, so the
    // predicted silence is 1500 - 300 and ends the turn 1200 ms after the end of speech. A
    // recognizer that says it is still finishing has its final waited for, 1000 ms at most.
    const struct {
        const char* name;
        bool lookAway;  // looks at the screen while speaking and away after the speech
        bool finishing;  // the recognizer says so from the partial until its final text
        long long onsetAt;  // new speech after the end; 0: none
        long long partialAt;  // a revised partial while the recognizer is still finishing; 0: none
        long long finalAt;  // 0: never
        const char* final;
        long long turnAt;
        const char* delivered;
        const char* reason;
    } cases[] = {
        {"final equal to the partial", false, false, 0, 0, 1600, "closed young man", 2200, "closed young man",
         "predicted silence 1200ms"},
        {"final revising the partial", false, false, 0, 0, 1600, "those young man", 2200, "those young man",
         "predicted silence 1200ms"},
        {"final later than the wait, unannounced", false, false, 0, 0, 2600, "those young man", 2200, "closed young man",
         "predicted silence 1200ms"},
        {"final later than the wait, announced", false, true, 0, 0, 2600, "those young man", 2600, "those young man",
         "predicted silence 1200ms"},
        {"final announced in time", false, true, 0, 0, 1600, "those young man", 2200, "those young man",
         "predicted silence 1200ms"},
        {"a partial while the final is waited for", false, true, 0, 2400, 2600, "those young man", 2600,
         "those young man", "predicted silence 1200ms"},
        {"announced final that never comes", false, true, 0, 0, 0, "", 3200, "closed young man",
         "predicted silence 1200ms"},
        {"new speech while the final is waited for", false, true, 2400, 0, 2600, "those young man", 8600,
         "those young man", "transcript dwell 6000ms"},
        {"new speech before the final", false, false, 1300, 0, 1600, "those young man", 7600, "those young man",
         "transcript dwell 6000ms"},
        {"final during the look-away's grace", true, false, 0, 0, 1600, "closed young man again", 1750,
         "closed young man again", "look-away (primary, debounced)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long long t = nowMs() + 1000;
        turns.clear();
        if (c.lookAway)
            engageAt(t + 300);
        onset(t + 400);
        recognizerFinishing = c.finishing;
        transcript(t + 500, QStringLiteral("closed young man"));
        speechEnd(t + 1000);
        if (c.lookAway) {
            gaze(t + 1100, kAway, 0.8);
            gaze(t + 1400, kAway, 0.8);
        }
        const auto final = [&] {
            recognizerFinishing = false;
            transcript(t + c.finalAt, QString::fromUtf8(c.final));
        };
        if (c.onsetAt)
            onset(t + c.onsetAt);
        if (c.partialAt)  // the recognizer revises its partial and is still finishing
            transcript(t + c.partialAt, QStringLiteral("those young"));
        if (c.finalAt && c.finalAt < c.turnAt)
            final();
        if (c.finalAt == c.turnAt) {  // the waited-for final ends the turn as it comes
            advanceTo(t + c.turnAt - 1);
            EXPECT_TRUE(turns.empty()) << "delivered before the final";
            final();
            EXPECT_EQ(turns, (std::vector<Turn>{{QString::fromUtf8(c.delivered), QString::fromUtf8(c.reason),
                                                  t + c.turnAt}}));
        } else {
            expectOnlyTurnAt(t + c.turnAt, c.delivered, c.reason);
        }
        // A final text that comes after the turn, without speech, never ends a turn of its own.
        if (c.finalAt > c.turnAt)
            final();
        advanceTo(nowMs() + 60'000);
        EXPECT_EQ(turns.size(), 1u);
        detector.reset();
    }
}

TEST_F(AdaptiveTurnDetectorTest, NewOnsetCancelsTheSilenceWaitButNotTheDwell)
{
    onset(0);
    transcript(100, QStringLiteral("hello there"));
    speechEnd(1000);
    onset(1500);
    EXPECT_EQ(diagnostics.last(), QStringLiteral("VAD speechStarted (pause=500ms, samples=1)"));
    expectOnlyTurnAt(6100, "hello there", "transcript dwell 6000ms");
}

TEST_F(AdaptiveTurnDetectorTest, LookAwayFiresAfterTheGraceWindowWithTheWordsThatArrivedDuringIt)
{
    engageAt(300);
    onset(400);
    level(450, 0.3);
    transcript(600, QStringLiteral("turn on the"));
    level(1000, 0.01);
    gaze(1100, kAway, 0.8);
    gaze(1400, kAway, 0.8);
    // A zero-length fast fire still waits for the next turn of the event loop.
    EXPECT_FALSE(diagnostics.last().startsWith(QStringLiteral("fast-fire grace")));
    advanceTo(1400);
    transcript(1600, QStringLiteral("turn on the lights"));
    expectOnlyTurnAt(1750, "turn on the lights", "look-away (primary, debounced)");
    EXPECT_EQ(
        diagnostics,
        (QStringList{
            "gaze FSM → engaged [enteredEngaged] | hasSpoken=false inSilence=false transcriptLen=0",
            "VAD speechStarted (turn opened)",
            "FIRST MIC ACTIVITY at level=0.30 (>= 0.05) — 발화 시작 latched",
            "gaze FSM → averted [avertedAfterEngagement] | hasSpoken=true inSilence=false transcriptLen=11",
            "HANDOFF LATCHED (turn-scoped) — via VAD",
            "FAST-FIRE scheduled in 0ms — look-away (primary, debounced) — transcript='turn on the'",
            "fast-fire grace start 350ms — initial='turn on the' (11 chars) reason='look-away (primary, debounced)'",
            "fast-fire FIRED — look-away (primary, debounced) — 'turn on the lights' (18 chars; +7 during grace)",
        }));
    expectFreshTurn();
}

TEST_F(AdaptiveTurnDetectorTest, ARevisionDuringGraceReplacesTheInitialTextUnlessItIsShorter)
{
    const struct {
        const char* revision;
        const char* delivered;
        int added;
    } cases[] = {
        {"set a", "set a timer", 0},
        {"set a timor", "set a timor", 0},  // same length: the newer text wins
        {"set a timer now", "set a timer now", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.revision);
        turns.clear();
        const long long t = nowMs() + 1000;
        engageAt(t + 300);
        onset(t + 400);
        transcript(t + 500, QStringLiteral("set a timer"));
        gaze(t + 600, kAway, 0.8);
        gaze(t + 900, kAway, 0.8);
        advanceTo(t + 900);
        transcript(t + 1000, QString::fromUtf8(c.revision));
        expectOnlyTurnAt(t + 1250, c.delivered, "look-away (primary, debounced)");
        EXPECT_EQ(diagnostics.last(),
                  QStringLiteral("fast-fire FIRED — look-away (primary, debounced) — '%1' (%2 chars; "
                                 "+%3 during grace)")
                      .arg(QString::fromUtf8(c.delivered))
                      .arg(QString::fromUtf8(c.delivered).size())
                      .arg(c.added));
    }
}

TEST_F(AdaptiveTurnDetectorTest, LookingBackDuringGraceCancelsItAndRestartsTheSilenceWait)
{
    auto tuning = detector.tuning();
    tuning.fastFireGraceMs = 600;
    detector.setTuning(tuning);
    engageAt(300);
    onset(400);
    transcript(500, QStringLiteral("hello"));
    speechEnd(1000);
    gaze(1100, kAway, 0.8);
    gaze(1400, kAway, 0.8);
    advanceTo(1400);  // grace fire due at 2000
    gaze(1450, kScreen, 0.5);
    gaze(1750, kScreen, 0.5);
    EXPECT_EQ(diagnostics.last(),
              QStringLiteral("look-away fast-fire CANCELLED — user returned to eye contact (silence+grace cleared)"));
    // A fresh wait: 1500 (no pauses, plain last word, 3.7 characters/s) × (0.5 × 0.7 + 1).
    expectOnlyTurnAt(3775, "hello", "predicted silence 2025ms");
    EXPECT_EQ(countDiagnostics("fast-fire FIRED — look-away (primary, debounced) — 'hello' (5 chars; +0 during grace)"),
              0);
}

TEST_F(AdaptiveTurnDetectorTest, SpeechEndWhileAvertedFiresFastInsteadOfWaiting)
{
    gaze(0, kAway, 0.6);
    gaze(300, kAway, 0.6);  // averted without ever engaging: no handoff
    EXPECT_FALSE(detector.isHandoffLatched());
    onset(400);
    transcript(500, QStringLiteral("all done"));
    speechEnd(1000);
    EXPECT_EQ(diagnostics.mid(diagnostics.size() - 2),
              (QStringList{"VAD speechEnded — gaze=averted",
                           "FAST-FIRE scheduled in 0ms — silence + look-away (primary) — transcript='all done'"}));
    expectOnlyTurnAt(1350, "all done", "silence + look-away (primary)");
}

TEST_F(AdaptiveTurnDetectorTest, FastFireIsRejectedWhileTheUserIsStillAudible)
{
    engageAt(300);
    onset(400);
    level(450, 0.3);
    transcript(500, QStringLiteral("keep talking"));
    speechEnd(900);  // a silence fire is pending ...
    gaze(1000, kAway, 0.8);
    gaze(1300, kAway, 0.8);  // ... and is replaced by the fast fire
    advanceTo(1300);
    EXPECT_EQ(diagnostics.last(),
              QStringLiteral("fast-fire REJECTED: still speaking (mic=0.30 >= 0.05) (look-away (primary, debounced))"));
    EXPECT_EQ(scheduler.pendingCount(), 1u);  // only the dwell is left
    expectOnlyTurnAt(6500, "keep talking", "transcript dwell 6000ms");
}

TEST_F(AdaptiveTurnDetectorTest, LookingBackAfterARejectedFastFireRestartsTheSilenceWait)
{
    engageAt(300);
    onset(400);
    level(450, 0.3);
    transcript(500, QStringLiteral("keep talking"));
    speechEnd(900);
    gaze(1000, kAway, 0.8);
    gaze(1300, kAway, 0.8);
    advanceTo(1300);  // rejected: still audible, and the silence slot is empty now
    level(1400, 0.01);
    gaze(1500, kScreen, 0.9);
    gaze(1800, kScreen, 0.9);
    EXPECT_EQ(countDiagnostics("look-away fast-fire CANCELLED — user returned to eye contact (silence+grace cleared)"),
              0);
    // A fresh wait from the look back, long before the dwell (6500 ms) would end the turn.
    expectOnlyTurnAt(3755, "keep talking", "predicted silence 1955ms");
}

TEST_F(AdaptiveTurnDetectorTest, HandoffLatchThenFirstTranscriptFiresFastOnce)
{
    engageAt(300);
    level(400, 0.2);  // speech started by the mic alone
    level(500, 0.01);
    gaze(600, kAway, 0.8);
    gaze(900, kAway, 0.8);
    EXPECT_EQ(countDiagnostics("HANDOFF LATCHED (turn-scoped) — via mic"), 1);
    advanceTo(900);
    EXPECT_EQ(diagnostics.last(),
              QStringLiteral("fast-fire REJECTED: transcript empty (look-away (primary, debounced))"));
    transcript(1000, QStringLiteral("hello"));
    advanceTo(1000);
    transcript(1100, QStringLiteral("hello again"));
    expectOnlyTurnAt(1350, "hello again", "transcript arrived after handoff latch (turn-scoped)");
    EXPECT_EQ(
        countDiagnostics(
            "FAST-FIRE scheduled in 0ms — transcript arrived after handoff latch (turn-scoped) — transcript='hello'"),
        1);
    EXPECT_EQ(diagnostics.filter(QStringLiteral("FAST-FIRE scheduled")).size(), 2);
}

TEST_F(AdaptiveTurnDetectorTest, LookingAwayBeforeSpeechIsIgnoredAndAnOnsetClearsTheHandoffLatch)
{
    engageAt(300);
    gaze(400, kAway, 0.8);
    gaze(700, kAway, 0.8);
    EXPECT_EQ(diagnostics.last(),
              QStringLiteral("look-away ignored — hasStartedSpeaking=false (no mic activity, no VAD onset)"));
    EXPECT_FALSE(detector.isHandoffLatched());
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    engageAt(1300);
    level(1400, 0.2);
    gaze(1600, kAway, 0.8);
    gaze(1900, kAway, 0.8);
    ASSERT_TRUE(detector.isHandoffLatched());
    onset(2000);
    EXPECT_FALSE(detector.isHandoffLatched());
    EXPECT_EQ(diagnostics.last(), QStringLiteral("HANDOFF LATCH cleared — user resumed speaking"));
    // No latch any more: the first transcript waits for the usual fires.
    transcript(2100, QStringLiteral("hello"));
    EXPECT_EQ(diagnostics.filter(QStringLiteral("transcript arrived after handoff latch")).size(), 0);
}

TEST_F(AdaptiveTurnDetectorTest, ManualFireDeliversOnlyANonBlankTranscriptEvenWithoutSpeech)
{
    // A blank transcript is delivered neither by the button nor by the timers of the turn.
    for (const QString& blank : {QString(), QStringLiteral(" \n\t ")}) {
        onset(nowMs());
        transcript(nowMs() + 100, blank);
        speechEnd(nowMs() + 100);
        detector.forceFire(QStringLiteral("manual fire button"));
        EXPECT_EQ(diagnostics.last(), QStringLiteral("manual fire ignored — transcript empty"));
        advanceTo(nowMs() + 60'000);
    }
    EXPECT_TRUE(turns.empty());
    // Without an onset (the mic just below the latch) no timer delivers, but the button does.
    detector.reset();
    transcript(nowMs(), QStringLiteral("  hello\n"));
    level(nowMs() + 10, 0.049);
    speechEnd(nowMs() + 10);
    advanceTo(nowMs() + 60'000);
    EXPECT_TRUE(turns.empty());
    detector.forceFire(QStringLiteral("manual fire button"));
    EXPECT_EQ(turns, (std::vector<Turn>{{"hello", "manual fire button", nowMs()}}));
    EXPECT_EQ(diagnostics.last(), QStringLiteral("MANUAL FIRE — 'hello'"));
    expectFreshTurn();
}

TEST_F(AdaptiveTurnDetectorTest, MicLatchReportsOncePerTurn)
{
    std::vector<QDateTime> latches;
    detector.onMicActivityFirstDetected = [&](const QDateTime& at) { latches.push_back(at); };
    level(100, 0.2);
    level(200, 0.3);
    ASSERT_EQ(latches.size(), 1u);
    EXPECT_EQ(latches.front(), scheduler.wallNow().addMSecs(-100));
    EXPECT_EQ(diagnostics, QStringList{"FIRST MIC ACTIVITY at level=0.20 (>= 0.05) — 발화 시작 latched"});
    EXPECT_TRUE(detector.hasStartedSpeakingByMic());

    detector.reset();
    level(300, 0.049);
    EXPECT_EQ(latches.size(), 1u);
    level(400, 0.05);  // exactly at the threshold
    EXPECT_EQ(latches.size(), 2u);
}

TEST_F(AdaptiveTurnDetectorTest, DeliversExactlyOnceEvenWhenTheHandlerFeedsTheDetectorAgain)
{
    auto tuning = detector.tuning();
    tuning.transcriptDwellMs = 1200;  // the dwell and the silence fire fall due together
    detector.setTuning(tuning);
    detector.onTurnEnded = [this](const QString& text, const QString& reason) {
        turns.push_back({text, reason, nowMs()});
        detector.forceFire(QStringLiteral("again"));
        detector.handle(turns.back().text);
        detector.handle(VoiceActivity::speechEnded(0));
    };
    onset(0);
    transcript(1000, QStringLiteral("hello there"));
    speechEnd(1000);
    advanceTo(60'000);
    EXPECT_EQ(turns, (std::vector<Turn>{{"hello there", "transcript dwell 1200ms", 2200}}));
    EXPECT_EQ(countDiagnostics("manual fire ignored — transcript empty"), 1);
}

TEST_F(AdaptiveTurnDetectorTest, PausesLongerThan100msAreRecordedAndTrimmedToTheNewest)
{
    onset(0);
    speechEnd(1000);
    onset(1100);
    EXPECT_EQ(diagnostics.last(), QStringLiteral("VAD speechStarted (pause=100ms, samples=0)"));
    speechEnd(1500);
    onset(1601);
    EXPECT_EQ(diagnostics.last(), QStringLiteral("VAD speechStarted (pause=101ms, samples=1)"));

    // With the 101 ms pause above: twelve pauses, the second and third the longest.
    for (const int pause : {3000, 2900, 200, 210, 220, 230, 240, 250, 260, 270, 280}) {
        speechEnd(nowMs() + 100);
        onset(nowMs() + pause);
    }
    ASSERT_EQ(detector.pauseSamplesCount(), 12);
    auto tuning = detector.tuning();
    tuning.minSilenceMs = 0;
    tuning.maxSilenceMs = 99'999;
    detector.setTuning(tuning);
    // An empty transcript is slow speech (+600) on top of the largest pause + 350.
    EXPECT_EQ(detector.predictedSilenceMs(), 3000 + 350 + 600);
    detector.trimPauseSamples(0);
    EXPECT_EQ(detector.pauseSamplesCount(), 12);
    detector.trimPauseSamples(10);
    EXPECT_EQ(detector.pauseSamplesCount(), 10);
    EXPECT_EQ(detector.predictedSilenceMs(), 2900 + 350 + 600);  // the 3rd to the 12th are kept
    detector.trimPauseSamples(11);
    EXPECT_EQ(detector.pauseSamplesCount(), 10);
}

}  // namespace
