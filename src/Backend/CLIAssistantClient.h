#pragma once

#include "Backend/AssistantClient.h"
#include "Support/RawEnum.h"

#include <QStringList>

#include <chrono>
#include <optional>

class Scheduler;

// Answers a turn by running a command-line coding agent as a child process: one prompt
// made of the system text, the recent history and the transcript, passed as an argument;
// the agent's output is turned into reply pieces while it runs.
class CLIAssistantClient final : public AssistantClient {
public:
    // The agents; the raw value is the executable's file name.
    enum class Tool { codex, claude, gemini, cursorAgent, kimi, opencode, ostrel };
    // How an agent writes its reply on standard output.
    enum class OutputMode { plainText, codexJsonl, claudeStreamJSON };

    static constexpr std::chrono::seconds kDefaultTimeout{60};

    // `searchPaths` are the only directories searched for the executable.
    CLIAssistantClient(Tool tool, QString model, std::chrono::milliseconds timeout, Scheduler& scheduler,
                       QStringList searchPaths = defaultSearchPaths());

    std::unique_ptr<ReplyStream> stream(const QString& systemPrompt, const QString& transcript, const QString& localeID,
                                        const QList<ConversationTurn>& history) const override;

    static OutputMode outputMode(Tool tool);
    // The argument list after the executable; "--model" only for a model that is not blank.
    static QStringList arguments(Tool tool, const QString& prompt, const QString& model);
    static QString composePrompt(const QString& systemPrompt, const QString& text, const QString& localeID,
                                 const QList<ConversationTurn>& history);

    // Where agents are usually installed, in search order (the user's own PATH is not searched).
    static const QStringList& defaultSearchPaths();
    // The first executable file of that name in the directories, in order.
    static std::optional<QString> findBinary(const QString& name, const QStringList& searchPaths);
    // The child's PATH: the search directories first, then the inherited PATH, without any
    // empty entry (which would mean the working directory, where the agents write).
    static QString childPath(const QStringList& searchPaths, const QString& inheritedPath);

    // Linux accepts at most this many bytes in one argument, terminating NUL included.
    static constexpr qsizetype kMaxArgumentBytes = 128 * 1024;

private:
    Tool m_tool;
    QString m_model;
    std::chrono::milliseconds m_timeout;
    Scheduler& m_scheduler;
    QStringList m_searchPaths;
};

template <>
struct RawEnumTraits<CLIAssistantClient::Tool> {
    static constexpr std::array<RawCase<CLIAssistantClient::Tool>, 7> cases{{
        {CLIAssistantClient::Tool::codex, "codex"},
        {CLIAssistantClient::Tool::claude, "claude"},
        {CLIAssistantClient::Tool::gemini, "gemini"},
        {CLIAssistantClient::Tool::cursorAgent, "cursor-agent"},
        {CLIAssistantClient::Tool::kimi, "kimi"},
        {CLIAssistantClient::Tool::opencode, "opencode"},
        {CLIAssistantClient::Tool::ostrel, "ostrel"},
    }};
};
