#pragma once

#include "Endpointing/GazeMachineState.h"
#include "Endpointing/GazeState.h"
#include "Endpointing/GazeTransition.h"
#include "Support/Scheduler.h"

#include <optional>

// Debounces flickering gaze estimates: a new state needs two readings of it, the later at
// least the dwell after the first, with no reading of another target in between. It keeps
// no timer; time advances only with readings.
class GazeStateMachine {
public:
    struct Tuning {
        int dwellMs = 300;  // for a new engaged or averted state
        int noFaceDwellMs = 700;  // for a missing face
        double minConfidence = 0.4;  // face readings below this are ignored
    };

    std::optional<GazeTransition> update(const GazeState& estimate, Scheduler::TimePoint at);
    void reset();

    GazeMachineState state() const { return m_state; }
    const Tuning& tuning() const { return m_tuning; }
    void setTuning(const Tuning& tuning) { m_tuning = tuning; }

private:
    Tuning m_tuning;
    GazeMachineState m_state = GazeMachineState::noFace;
    GazeMachineState m_candidate = GazeMachineState::noFace;
    std::optional<Scheduler::TimePoint> m_candidateSince;
};
