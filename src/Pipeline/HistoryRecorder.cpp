#include "Pipeline/HistoryRecorder.h"

#include "Conversation/ConversationHistory.h"
#include "Pipeline/EngineState.h"
#include "Support/Scheduler.h"

HistoryRecorder::HistoryRecorder(ConversationHistory& history, EngineState& state, const Scheduler& scheduler)
    : m_history(history), m_state(state), m_scheduler(scheduler)
{
}

ConversationTurn HistoryRecorder::record(ConversationTurn::Role role, const QString& text)
{
    const ConversationTurn turn = ConversationTurn::make(role, text, m_scheduler.wallNow());
    m_history.append(turn);
    m_state.setLastTurns(m_history.recentTurns());
    return turn;
}

QList<ConversationTurn> HistoryRecorder::contextBeforeLatest() const
{
    QList<ConversationTurn> context = m_history.recentTurns();
    if (!context.isEmpty())
        context.removeLast();
    return context;
}

void HistoryRecorder::clear()
{
    m_history.clear();
    m_state.setLastTurns({});
}
