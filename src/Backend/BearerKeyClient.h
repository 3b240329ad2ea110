#pragma once

#include "Backend/HttpAssistantClient.h"

#include <QUrl>

// A hosted service reached with the user's own key: every turn is a POST to one path of its
// host, authorised with the key as a bearer token, with the locale prompt when the caller
// gives no system prompt. A blank key ends the turn before anything is sent.
class BearerKeyClient : public HttpAssistantClient {
protected:
    // `service` is named in the missing-key error.
    BearerKeyClient(QString service, QString path, QString apiKey, QString model, Scheduler& scheduler, QUrl host);

    // The body of one turn in the service's own shape.
    virtual QJsonObject requestBody(const QString& model, const QString& instructions,
                                    const QString& transcript) const = 0;

    std::variant<HttpExchange::Request, AssistantClientError>
    makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const final;

private:
    QString m_service;
    QString m_path;
    QString m_apiKey;
    QString m_model;
    QUrl m_host;
};
