#include "Backend/BearerKeyClient.h"

#include "Backend/BuiltInPrompts.h"
#include "Support/Text.h"

BearerKeyClient::BearerKeyClient(QString service, QString path, QString apiKey, QString model, Scheduler& scheduler,
                                 QUrl host)
    : HttpAssistantClient(scheduler), m_service(std::move(service)), m_path(std::move(path)),
      m_apiKey(std::move(apiKey)), m_model(std::move(model)), m_host(std::move(host))
{
}

std::variant<HttpExchange::Request, AssistantClientError>
BearerKeyClient::makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const
{
    if (Text::trimmed(m_apiKey).isEmpty())
        return AssistantClientError::missingAPIKey(m_service);
    QUrl url = m_host;
    url.setPath(m_path);
    const QString instructions = systemPrompt.isEmpty() ? BuiltInPrompts::localePrompt(localeID) : systemPrompt;
    return HttpExchange::Request{
        url, {bearerAuthorization(m_apiKey)}, requestBody(m_model, instructions, transcript), std::chrono::seconds(60)};
}
