#pragma once

#include "Support/RawEnum.h"

enum class AppMode { conversation, minutes, brainstorm, counseling, translate };

template <>
struct RawEnumTraits<AppMode> {
    static constexpr std::array<RawCase<AppMode>, 5> cases{{
        {AppMode::conversation, "conversation"},
        {AppMode::minutes, "minutes"},
        {AppMode::brainstorm, "brainstorm"},
        {AppMode::counseling, "counseling"},
        {AppMode::translate, "translate"},
    }};
};
