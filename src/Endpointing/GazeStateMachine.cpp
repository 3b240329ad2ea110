#include "Endpointing/GazeStateMachine.h"

namespace {

GazeMachineState targetOf(GazeStatus status)
{
    switch (status) {
    case GazeStatus::lookingAtScreen:
        return GazeMachineState::engaged;
    case GazeStatus::lookingAway:
        return GazeMachineState::averted;
    case GazeStatus::noFace:
        break;
    }
    return GazeMachineState::noFace;
}

GazeTransition transitionBetween(GazeMachineState from, GazeMachineState to)
{
    switch (to) {
    case GazeMachineState::engaged:
        return from == GazeMachineState::averted ? GazeTransition::reengaged : GazeTransition::enteredEngaged;
    case GazeMachineState::averted:
        return from == GazeMachineState::engaged ? GazeTransition::avertedAfterEngagement
                                                 : GazeTransition::avertedWithoutEngagement;
    case GazeMachineState::noFace:
        break;
    }
    return GazeTransition::faceLost;
}

}  // namespace

std::optional<GazeTransition> GazeStateMachine::update(const GazeState& estimate, Scheduler::TimePoint at)
{
    const GazeMachineState target = targetOf(estimate.status);
    // An unsure face reading neither helps nor breaks a pending change.
    if (target != GazeMachineState::noFace && estimate.confidence < m_tuning.minConfidence)
        return std::nullopt;

    if (target == m_state) {
        m_candidate = target;
        m_candidateSince.reset();
        return std::nullopt;
    }
    if (target != m_candidate) {
        m_candidate = target;
        m_candidateSince = at;
        return std::nullopt;
    }

    if (!m_candidateSince)
        m_candidateSince = at;
    const int persistenceMs = target == GazeMachineState::noFace ? m_tuning.noFaceDwellMs : m_tuning.dwellMs;
    if (std::chrono::duration_cast<std::chrono::milliseconds>(at - *m_candidateSince).count() < persistenceMs)
        return std::nullopt;

    const GazeMachineState from = m_state;
    m_state = target;
    m_candidateSince.reset();
    return transitionBetween(from, target);
}

void GazeStateMachine::reset()
{
    m_state = GazeMachineState::noFace;
    m_candidate = GazeMachineState::noFace;
    m_candidateSince.reset();
}
