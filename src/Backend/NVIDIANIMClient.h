#pragma once

#include "Backend/BackendHosts.h"
#include "Backend/HttpAssistantClient.h"

// NVIDIA NIM's hosted chat completions with the user's key.
class NVIDIANIMClient final : public HttpAssistantClient {
public:
    NVIDIANIMClient(QString apiKey, QString model, Scheduler& scheduler, QUrl host = BackendHosts::nvidia());

protected:
    std::variant<HttpExchange::Request, AssistantClientError>
    makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const override;
    std::optional<QString> extractReply(const QJsonObject& body) const override;
    std::shared_ptr<const HttpAssistantClient> copy() const override;

private:
    QString m_apiKey;
    QString m_model;
    QUrl m_host;
};
