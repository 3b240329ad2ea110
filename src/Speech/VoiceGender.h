#pragma once

#include "Support/RawEnum.h"

// The gender a synthesizer voice declares; many voices declare none.
enum class VoiceGender { unspecified, male, female };

template <>
struct RawEnumTraits<VoiceGender> {
    static constexpr std::array<RawCase<VoiceGender>, 3> cases{{
        {VoiceGender::unspecified, "unspecified"},
        {VoiceGender::male, "male"},
        {VoiceGender::female, "female"},
    }};
};
