#include "Backend/OpenAIResponsesClient.h"

#include "Backend/StrictJson.h"
#include "Support/Text.h"

namespace {

// The texts of the assistant's message items: only items of type "message" and their parts
// of type "output_text". Reasoning items carry no content (or reasoning text that must never
// be spoken) and are skipped. Nothing when any item or part has the wrong shape.
std::optional<QStringList> messageTexts(const QJsonArray& output)
{
    QStringList texts;
    for (const QJsonValue& itemValue : output) {
        if (!itemValue.isObject())
            return std::nullopt;
        const QJsonObject item = itemValue.toObject();
        const auto type = StrictJson::string(item, QLatin1String("type"));
        const auto content = StrictJson::array(item, QLatin1String("content"));
        if (type.malformed || content.malformed)
            return std::nullopt;
        for (const QJsonValue& partValue : content.value.value_or(QJsonArray())) {
            if (!partValue.isObject())
                return std::nullopt;
            const QJsonObject part = partValue.toObject();
            const auto partType = StrictJson::string(part, QLatin1String("type"));
            const auto text = StrictJson::string(part, QLatin1String("text"));
            if (partType.malformed || text.malformed)
                return std::nullopt;
            if (type.value == QLatin1String("message") && partType.value == QLatin1String("output_text") && text.value)
                texts.append(*text.value);
        }
    }
    return texts;
}

}  // namespace

OpenAIResponsesClient::OpenAIResponsesClient(QString apiKey, QString model, Scheduler& scheduler, QUrl host)
    : BearerKeyClient(QStringLiteral("OpenAI"), QStringLiteral("/v1/responses"), std::move(apiKey), std::move(model),
                      scheduler, std::move(host))
{
}

QJsonObject OpenAIResponsesClient::requestBody(const QString& model, const QString& instructions,
                                               const QString& transcript) const
{
    return {
        {QStringLiteral("model"), model},
        {QStringLiteral("input"), transcript},
        {QStringLiteral("instructions"), instructions},
    };
}

std::optional<QString> OpenAIResponsesClient::extractReply(const QJsonObject& body) const
{
    const auto outputText = StrictJson::string(body, QLatin1String("output_text"));
    const auto output = StrictJson::array(body, QLatin1String("output"));
    if (outputText.malformed || output.malformed)
        return std::nullopt;
    const std::optional<QStringList> texts = messageTexts(output.value.value_or(QJsonArray()));
    if (!texts)
        return std::nullopt;
    if (outputText.value && !Text::trimmed(*outputText.value).isEmpty())
        return outputText.value;
    return texts->join(QLatin1Char('\n'));
}

std::shared_ptr<const HttpAssistantClient> OpenAIResponsesClient::copy() const
{
    return std::make_shared<OpenAIResponsesClient>(*this);
}
