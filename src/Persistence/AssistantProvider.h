#pragma once

#include "Support/RawEnum.h"

#include <QStringList>

// The language-model backends that can answer.
enum class AssistantProvider {
    ostrelHosted,
    lmStudio,
    ollama,
    openAI,
    nvidiaNIM,
    codexCLI,
    claudeCLI,
    geminiCLI,
    cursorAgent,
    kimiCLI,
    opencodeCLI,
    ostrelCLI
};

template <>
struct RawEnumTraits<AssistantProvider> {
    static constexpr std::array<RawCase<AssistantProvider>, 12> cases{{
        {AssistantProvider::ostrelHosted, "ostrel-hosted"},
        {AssistantProvider::lmStudio, "lm-studio"},
        {AssistantProvider::ollama, "ollama"},
        {AssistantProvider::openAI, "openAI"},
        {AssistantProvider::nvidiaNIM, "nvidia-nim"},
        {AssistantProvider::codexCLI, "codex-cli"},
        {AssistantProvider::claudeCLI, "claude-cli"},
        {AssistantProvider::geminiCLI, "gemini-cli"},
        {AssistantProvider::cursorAgent, "cursor-agent"},
        {AssistantProvider::kimiCLI, "kimi-cli"},
        {AssistantProvider::opencodeCLI, "opencode-cli"},
        {AssistantProvider::ostrelCLI, "ostrel-cli"},
    }};
};

// Display name of the backend.
QString title(AssistantProvider provider);
// Suggested model names in menu order; "" stands for the command-line agent's own default.
QStringList modelPresets(AssistantProvider provider);
