#pragma once

#include "Backend/HttpAssistantClient.h"

// A chat-completions server on a machine of the user's own (LM Studio, Ollama, ...). Its
// failures are worded in Korean for the user and name the likely fix.
class LocalOpenAICompatClient final : public HttpAssistantClient {
public:
    LocalOpenAICompatClient(QString baseURL, QString model, QString apiKey, Scheduler& scheduler);

    // The chat-completions endpoint for a base URL as the user typed it: with or without a
    // final "/", ending in "/v1", or already the whole endpoint. Nothing unless it is an
    // http or https URL with a host.
    static std::optional<QUrl> endpoint(const QString& baseURL);

    QString friendlyError(int statusCode, const QString& body) const;
    static QString friendlyConnectionError(const QUrl& url);

protected:
    std::variant<HttpExchange::Request, AssistantClientError>
    makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const override;
    std::optional<QString> extractReply(const QJsonObject& body) const override;
    std::shared_ptr<const HttpAssistantClient> copy() const override;

    QString describeTransportFailure(const HttpExchange::Outcome& outcome, const QUrl& url) const override;
    QString describeStatus(int status, const QByteArray& body) const override;
    QString describeMalformedBody() const override;

private:
    QString m_baseURL;
    QString m_model;
    QString m_apiKey;
};
