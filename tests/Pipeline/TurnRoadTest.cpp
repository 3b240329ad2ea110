#include "TurnRig.h"

#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Phase = ConversationPhase;

TEST(TurnRoad, TypedAndDetectedTurnsRunFromListeningToSpeakingAndBack)
{
    const QString said = QStringLiteral("오늘 날씨 어때");
    for (const bool typed : {true, false}) {
        SCOPED_TRACE(typed ? "typed" : "detected");
        TurnRig rig;
        rig.recorder.record(ConversationTurn::Role::assistant, QStringLiteral("earlier"));
        QStringList expectedStart;
        if (typed) {
            rig.road.submitTextTurn(QStringLiteral("  ") + said + QStringLiteral("\n"));
            expectedStart = {QStringLiteral("idle → listening [text turn (idle → listening)]")};
            EXPECT_EQ(rig.lines(QStringLiteral("text")), QStringList{QStringLiteral("submitted: ") + said});
        } else {
            rig.listen();
            rig.road.handleTranscript(said);
            rig.turnDetector.forceFire(QStringLiteral("manual fire button"));
            expectedStart = {QStringLiteral("idle → listening [session start]")};
            EXPECT_EQ(rig.state.lastFireReason(), QStringLiteral("manual fire button"));
            EXPECT_EQ(rig.lines(QStringLiteral("stt")), QStringList{QStringLiteral("raw '오늘 날씨 어때' (8 chars)")});
        }
        EXPECT_EQ(rig.lines(QStringLiteral("turn")), QStringList{QStringLiteral("ended (conversation): ") + said});
        ASSERT_EQ(rig.backend.calls.size(), 1u);
        EXPECT_EQ(rig.backend.calls[0].transcript, said);
        EXPECT_EQ(rig.backend.calls[0].history.size(), 1);  // the turn itself is not its own context
        EXPECT_EQ(rig.state.phase(), Phase::thinking);

        rig.reply({QStringLiteral("안녕하세요, 반갑습니다 여러분. 오늘은")}, false);
        EXPECT_EQ(rig.spoken(), QStringList{QStringLiteral("안녕하세요, 반갑습니다 여러분.")});
        EXPECT_EQ(rig.state.phase(), Phase::speaking);
        EXPECT_TRUE(rig.bargeIn.isArmed());
        rig.reply({QStringLiteral(" 맑아요")});
        EXPECT_EQ(rig.state.assistantMessage(), QString());
        EXPECT_EQ(rig.history.turns().last().text, QStringLiteral("안녕하세요, 반갑습니다 여러분. 오늘은 맑아요"));
        EXPECT_EQ(rig.lines(QStringLiteral("llm")), QStringList{QStringLiteral("completed (25 chars)")});

        rig.speakAll();
        EXPECT_EQ(rig.spoken().last(), QStringLiteral("오늘은 맑아요"));
        EXPECT_FALSE(rig.bargeIn.isArmed());
        expectedStart += {QStringLiteral("listening → thinking [turn ended]"),
                          QStringLiteral("thinking → speaking [first sentence ready]"),
                          QStringLiteral("speaking → listening [tts finished]")};
        EXPECT_EQ(rig.lines(QStringLiteral("fsm")), expectedStart);
    }
}

TEST(TurnRoad, ToolCallSplitAcrossPiecesIsNeitherShownNorSpoken)
{
    TurnRig rig;
    QStringList shown;
    QObject::connect(&rig.state, &EngineState::assistantMessageChanged,
                     [&] { shown.append(rig.state.assistantMessage()); });
    rig.road.submitTextTurn(QStringLiteral("할 일 해줘"));
    rig.reply({QStringLiteral("잠시만요, 확인해 볼게요\n{\"ski"), QStringLiteral("ll\":\"test.run\",\"args\":{}}")});
    for (const QString& text : rig.spoken() + shown)
        EXPECT_FALSE(text.contains(QLatin1Char('{'))) << text.toStdString();
    EXPECT_EQ(rig.spoken(), QStringList{QStringLiteral("잠시만요, 확인해 볼게요")});
    EXPECT_EQ(rig.runSkill->runs.size(), 1);
}

