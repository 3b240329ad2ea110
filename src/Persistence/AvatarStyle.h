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

enum class AppLanguage;

// "avatar.style." followed by the raw value: the localization key of the style's name.
QString nameKey(AvatarStyle style);
// The style's name in the interface language, as the pickers show it.
QString localizedName(AvatarStyle style, AppLanguage language);
