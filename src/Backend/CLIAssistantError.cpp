#include "Backend/CLIAssistantError.h"

#include "Backend/CLIAssistantClient.h"
#include "Backend/ServerErrorMessage.h"
#include "Backend/StrictJson.h"

#include <QJsonObject>

namespace {

const char* const kUsageLimitPhrases[] = {
    "rate limit",        "rate_limit", "rate-limit",    "usage limit",   "usage_limit",
    "too many requests", "quota",      "limit reached", "limit_reached",
};

}  // namespace

CLIAssistantError CLIAssistantError::binaryNotFound(const QString& name)
{
    return {Kind::binaryNotFound, name};
}

CLIAssistantError CLIAssistantError::processFailed(int status, const QString& detail)
{
    return {Kind::processFailed, detail, status};
}

CLIAssistantError CLIAssistantError::emptyResponse(const QString& payload)
{
    return {Kind::emptyResponse, payload};
}

CLIAssistantError CLIAssistantError::promptTooLong(qint64 bytes)
{
    return {Kind::promptTooLong, {}, bytes};
}

QString CLIAssistantError::description() const
{
    switch (kind) {
    case Kind::binaryNotFound:
        return QStringLiteral("CLI binary '%1' was not found in PATH. Install it and authenticate via `%1 login`.")
            .arg(text);
    case Kind::processFailed:
        return humanize(static_cast<int>(code), text);
    case Kind::emptyResponse:
        return QStringLiteral("CLI returned no output. ") + text;
    case Kind::promptTooLong:
        return QStringLiteral("The prompt is too long to pass to the CLI (%1 bytes; one argument may hold at most "
                              "%2). Clear the conversation history or shorten the memory notes.")
            .arg(code)
            .arg(CLIAssistantClient::kMaxArgumentBytes - 1);
    }
    return {};
}

QString CLIAssistantError::humanize(int code, const QString& detail)
{
    const QString lowered = detail.toLower();
    for (const char* phrase : kUsageLimitPhrases)
        if (lowered.contains(QLatin1String(phrase)))
            return QStringLiteral("LLM 사용량 한도에 도달했어요. 잠시 후 다시 시도하거나, 설정 → 비서에서 다른 "
                                  "제공자(Claude · Codex 등)로 바꿔 주세요.");
    const std::optional<QString> message = extractFirstApiMessage(detail);
    if (!message)
        return QStringLiteral("CLI exited with code %1. ").arg(code) + detail;
    if (message->contains(QLatin1String("not supported when using Codex with a ChatGPT account")))
        return QStringLiteral("Selected model is not allowed with your Codex / ChatGPT subscription. Open Settings "
                              "→ Assistant → Model and pick `(use CLI default)`, `gpt-5`, or `gpt-5.5`. (Original: ") +
               *message + QLatin1Char(')');
    return QStringLiteral("CLI error (exit %1): ").arg(code) + *message;
}

std::optional<QString> CLIAssistantError::extractFirstApiMessage(const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const std::optional<QJsonObject> parsed = StrictJson::objectLine(line);
        if (!parsed)
            continue;
        const QJsonObject& event = *parsed;
        const QJsonValue type = event.value(QLatin1String("type"));
        std::optional<QString> candidate;
        if (type == QLatin1String("error"))
            candidate = StrictJson::string(event, QLatin1String("message")).value;
        if (!candidate && type == QLatin1String("turn.failed"))
            candidate =
                StrictJson::string(event.value(QLatin1String("error")).toObject(), QLatin1String("message")).value;
        if (candidate)
            return ServerErrorMessage::of(*candidate).value_or(*candidate);
    }
    return std::nullopt;
}
