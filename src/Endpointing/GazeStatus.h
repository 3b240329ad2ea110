#pragma once

#include "Support/RawEnum.h"

// Where the user looks, as one gaze estimate says; the raw values are what logs print.
enum class GazeStatus { lookingAtScreen, lookingAway, noFace };

template <>
struct RawEnumTraits<GazeStatus> {
    static constexpr std::array<RawCase<GazeStatus>, 3> cases{{
        {GazeStatus::lookingAtScreen, "lookingAtScreen"},
        {GazeStatus::lookingAway, "lookingAway"},
        {GazeStatus::noFace, "noFace"},
    }};
};
