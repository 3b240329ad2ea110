#include "Backend/CLIAssistantClient.h"

#include "Backend/AgentRun.h"
#include "Backend/BuiltInPrompts.h"
#include "Backend/ReplyStream.h"
#include "Storage/AppPaths.h"
#include "Support/Text.h"

#include <QDir>
#include <QFileInfo>

CLIAssistantClient::CLIAssistantClient(Tool tool, QString model, std::chrono::milliseconds timeout,
                                       Scheduler& scheduler, QStringList searchPaths)
    : m_tool(tool), m_model(std::move(model)), m_timeout(timeout), m_scheduler(scheduler),
      m_searchPaths(std::move(searchPaths))
{
}

std::unique_ptr<ReplyStream> CLIAssistantClient::stream(const QString& systemPrompt, const QString& transcript,
                                                        const QString& localeID,
                                                        const QList<ConversationTurn>& history) const
{
    auto stream = std::make_unique<ReplyStream>();
    const QString name = rawValue(m_tool);
    const std::optional<QString> binary = findBinary(name, m_searchPaths);
    if (!binary) {
        stream->fail(CLIAssistantError::binaryNotFound(name).description());
        return stream;
    }
    const QString prompt = composePrompt(systemPrompt, transcript, localeID, history);
    // execve refuses a longer argument with a bare "Argument list too long".
    const qsizetype promptBytes = prompt.toUtf8().size();
    if (promptBytes + 1 > kMaxArgumentBytes) {
        stream->fail(CLIAssistantError::promptTooLong(promptBytes).description());
        return stream;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), childPath(m_searchPaths, environment.value(QStringLiteral("PATH"))));
    auto* run = new AgentRun(*stream, outputMode(m_tool), m_scheduler);
    run->start({*binary, arguments(m_tool, prompt, m_model), AppPaths::work(), environment}, m_timeout);
    return stream;
}

CLIAssistantClient::OutputMode CLIAssistantClient::outputMode(Tool tool)
{
    switch (tool) {
    case Tool::codex:
        return OutputMode::codexJsonl;
    case Tool::claude:
        return OutputMode::claudeStreamJSON;
    case Tool::gemini:
    case Tool::cursorAgent:
    case Tool::kimi:
    case Tool::opencode:
    case Tool::ostrel:
        return OutputMode::plainText;
    }
    return OutputMode::plainText;
}

QStringList CLIAssistantClient::arguments(Tool tool, const QString& prompt, const QString& model)
{
    const QString trimmedModel = Text::trimmed(model);
    const QStringList modelArguments =
        trimmedModel.isEmpty() ? QStringList() : QStringList{QStringLiteral("--model"), trimmedModel};
    switch (tool) {
    case Tool::codex:
        return QStringList{QStringLiteral("exec"), QStringLiteral("--skip-git-repo-check"), QStringLiteral("--json")} +
               modelArguments + QStringList{prompt};
    case Tool::claude:
        return QStringList{QStringLiteral("-p"),
                           prompt,
                           QStringLiteral("--output-format"),
                           QStringLiteral("stream-json"),
                           QStringLiteral("--verbose"),
                           QStringLiteral("--include-partial-messages")} +
               modelArguments;
    case Tool::cursorAgent:
        return QStringList{QStringLiteral("--print"), prompt} + modelArguments;
    case Tool::opencode:
        return QStringList{QStringLiteral("run"), prompt} + modelArguments;
    case Tool::gemini:
    case Tool::kimi:
    case Tool::ostrel:
        return QStringList{QStringLiteral("-p"), prompt} + modelArguments;
    }
    return {};
}

QString CLIAssistantClient::composePrompt(const QString& systemPrompt, const QString& text, const QString& localeID,
                                          const QList<ConversationTurn>& history)
{
    QStringList lines{systemPrompt.isEmpty() ? BuiltInPrompts::agentSystemText(localeID) : systemPrompt};
    if (!history.isEmpty()) {
        lines << QString() << QStringLiteral("Conversation so far:");
        for (const ConversationTurn& turn : history)
            lines << (turn.role == ConversationTurn::Role::user ? QStringLiteral("User: ")
                                                                : QStringLiteral("Assistant: ")) +
                         turn.text;
    }
    lines << QString() << QStringLiteral("User: ") + text << QStringLiteral("Assistant:");
    return lines.join(QLatin1Char('\n'));
}

const QStringList& CLIAssistantClient::defaultSearchPaths()
{
    static const QStringList kPaths = [] {
        const QString home = QDir::homePath();
        return QStringList{
            QStringLiteral("/opt/homebrew/bin"),
            QStringLiteral("/usr/local/bin"),
            QStringLiteral("/usr/bin"),
            home + QStringLiteral("/.local/bin"),
            home + QStringLiteral("/.npm-global/bin"),
            home + QStringLiteral("/.bun/bin"),
            home + QStringLiteral("/.cargo/bin"),
            home + QStringLiteral("/.codex/bin"),
        };
    }();
    return kPaths;
}

std::optional<QString> CLIAssistantClient::findBinary(const QString& name, const QStringList& searchPaths)
{
    for (const QString& directory : searchPaths) {
        const QFileInfo candidate(QDir(directory).filePath(name));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.filePath();
    }
    return std::nullopt;
}

QString CLIAssistantClient::childPath(const QStringList& searchPaths, const QString& inheritedPath)
{
    return (searchPaths + inheritedPath.split(QLatin1Char(':'), Qt::SkipEmptyParts)).join(QLatin1Char(':'));
}
