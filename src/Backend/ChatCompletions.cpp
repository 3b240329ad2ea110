#include "Backend/ChatCompletions.h"

#include "Backend/StrictJson.h"

namespace ChatCompletions {

namespace {

QJsonObject message(const QString& role, const QString& content)
{
    return {{QStringLiteral("role"), role}, {QStringLiteral("content"), content}};
}

// The content of one choice, "" when absent; nothing when a field has the wrong type.
std::optional<QString> choiceContent(const QJsonValue& choice)
{
    if (!choice.isObject())
        return std::nullopt;
    const auto message = StrictJson::object(choice.toObject(), QLatin1String("message"));
    if (message.malformed)
        return std::nullopt;
    if (!message.value)
        return QString();
    const auto content = StrictJson::string(*message.value, QLatin1String("content"));
    if (content.malformed)
        return std::nullopt;
    return content.value.value_or(QString());
}

}  // namespace

QJsonObject requestBody(const QString& model, const QString& systemPrompt, const QString& transcript)
{
    return {
        {QStringLiteral("model"), model},
        {QStringLiteral("messages"),
         QJsonArray{message(QStringLiteral("system"), systemPrompt), message(QStringLiteral("user"), transcript)}},
        {QStringLiteral("stream"), false},
    };
}

std::optional<QString> firstReply(const QJsonObject& body)
{
    const auto choices = StrictJson::array(body, QLatin1String("choices"));
    if (choices.malformed)
        return std::nullopt;
    if (!choices.value)
        return QString();
    QString first;
    for (qsizetype i = 0; i < choices.value->size(); ++i) {
        const std::optional<QString> content = choiceContent(choices.value->at(i));
        if (!content)
            return std::nullopt;  // every choice must decode, not only the one we read
        if (i == 0)
            first = *content;
    }
    return first;
}

}  // namespace ChatCompletions
