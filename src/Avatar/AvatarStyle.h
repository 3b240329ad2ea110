#pragma once

#include "Support/RawEnum.h"

// The avatar's look.
enum class AvatarStyle { female, male, cat, dog, hamster, rabbit, bear, custom };

template <>
struct RawEnumTraits<AvatarStyle> {
    static constexpr std::array<RawCase<AvatarStyle>, 8> cases{{
        {AvatarStyle::female, "female"},
        {AvatarStyle::male, "male"},
        {AvatarStyle::cat, "cat"},
        {AvatarStyle::dog, "dog"},
        {AvatarStyle::hamster, "hamster"},
        {AvatarStyle::rabbit, "rabbit"},
        {AvatarStyle::bear, "bear"},
        {AvatarStyle::custom, "custom"},
    }};
};
