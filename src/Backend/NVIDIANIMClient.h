#pragma once

#include "Backend/BackendHosts.h"
#include "Backend/BearerKeyClient.h"

// NVIDIA NIM's hosted chat completions with the user's key.
class NVIDIANIMClient final : public BearerKeyClient {
public:
    NVIDIANIMClient(QString apiKey, QString model, Scheduler& scheduler, QUrl host = BackendHosts::nvidia());

protected:
    QJsonObject requestBody(const QString& model, const QString& instructions,
                            const QString& transcript) const override;
    std::optional<QString> extractReply(const QJsonObject& body) const override;
    std::shared_ptr<const HttpAssistantClient> copy() const override;
};