TEST(TurnRoad, EveryWayAReplyEndsLeavesTheSessionHearing)
{
    const struct {
        const char* name;
        QStringList pieces;
        std::optional<QString> failure;
        Phase atEnd;
        Phase afterSpeech;
        int spoken;
    } cases[] = {
        {"nothing", {}, std::nullopt, Phase::listening, Phase::listening, 0},
        {"blank", {QStringLiteral(" \n ")}, std::nullopt, Phase::listening, Phase::listening, 0},
        {"time-out", {}, QStringLiteral("timed out"), Phase::error, Phase::error, 0},
        {"error after a sentence",
         {QStringLiteral("첫 문장은 말할게요. 그런데")},
         QStringLiteral("timed out"),
         Phase::error,
         Phase::listening,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TurnRig rig;
        rig.road.submitTextTurn(QStringLiteral("질문"));
        rig.reply(c.pieces, !c.failure);
        if (c.failure) {
            rig.backend.stream->fail(*c.failure);
            rig.settle();
            EXPECT_EQ(rig.state.errorMessage(), c.failure);
            EXPECT_EQ(rig.lines(QStringLiteral("error")), QStringList{*c.failure});
        }
        EXPECT_EQ(rig.state.phase(), c.atEnd);
        rig.speakAll();
        EXPECT_EQ(rig.state.phase(), c.afterSpeech);
        EXPECT_EQ(static_cast<int>(rig.player.calls.size()), c.spoken);
        EXPECT_EQ(rig.history.turns().size(), 1);  // a failed or empty reply is not stored

        // Whatever the end, a typed turn is answered next.
        rig.road.submitTextTurn(QStringLiteral("다시"));
        EXPECT_EQ(rig.state.phase(), Phase::thinking);
        EXPECT_EQ(rig.backend.calls.size(), 2u);
    }
}

TEST(TurnRoad, CancellingAReplyMovesThePhaseByCauseAndDropsTheRest)
{
    using Cause = TurnRoad::StopCause;
    const struct {
        Cause cause;
        bool spokeFirst;
        QStringList moves;
    } cases[] = {
        {Cause::bargeIn,
         true,
         {QStringLiteral("speaking → interrupted [user barge-in]"),
          QStringLiteral("interrupted → listening [resume after barge-in]")}},
        {Cause::bargeIn, false, {QStringLiteral("thinking → listening [user barge-in]")}},
        {Cause::stopButton, true, {QStringLiteral("speaking → listening [manual stop speaking]")}},
        {Cause::stopButton, false, {QStringLiteral("thinking → listening [manual stop speaking]")}},
        {Cause::rest, false, {QStringLiteral("thinking → listening [rest button]")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moves.join(", ").toStdString());
        TurnRig rig;
        rig.road.submitTextTurn(QStringLiteral("길게 말해줘"));
        if (c.spokeFirst)
            rig.reply({QStringLiteral("첫 번째 문장이에요. ")}, false);
        const qsizetype movesBefore = rig.lines(QStringLiteral("fsm")).size();
        rig.road.cancelReply(c.cause);
        EXPECT_EQ(rig.lines(QStringLiteral("fsm")).mid(movesBefore), c.moves);
        EXPECT_FALSE(rig.bargeIn.isArmed());
        EXPECT_EQ(rig.speech.pendingCount(), 0);

        if (rig.backend.stream) {
            rig.backend.stream->push(QStringLiteral("뒷부분도 있어요. 끝."));
            rig.backend.stream->finish();
        }
        rig.speakAll();
        EXPECT_EQ(rig.history.turns().size(), 1);
        EXPECT_TRUE(rig.lines(QStringLiteral("llm")).isEmpty());
        EXPECT_EQ(rig.state.phase(), Phase::listening);
    }
}

TEST(TurnRoad, DropsTurnsOutsideListeningAndSendsRestingTranscriptsOnlyToTheWakeCheck)
{
    TurnRig rig;
    QStringList wakeChecked;
    rig.road.onRestingTranscript = [&](const QString& text) { wakeChecked.append(text); };
    rig.road.handleTurnEnded(QStringLiteral("아직 세션 전"));
    rig.listen();
    rig.settings.setRestingUntil(rig.scheduler.wallNow().addSecs(3600));
    rig.road.handleTranscript(QStringLiteral("당근 당근"));
    rig.road.submitTextTurn(QStringLiteral("쉬는 중"));
    EXPECT_EQ(wakeChecked, QStringList{QStringLiteral("당근 당근")});
    EXPECT_EQ(rig.state.liveTranscript(), QString());
    EXPECT_EQ(rig.lines(QStringLiteral("text")), QStringList{QStringLiteral("submitted: 쉬는 중")});
    EXPECT_TRUE(rig.history.turns().isEmpty());
    EXPECT_EQ(rig.state.phase(), Phase::listening);
}

TEST(TurnRoad, AfterAFailedReplyASpokenOrTypedTurnIsAnsweredAndItsReplyClearsTheError)
{
    const struct {
        const char* name;
        std::function<void(TurnRig&)> turn;
        QString move;
    } cases[] = {
        {"spoken",
         [](TurnRig& rig) {
             rig.road.handleTranscript(QStringLiteral("다시 물어볼게"));
             rig.turnDetector.forceFire(QStringLiteral("transcript dwell"));
         },
         QStringLiteral("error → listening [spoken turn (error → listening)]")},
        {"typed", [](TurnRig& rig) { rig.road.submitTextTurn(QStringLiteral("다시 물어볼게")); },
         QStringLiteral("error → listening [text turn (error → listening)]")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TurnRig rig;
        rig.listen();
        rig.road.submitTextTurn(QStringLiteral("질문"));
        rig.backend.stream->fail(QStringLiteral("HTTP 503"));
        rig.settle();
        ASSERT_EQ(rig.state.phase(), Phase::error);

        c.turn(rig);
        EXPECT_EQ(rig.lines(QStringLiteral("fsm")).mid(3),
                  QStringList({c.move, QStringLiteral("listening → thinking [turn ended]")}));
        ASSERT_EQ(rig.backend.calls.size(), 2u);
        EXPECT_EQ(rig.backend.calls[1].transcript, QStringLiteral("다시 물어볼게"));
        EXPECT_EQ(rig.state.errorMessage(), QStringLiteral("HTTP 503")) << "until a reply arrives";
        rig.reply({QStringLiteral("이번에는 답할 수 있어요.")});
        EXPECT_EQ(rig.state.errorMessage(), std::nullopt);
        rig.speakAll();
        EXPECT_EQ(rig.state.phase(), Phase::listening);
    }
}
