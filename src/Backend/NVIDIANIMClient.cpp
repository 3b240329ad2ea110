#include "Backend/NVIDIANIMClient.h"

#include "Backend/ChatCompletions.h"

NVIDIANIMClient::NVIDIANIMClient(QString apiKey, QString model, Scheduler& scheduler, QUrl host)
    : BearerKeyClient(QStringLiteral("NVIDIA"), QStringLiteral("/v1/chat/completions"), std::move(apiKey),
                      std::move(model), scheduler, std::move(host))
{
}

QJsonObject NVIDIANIMClient::requestBody(const QString& model, const QString& instructions,
                                         const QString& transcript) const
{
    return ChatCompletions::requestBody(model, instructions, transcript);
}

std::optional<QString> NVIDIANIMClient::extractReply(const QJsonObject& body) const
{
    return ChatCompletions::firstReply(body);
}

std::shared_ptr<const HttpAssistantClient> NVIDIANIMClient::copy() const
{
    return std::make_shared<NVIDIANIMClient>(*this);
}
