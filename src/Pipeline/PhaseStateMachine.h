#pragma once

#include "Persistence/ConversationPhase.h"
#include "Support/Scheduler.h"

#include <QString>

#include <functional>

// Guards the engine's conversation phase: only the moves of a fixed table are made, each
// accepted move is logged and reported through one callback. GUI thread only.
class PhaseStateMachine {
public:
    struct TransitionResult {
        enum class Kind { accepted, unchanged, rejected };
        Kind kind;
        QString message;  // why a move was rejected; empty otherwise

        bool operator==(const TransitionResult&) const = default;
    };

    // Called after an accepted move, with the phase already changed.
    using TransitionCallback = std::function<void(ConversationPhase from, ConversationPhase to, const QString& reason)>;

    explicit PhaseStateMachine(const Scheduler& scheduler);

    static bool isAllowed(ConversationPhase from, ConversationPhase to);

    // The only way to change the phase. The reason is a short phrase for the log.
    TransitionResult transition(ConversationPhase to, const QString& reason);

    ConversationPhase phase() const { return m_phase; }
    // Monotonic moment of construction or of the last accepted move.
    Scheduler::TimePoint lastTransitionAt() const { return m_lastTransitionAt; }
    void setOnTransition(TransitionCallback callback) { m_onTransition = std::move(callback); }

private:
    const Scheduler& m_scheduler;
    ConversationPhase m_phase = ConversationPhase::idle;
    Scheduler::TimePoint m_lastTransitionAt;
    TransitionCallback m_onTransition;
};
