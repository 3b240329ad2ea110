#pragma once

#include "Backend/BackendHosts.h"
#include "Backend/HttpAssistantClient.h"

// The maker's hosted chat service, the default backend. It needs no key: the device
// identifier travels in a header, and the model is fixed.
class OstrelHostedClient final : public HttpAssistantClient {
public:
    OstrelHostedClient(QString deviceID, Scheduler& scheduler, QUrl host = BackendHosts::ostrel());

protected:
    std::variant<HttpExchange::Request, AssistantClientError>
    makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const override;
    std::optional<QString> extractReply(const QJsonObject& body) const override;
    std::shared_ptr<const HttpAssistantClient> copy() const override;

private:
    QString m_deviceID;
    QUrl m_host;
};
