#include "Persistence/AssistantProvider.h"

QString title(AssistantProvider provider)
{
    switch (provider) {
    case AssistantProvider::ostrelHosted:
        return QStringLiteral("Ostrel AI");
    case AssistantProvider::lmStudio:
        return QStringLiteral("LM Studio (로컬)");
    case AssistantProvider::ollama:
        return QStringLiteral("Ollama (로컬)");
    case AssistantProvider::openAI:
        return QStringLiteral("OpenAI API");
    case AssistantProvider::nvidiaNIM:
        return QStringLiteral("NVIDIA NIM (build.nvidia.com)");
    case AssistantProvider::codexCLI:
        return QStringLiteral("Codex CLI (ChatGPT subscription)");
    case AssistantProvider::claudeCLI:
        return QStringLiteral("Claude Code CLI (Claude subscription)");
    case AssistantProvider::geminiCLI:
        return QStringLiteral("Gemini CLI (Google)");
    case AssistantProvider::cursorAgent:
        return QStringLiteral("Cursor Agent");
    case AssistantProvider::kimiCLI:
        return QStringLiteral("Kimi CLI (Moonshot)");
    case AssistantProvider::opencodeCLI:
        return QStringLiteral("OpenCode CLI");
    case AssistantProvider::ostrelCLI:
        return QStringLiteral("Ostrel AI CLI");
    }
    return {};
}

QStringList modelPresets(AssistantProvider provider)
{
    switch (provider) {
    case AssistantProvider::ostrelHosted:
        return {};
    case AssistantProvider::lmStudio:
        return {"qwen2.5-7b-instruct", "llama-3.2-3b-instruct", "gemma-2-9b-it"};
    case AssistantProvider::ollama:
        return {"qwen2.5:7b", "qwen2.5:14b", "llama3.2:3b", "gemma2:9b", "gpt-oss:20b"};
    case AssistantProvider::openAI:
        return {"gpt-5", "gpt-5-mini", "gpt-5-nano", "gpt-4.1"};
    case AssistantProvider::nvidiaNIM:
        return {"nvidia/llama-3.1-nemotron-70b-instruct", "nvidia/nemotron-4-340b-instruct",
                "nvidia/nemotron-mini-4b-instruct", "meta/llama-3.3-70b-instruct", "deepseek-ai/deepseek-r1"};
    case AssistantProvider::codexCLI:
        return {"", "gpt-5", "gpt-5.5"};
    case AssistantProvider::claudeCLI:
        return {"sonnet", "opus", "haiku", "claude-sonnet-4-6", "claude-opus-4-7", "claude-haiku-4-5"};
    case AssistantProvider::geminiCLI:
        return {"", "gemini-2.5-pro", "gemini-2.5-flash", "gemini-2.0-pro"};
    case AssistantProvider::cursorAgent:
        return {"", "claude-4-sonnet", "gpt-5", "gpt-5-mini"};
    case AssistantProvider::kimiCLI:
        return {"", "moonshot-v1-128k", "kimi-k2", "kimi-k1.5"};
    case AssistantProvider::opencodeCLI:
        return {"", "anthropic/claude-sonnet-4-6", "openai/gpt-5", "google/gemini-2.5-pro"};
    case AssistantProvider::ostrelCLI:
        return {"", "ostrel-1", "ostrel-mini"};
    }
    return {};
}
