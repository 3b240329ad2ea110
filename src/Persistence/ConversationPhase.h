#pragma once

#include "Support/RawEnum.h"

enum class ConversationPhase { idle, listening, thinking, speaking, interrupted, error };

template <>
struct RawEnumTraits<ConversationPhase> {
    static constexpr std::array<RawCase<ConversationPhase>, 6> cases{{
        {ConversationPhase::idle, "idle"},
        {ConversationPhase::listening, "listening"},
        {ConversationPhase::thinking, "thinking"},
        {ConversationPhase::speaking, "speaking"},
        {ConversationPhase::interrupted, "interrupted"},
        {ConversationPhase::error, "error"},
    }};
};
