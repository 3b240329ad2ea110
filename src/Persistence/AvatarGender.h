#pragma once

#include "Support/RawEnum.h"

// The avatar's gender, also the preferred gender of the automatically chosen voice.
enum class AvatarGender { female, male };

template <>
struct RawEnumTraits<AvatarGender> {
    static constexpr std::array<RawCase<AvatarGender>, 2> cases{{
        {AvatarGender::female, "female"},
        {AvatarGender::male, "male"},
    }};
};
