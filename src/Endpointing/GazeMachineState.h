#pragma once

#include "Support/RawEnum.h"

// The debounced gaze: no face, engaged with the screen, or averted from it.
enum class GazeMachineState { noFace, engaged, averted };

template <>
struct RawEnumTraits<GazeMachineState> {
    static constexpr std::array<RawCase<GazeMachineState>, 3> cases{{
        {GazeMachineState::noFace, "noFace"},
        {GazeMachineState::engaged, "engaged"},
        {GazeMachineState::averted, "averted"},
    }};
};
