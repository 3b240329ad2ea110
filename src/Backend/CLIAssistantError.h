#pragma once

#include <QString>

#include <optional>

// Why a command-line agent gave no reply; description() is written for the user.
struct CLIAssistantError {
    enum class Kind { binaryNotFound, processFailed, emptyResponse, promptTooLong };

    Kind kind;
    // binaryNotFound: the executable name; processFailed: the detail (standard error and
    // output); emptyResponse: what the agent said instead.
    QString text;
    // processFailed: the exit status; promptTooLong: the prompt's size in bytes.
    qint64 code = 0;

    static CLIAssistantError binaryNotFound(const QString& name);
    static CLIAssistantError processFailed(int status, const QString& detail);
    static CLIAssistantError emptyResponse(const QString& payload);
    static CLIAssistantError promptTooLong(qint64 bytes);

    QString description() const;

    // Usage limits become one fixed Korean sentence; an agent's JSON error line becomes a
    // one-line message; anything else shows the exit code and the whole detail.
    static QString humanize(int code, const QString& detail);
    // The message of the first agent error line ("error" or "turn.failed" events).
    static std::optional<QString> extractFirstApiMessage(const QString& text);
};
