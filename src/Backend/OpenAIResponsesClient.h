#pragma once

#include "Backend/BackendHosts.h"
#include "Backend/BearerKeyClient.h"

// OpenAI's Responses API with the user's key.
class OpenAIResponsesClient final : public BearerKeyClient {
public:
    OpenAIResponsesClient(QString apiKey, QString model, Scheduler& scheduler, QUrl host = BackendHosts::openAI());

protected:
    QJsonObject requestBody(const QString& model, const QString& instructions,
                            const QString& transcript) const override;
    std::optional<QString> extractReply(const QJsonObject& body) const override;
    std::shared_ptr<const HttpAssistantClient> copy() const override;
};
