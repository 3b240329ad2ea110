#include "Backend/OstrelHostedClient.h"

#include "Backend/BuiltInPrompts.h"
#include "Backend/ChatCompletions.h"

using namespace std::chrono_literals;

OstrelHostedClient::OstrelHostedClient(QString deviceID, Scheduler& scheduler, QUrl host)
    : HttpAssistantClient(scheduler), m_deviceID(std::move(deviceID)), m_host(std::move(host))
{
}

std::variant<HttpExchange::Request, AssistantClientError>
OstrelHostedClient::makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const
{
    QUrl url = m_host;
    url.setPath(QStringLiteral("/v1/chat/completions"));
    const QString prompt = systemPrompt.isEmpty() ? BuiltInPrompts::languagePrompt(localeID) : systemPrompt;
    const QJsonObject body = ChatCompletions::requestBody(QStringLiteral("ostrel-1"), prompt, transcript);
    return HttpExchange::Request{url,
                                 {{QByteArrayLiteral("X-Device-Id"), m_deviceID.toUtf8()},
                                  {QByteArrayLiteral("User-Agent"), BackendHosts::userAgent()}},
                                 body,
                                 30s};
}

std::optional<QString> OstrelHostedClient::extractReply(const QJsonObject& body) const
{
    return ChatCompletions::firstReply(body);
}

std::shared_ptr<const HttpAssistantClient> OstrelHostedClient::copy() const
{
    return std::make_shared<OstrelHostedClient>(*this);
}
