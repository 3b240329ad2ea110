#pragma once

#include "Support/RawEnum.h"

// A change of the debounced gaze; diagnostics print the case name.
enum class GazeTransition {
    enteredEngaged,  // no face → engaged
    reengaged,  // averted → engaged
    avertedAfterEngagement,  // engaged → averted: the look-away handoff
    avertedWithoutEngagement,  // no face → averted
    faceLost,  // engaged or averted → no face
};

template <>
struct RawEnumTraits<GazeTransition> {
    static constexpr std::array<RawCase<GazeTransition>, 5> cases{{
        {GazeTransition::enteredEngaged, "enteredEngaged"},
        {GazeTransition::reengaged, "reengaged"},
        {GazeTransition::avertedAfterEngagement, "avertedAfterEngagement"},
        {GazeTransition::avertedWithoutEngagement, "avertedWithoutEngagement"},
        {GazeTransition::faceLost, "faceLost"},
    }};
};
