#include "Backend/NVIDIANIMClient.h"

#include "Backend/BuiltInPrompts.h"
#include "Backend/ChatCompletions.h"

NVIDIANIMClient::NVIDIANIMClient(QString apiKey, QString model, Scheduler& scheduler, QUrl host)
    : HttpAssistantClient(scheduler), m_apiKey(std::move(apiKey)), m_model(std::move(model)), m_host(std::move(host))
{
}

std::variant<HttpExchange::Request, AssistantClientError>
NVIDIANIMClient::makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const
{
    QUrl url = m_host;
    url.setPath(QStringLiteral("/v1/chat/completions"));
    const QString prompt = systemPrompt.isEmpty() ? BuiltInPrompts::localePrompt(localeID) : systemPrompt;
    return bearerRequest(QStringLiteral("NVIDIA"), m_apiKey, url,
                         ChatCompletions::requestBody(m_model, prompt, transcript));
}

std::optional<QString> NVIDIANIMClient::extractReply(const QJsonObject& body) const
{
    return ChatCompletions::firstReply(body);
}

std::shared_ptr<const HttpAssistantClient> NVIDIANIMClient::copy() const
{
    return std::make_shared<NVIDIANIMClient>(*this);
}
