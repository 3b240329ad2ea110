#include "Pipeline/PhaseStateMachine.h"

#include "Common/FakeScheduler.h"
#include "Common/LogCapture.h"
#include "Common/QtPrinters.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

using namespace std::chrono_literals;
using Phase = ConversationPhase;
using Kind = PhaseStateMachine::TransitionResult::Kind;

namespace {
// The pipeline's moves, written out independently of the implementation.
const std::set<std::pair<Phase, Phase>> kExpectedMoves = {
    {Phase::idle, Phase::listening},
    {Phase::idle, Phase::error},
    {Phase::listening, Phase::thinking},
    {Phase::listening, Phase::idle},
    {Phase::listening, Phase::interrupted},
    {Phase::listening, Phase::error},
    {Phase::thinking, Phase::speaking},
    {Phase::thinking, Phase::listening},
    {Phase::thinking, Phase::interrupted},
    {Phase::thinking, Phase::error},
    {Phase::thinking, Phase::idle},
    {Phase::speaking, Phase::listening},
    {Phase::speaking, Phase::interrupted},
    {Phase::speaking, Phase::error},
    {Phase::speaking, Phase::idle},
    {Phase::interrupted, Phase::listening},
    {Phase::interrupted, Phase::idle},
    {Phase::interrupted, Phase::error},
    {Phase::error, Phase::idle},
    {Phase::error, Phase::listening},
};

// Allowed moves from idle that lead to each phase.
std::vector<Phase> pathTo(Phase phase)
{
    switch (phase) {
    case Phase::idle:
        return {};
    case Phase::listening:
        return {Phase::listening};
    case Phase::thinking:
        return {Phase::listening, Phase::thinking};
    case Phase::speaking:
        return {Phase::listening, Phase::thinking, Phase::speaking};
    case Phase::interrupted:
        return {Phase::listening, Phase::interrupted};
    case Phase::error:
        return {Phase::error};
    }
    return {};
}

using Call = std::tuple<Phase, Phase, QString>;
}  // namespace

TEST(PhaseStateMachine, AcceptsExactlyTheMovesOfTheTable)
{
    for (const Phase from : allCases<Phase>()) {
        for (const Phase to : allCases<Phase>()) {
            SCOPED_TRACE(qPrintable(rawValue(from) + QStringLiteral(" → ") + rawValue(to)));
            FakeScheduler scheduler;
            scheduler.advance(3ms);
            PhaseStateMachine fsm(scheduler);
            EXPECT_EQ(fsm.lastTransitionAt(), scheduler.now()) << "stamped at construction";
            // Setting up runs without a transition callback.
            for (const Phase step : pathTo(from))
                ASSERT_EQ(fsm.transition(step, QStringLiteral("setup")).kind, Kind::accepted);
            std::vector<Call> calls;
            fsm.setOnTransition([&](Phase a, Phase b, const QString& reason) {
                EXPECT_EQ(fsm.phase(), b) << "the callback sees the new phase";
                calls.emplace_back(a, b, reason);
            });
            scheduler.advance(5ms);
            const auto before = fsm.lastTransitionAt();
            LogCapture log(QStringLiteral("app.parlivox.fsm"));

            const auto result = fsm.transition(to, QStringLiteral("test reason"));

            if (from == to) {
                EXPECT_EQ(result.kind, Kind::unchanged);
                EXPECT_TRUE(calls.empty());
                EXPECT_TRUE(log.lines().isEmpty());
                EXPECT_EQ(fsm.lastTransitionAt(), before);
            } else if (kExpectedMoves.count({from, to})) {
                EXPECT_EQ(result.kind, Kind::accepted);
                EXPECT_EQ(fsm.phase(), to);
                EXPECT_EQ(calls, (std::vector<Call>{{from, to, QStringLiteral("test reason")}}));
                EXPECT_EQ(fsm.lastTransitionAt(), scheduler.now());
                ASSERT_EQ(log.lines().size(), 1);
                EXPECT_EQ(log.lines().first().type, QtInfoMsg);
                EXPECT_EQ(log.lines().first().message,
                          rawValue(from) + QStringLiteral(" → ") + rawValue(to) + QStringLiteral(" [test reason]"));
            } else {
                EXPECT_EQ(result.kind, Kind::rejected);
                EXPECT_EQ(result.message, QStringLiteral("invalid transition from ") + rawValue(from));
                EXPECT_EQ(fsm.phase(), from);
                EXPECT_TRUE(calls.empty());
                EXPECT_EQ(fsm.lastTransitionAt(), before);
                ASSERT_EQ(log.lines().size(), 1);
                EXPECT_EQ(log.lines().first().type, QtCriticalMsg);
                EXPECT_EQ(log.lines().first().message, QStringLiteral("rejected transition ") + rawValue(from) +
                                                           QStringLiteral(" → ") + rawValue(to) +
                                                           QStringLiteral(": test reason"));
            }
        }
    }
}

TEST(PhaseStateMachine, ACallbackMayRequestTheNextMove)
{
    FakeScheduler scheduler;
    PhaseStateMachine fsm(scheduler);
    std::vector<Call> calls;
    fsm.setOnTransition([&](Phase from, Phase to, const QString& reason) {
        calls.emplace_back(from, to, reason);
        if (to == Phase::interrupted)
            fsm.transition(Phase::listening, QStringLiteral("after barge-in"));
    });
    fsm.transition(Phase::listening, QStringLiteral("session start"));
    fsm.transition(Phase::interrupted, QStringLiteral("user barge-in"));
    EXPECT_EQ(fsm.phase(), Phase::listening);
    EXPECT_EQ(calls, (std::vector<Call>{{Phase::idle, Phase::listening, QStringLiteral("session start")},
                                        {Phase::listening, Phase::interrupted, QStringLiteral("user barge-in")},
                                        {Phase::interrupted, Phase::listening, QStringLiteral("after barge-in")}}));
}
