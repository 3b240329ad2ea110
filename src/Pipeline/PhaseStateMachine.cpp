#include "Pipeline/PhaseStateMachine.h"

#include <QLoggingCategory>

#include <algorithm>
#include <initializer_list>

Q_LOGGING_CATEGORY(lcFsm, "app.parlivox.fsm")

namespace {
using Phase = ConversationPhase;

struct Moves {
    Phase from;
    std::initializer_list<Phase> to;
};

// Every move the pipeline may make; nothing else is ever accepted.
const Moves kAllowedMoves[] = {
    {Phase::idle, {Phase::listening, Phase::error}},
    {Phase::listening, {Phase::thinking, Phase::idle, Phase::interrupted, Phase::error}},
    {Phase::thinking, {Phase::speaking, Phase::listening, Phase::interrupted, Phase::error, Phase::idle}},
    {Phase::speaking, {Phase::listening, Phase::interrupted, Phase::error, Phase::idle}},
    {Phase::interrupted, {Phase::listening, Phase::idle, Phase::error}},
    {Phase::error, {Phase::idle, Phase::listening}},
};
}  // namespace

PhaseStateMachine::PhaseStateMachine(const Scheduler& scheduler)
    : m_scheduler(scheduler), m_lastTransitionAt(scheduler.now())
{
}

bool PhaseStateMachine::isAllowed(ConversationPhase from, ConversationPhase to)
{
    for (const Moves& moves : kAllowedMoves)
        if (moves.from == from)
            return std::find(moves.to.begin(), moves.to.end(), to) != moves.to.end();
    return false;
}

PhaseStateMachine::TransitionResult PhaseStateMachine::transition(ConversationPhase to, const QString& reason)
{
    const ConversationPhase from = m_phase;
    if (to == from)
        return {TransitionResult::Kind::unchanged, {}};
    if (!isAllowed(from, to)) {
        qCCritical(lcFsm, "rejected transition %s → %s: %s", qUtf8Printable(rawValue(from)),
                   qUtf8Printable(rawValue(to)), qUtf8Printable(reason));
        return {TransitionResult::Kind::rejected, QStringLiteral("invalid transition from ") + rawValue(from)};
    }
    m_phase = to;
    m_lastTransitionAt = m_scheduler.now();
    qCInfo(lcFsm, "%s → %s [%s]", qUtf8Printable(rawValue(from)), qUtf8Printable(rawValue(to)), qUtf8Printable(reason));
    if (m_onTransition)
        m_onTransition(from, to, reason);
    return {TransitionResult::Kind::accepted, {}};
}
