#pragma once

#include "Conversation/ConversationTurn.h"

#include <QList>

class ConversationHistory;
class EngineState;
class Scheduler;

// Adds turns to the conversation history and keeps the chat's recent turns in step with
// it. GUI thread only.
class HistoryRecorder {
public:
    HistoryRecorder(ConversationHistory& history, EngineState& state, const Scheduler& scheduler);

    // A new turn stamped with the scheduler's wall time.
    ConversationTurn record(ConversationTurn::Role role, const QString& text);
    // The backend's context for the turn just recorded: the recent turns without that one.
    QList<ConversationTurn> contextBeforeLatest() const;
    // Forgets the turns in memory and empties the chat.
    void clear();

private:
    ConversationHistory& m_history;
    EngineState& m_state;
    const Scheduler& m_scheduler;
};
