#include "TurnRig.h"

#include "Analytics/RozeConfig.h"
#include "Analytics/RozeRedOZA.h"
#include "Telemetry/RozeTelemetry.h"

#include "Common/LocalHttpServer.h"
#include "Common/QtPrinters.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Phase = ConversationPhase;

namespace {

const QString kQuestion = QStringLiteral("요약 b. 진행할까요?");

// A turn whose reply is only the tool line.
void callTool(TurnRig& rig, const QString& json)
{
    rig.road.submitTextTurn(QStringLiteral("부탁해"));
    rig.reply({json});
}

// The confirmation question has been asked and spoken; the session listens for the answer.
void askAndListen(TurnRig& rig)
{
    callTool(rig, QStringLiteral(R"({"skill":"test.confirm","args":{"x":"b","when":"2026-01-05T10:00"}})"));
    rig.speakAll();
    ASSERT_EQ(rig.state.phase(), Phase::listening);
    ASSERT_TRUE(rig.state.pendingSkill());
}

}  // namespace

TEST(SkillConfirmation, ToolCallsAreRefusedRunOrHeldForApproval)
{
    const struct {
        const char* json;
        std::function<void(TurnRig&)> complete;
        QStringList skillLines;
        QStringList spoken;
        bool pending;
    } cases[] = {
        {R"({"skill":"test.run","args":{"x":1}})",
         nullptr,
         {QStringLiteral(R"(failed to decode JSON tool call: {"skill":"test.run","args":{"x":1}})")},
         {},
         false},
        {R"({"skill":"nope.x"})", nullptr, {QStringLiteral("unknown skill id 'nope.x'")}, {}, false},
        {R"({"skill":"test.run"})",
         [](TurnRig& rig) { rig.settings.setSkill(QStringLiteral("test.run"), false); },
         {QStringLiteral("✗ blocked disabled skill 'test.run'")},
         {QStringLiteral("그 기능은 지금 꺼져 있어요. 설정에서 켜주세요.")},
         false},
        {R"({"skill":"test.run","args":{"x":"a"}})",
         [](TurnRig& rig) { rig.runSkill->pending(QStringLiteral("다 했어요")); },
         {QStringLiteral("→ test.run (요약 a)"), QStringLiteral("✓ test.run → 다 했어요")},
         {QStringLiteral("다 했어요")},
         false},
        {R"({"skill":"test.run"})",
         [](TurnRig& rig) { rig.runSkill->pending(SkillError::skill(404, QStringLiteral("없어요"))); },
         {QStringLiteral("→ test.run (요약 )")},
         {QStringLiteral("스킬 실행 중 문제가 있었어요: 없어요")},
         false},
        {R"({"skill":"test.confirm","args":{"x":"b"}})",
         nullptr,
         {QStringLiteral("→ test.confirm (요약 b)")},
         {kQuestion},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        TurnRig rig;
        const bool disables = c.skillLines.first().startsWith(QStringLiteral("✗"));
        if (disables)
            c.complete(rig);
        callTool(rig, QString::fromUtf8(c.json));
        if (c.complete && !disables)
            c.complete(rig);
        EXPECT_EQ(rig.lines(QStringLiteral("skill")), c.skillLines);
        EXPECT_EQ(rig.state.pendingSkill().has_value(), c.pending);
        // Whatever is said goes out while speaking, then the session listens again.
        EXPECT_EQ(rig.state.phase(), c.spoken.isEmpty() ? Phase::listening : Phase::speaking);
        rig.speakAll();
        EXPECT_EQ(rig.spoken(), c.spoken);
        EXPECT_EQ(rig.state.phase(), Phase::listening);
        const bool ran = c.skillLines.size() == 2;
        EXPECT_EQ(rig.history.turns().last().text, ran ? c.spoken.first() : QStringLiteral("부탁해"));
    }
}

// What the assistant says about a skill call is in the language of its voice, not the window's:
// the refusal, the question with the call's summary, a failure and the cancellation.
TEST(SkillConfirmation, SpeaksInTheLanguageOfTheVoice)
{
    const struct {
        const char* name;
        std::function<void(TurnRig&)> act;
        QString spoken;
    } cases[] = {
        {"refused",
         [](TurnRig& rig) {
             rig.settings.setSkill(QStringLiteral("test.run"), false);
             callTool(rig, QStringLiteral(R"({"skill":"test.run"})"));
         },
         QStringLiteral("That skill is switched off. Turn it on in the Agent tab, under Skills.")},
        {"failed",
         [](TurnRig& rig) {
             callTool(rig, QStringLiteral(R"({"skill":"test.run"})"));
             rig.runSkill->pending(SkillError::skill(404, QStringLiteral("not found")));
         },
         QStringLiteral("Something went wrong while running the skill: not found")},
        {"asked", [](TurnRig& rig) { callTool(rig, QStringLiteral(R"({"skill":"test.confirm","args":{"x":"b"}})")); },
         QStringLiteral("summary b. Shall I go ahead?")},
        {"cancelled",
         [](TurnRig& rig) {
             askAndListen(rig);
             rig.confirmation.cancelPendingSkill();
         },
         QStringLiteral("Cancelled.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TurnRig rig;
        rig.settings.setUiLanguage(AppLanguage::korean);
        rig.settings.setLocaleID(QStringLiteral("en-US"));
        c.act(rig);
        rig.speakAll();
        EXPECT_EQ(rig.spoken().value(rig.spoken().size() - 1), c.spoken);
    }
    TurnRig rig;
    rig.settings.setLocaleID(QStringLiteral("en-US"));
    askAndListen(rig);
    EXPECT_EQ(rig.state.pendingSkill()->summary, QStringLiteral("summary b"));
    rig.confirmation.cancelPendingSkill();
    EXPECT_EQ(rig.history.turns().last().text, QStringLiteral("Cancelled."));

    // A skill answers in the voice's language as it is when the call runs: at once, or once
    // approved after the voice changed.
    rig.speakAll();
    rig.settings.setUiLanguage(AppLanguage::korean);
    callTool(rig, QStringLiteral(R"({"skill":"test.run"})"));
    ASSERT_EQ(rig.runSkill->languages, QList<AppLanguage>{AppLanguage::english});
    rig.runSkill->pending(QStringLiteral("Done."));
    rig.speakAll();
    askAndListen(rig);
    rig.settings.setLocaleID(QStringLiteral("de-DE"));
    rig.confirmation.approvePendingSkill();
    EXPECT_EQ(rig.confirmSkill->languages, QList<AppLanguage>{AppLanguage::german});
}

TEST(SkillConfirmation, AnAnswerIsTakenOnlyOnceSettledAndNeverFromANegation)
{
    const QString ran = QStringLiteral("✓ test.confirm → 했어요");
    const QString cancelled = QStringLiteral("✗ user cancelled test.confirm");
    const struct {
        const char* name;
        std::function<void(TurnRig&)> answer;
        bool waitsToSettle;
        QString lastSkillLine;  // empty: no answer was taken
    } cases[] = {
        {"button yes", [](TurnRig& rig) { rig.confirmation.approvePendingSkill(); }, false, ran},
        {"button no", [](TurnRig& rig) { rig.confirmation.cancelPendingSkill(); }, false, cancelled},
        {"spoken yes", [](TurnRig& rig) { rig.road.handleTranscript(QStringLiteral("네.")); }, true, ran},
        {"spoken no", [](TurnRig& rig) { rig.road.handleTranscript(QStringLiteral("그만해요")); }, true, cancelled},
        {"yes at the turn's end", [](TurnRig& rig) { rig.road.handleTurnEnded(QStringLiteral("응")); }, false, ran},
        {"spoken negation",
         [](TurnRig& rig) {
             for (const char* partial : {"진행", "진행하지", "진행하지 마"}) {
                 rig.road.handleTranscript(QString::fromUtf8(partial));
                 rig.scheduler.advance(300ms);
             }
         },
         false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TurnRig rig;
        askAndListen(rig);
        rig.road.handleTranscript(QStringLiteral("음"));  // a fragment the turn detector already holds
        const int resetsBefore = rig.recognizerResets;
        c.answer(rig);
        if (c.waitsToSettle) {
            rig.scheduler.advance(SkillConfirmation::kAnswerSettleTime - 1ms);
            EXPECT_TRUE(rig.state.pendingSkill()) << "taken before the transcript settled";
        }
        rig.scheduler.advance(SkillConfirmation::kAnswerSettleTime);
        if (rig.confirmSkill->pending)
            rig.confirmSkill->pending(QStringLiteral("했어요"));
        // A run has exactly the arguments the card showed.
        const QList<SkillArgs> runs = {{{"x", "b"}, {"when", "2026-01-05T10:00"}}};
        EXPECT_EQ(rig.confirmSkill->runs, c.lastSkillLine == ran ? runs : QList<SkillArgs>());
        EXPECT_EQ(rig.state.pendingSkill().has_value(), c.lastSkillLine.isEmpty());
        if (c.lastSkillLine.isEmpty()) {
            EXPECT_EQ(rig.lines(QStringLiteral("skill")).last(), QStringLiteral("→ test.confirm (요약 b)"));
            EXPECT_EQ(rig.turnDetector.currentTranscript(), QStringLiteral("진행하지 마"));
            continue;
        }
        EXPECT_EQ(rig.lines(QStringLiteral("skill")).last(), c.lastSkillLine);
        // A spoken answer's fragments are gone; what follows is spoken like any reply.
        const bool byButton = QByteArray(c.name).startsWith("button");
        EXPECT_EQ(rig.turnDetector.currentTranscript().isEmpty(), !byButton);
        EXPECT_GT(rig.recognizerResets, resetsBefore);
        EXPECT_EQ(rig.state.phase(), Phase::speaking);
        EXPECT_TRUE(rig.lines(QStringLiteral("fsm")).contains(QStringLiteral("listening → thinking [skill result]")));
    }
}

TEST(SkillConfirmation, ARunTheUserStoppedIsRecordedButNotSpoken)
{
    TurnRig rig;
    callTool(rig, QStringLiteral(R"({"skill":"test.run"})"));
    rig.road.cancelReply(TurnRoad::StopCause::stopButton);
    rig.runSkill->pending(QStringLiteral("늦은 결과"));
    rig.speakAll();
    EXPECT_TRUE(rig.spoken().isEmpty());
    EXPECT_EQ(rig.history.turns().last().text, QStringLiteral("늦은 결과"));
    EXPECT_EQ(rig.state.phase(), Phase::listening);
}

TEST(SkillConfirmation, AClearedCallIsNotApprovedByALaterYes)
{
    TurnRig rig;
    askAndListen(rig);
    rig.confirmation.clearPending();
    rig.road.handleTranscript(QStringLiteral("네"));
    rig.scheduler.advance(1s);
    EXPECT_TRUE(rig.confirmSkill->runs.isEmpty());
    EXPECT_EQ(rig.turnDetector.currentTranscript(), QStringLiteral("네"));
}

TEST(SkillConfirmation, SkillLinesReachTheServiceWithoutTheUsersOrTheSkillsWords)
{
    QDir(RozeConfig::defaultStorageDirectory()).removeRecursively();
    LocalHttpServer server;
    TurnRig rig;
    RozeRedOZA client(rig.scheduler);
    RozeTelemetry bridge(client, server.url().toString());
    bridge.setup(true, QStringLiteral("parlivox-mac"));
    rig.log.setForwardSink([&](const PipelineLog::Entry& entry) { bridge.forward(entry); });

    rig.road.submitTextTurn(QStringLiteral("메모해줘"));
    rig.reply({QStringLiteral(R"({"skill":"test.confirm","args":{"x":"비밀메모"}})")});
    rig.speakAll();
    rig.road.handleTranscript(QStringLiteral("Yeah!"));
    rig.scheduler.advance(SkillConfirmation::kAnswerSettleTime);
    rig.confirmSkill->pending(QStringLiteral("비밀결과 저장"));
    rig.scheduler.advance(RozeConfig(QString(), QString()).flushInterval);
    ASSERT_TRUE(server.waitForRequests(1));

    const QByteArray body = server.requests().first().decodedBody();
    for (const char* sent : {"[skill] → test.confirm", "[skill] voice approve", "[skill] ✓ test.confirm"})
        EXPECT_TRUE(body.contains(sent)) << sent;
    for (const QString& kept : {QStringLiteral("비밀"), QStringLiteral("Yeah"), QStringLiteral("요약")})
        EXPECT_FALSE(body.contains(kept.toUtf8())) << kept.toStdString();
    bridge.setup(false, QStringLiteral("parlivox-mac"));
    QDir(RozeConfig::defaultStorageDirectory()).removeRecursively();
}
