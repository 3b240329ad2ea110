#include "Backend/LocalOpenAICompatClient.h"

#include "Backend/BackendHosts.h"
#include "Backend/BuiltInPrompts.h"
#include "Backend/ChatCompletions.h"
#include "Support/Text.h"

using namespace std::chrono_literals;

namespace {

const QString kCompletionsPath = QStringLiteral("/v1/chat/completions");

AssistantClientError failed(const QString& message)
{
    return AssistantClientError::requestFailed(message);
}

}  // namespace

LocalOpenAICompatClient::LocalOpenAICompatClient(QString baseURL, QString model, QString apiKey, Scheduler& scheduler)
    : HttpAssistantClient(scheduler), m_baseURL(std::move(baseURL)), m_model(std::move(model)),
      m_apiKey(std::move(apiKey))
{
}

std::optional<QUrl> LocalOpenAICompatClient::endpoint(const QString& baseURL)
{
    // The base itself must name a web server: "localhost:1234" would otherwise parse with the
    // scheme "localhost", and "http://" would become a request to a host called "v1".
    const QString base = Text::trimmed(baseURL);
    const QUrl baseUrl(base, QUrl::StrictMode);
    const QString scheme = baseUrl.scheme();
    if (!baseUrl.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        baseUrl.host().isEmpty())
        return std::nullopt;
    QString text = base;
    if (!text.endsWith(kCompletionsPath)) {
        // A base already ending in the API version ("…/v1", the usual way these servers
        // are written down) only lacks the resource.
        if (text.endsWith(QLatin1String("/v1/")) || text.endsWith(QLatin1String("/v1")))
            text = text.left(text.lastIndexOf(QLatin1String("/v1"))) + kCompletionsPath;
        else
            text = (text.endsWith(QLatin1Char('/')) ? text.chopped(1) : text) + kCompletionsPath;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

QString LocalOpenAICompatClient::friendlyError(int statusCode, const QString& body) const
{
    if (statusCode == 404)
        return QStringLiteral("모델 '") + m_model +
               QStringLiteral("'을(를) 서버에서 찾을 수 없습니다. 로드/풀(pull) 되어 있는지 확인해주세요. 응답: ") +
               body;
    return QStringLiteral("로컬 LLM 응답 실패 (HTTP %1): ").arg(statusCode) + body;
}

QString LocalOpenAICompatClient::friendlyConnectionError(const QUrl& url)
{
    // Without an explicit port the scheme's own is the one that was tried.
    const int port = url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
    QString hint;
    if (port == 11434)
        hint = QStringLiteral("Ollama 데몬이 실행 중인지 확인해주세요 (터미널에서 `ollama serve`).");
    else if (port == 1234)
        hint = QStringLiteral("LM Studio가 켜져 있고 Developer 탭 → Start Server가 활성화되어 있는지 확인해주세요.");
    else
        hint = QStringLiteral("로컬 LLM 서버가 %1:%2 에서 응답하는지 확인해주세요.")
                   .arg(url.host().isEmpty() ? QStringLiteral("localhost") : url.host())
                   .arg(port);
    return QStringLiteral("로컬 LLM 서버에 연결할 수 없습니다. ") + hint;
}

std::variant<HttpExchange::Request, AssistantClientError>
LocalOpenAICompatClient::makeRequest(const QString& systemPrompt, const QString& transcript,
                                     const QString& localeID) const
{
    const std::optional<QUrl> url = endpoint(m_baseURL);
    if (!url)
        return failed(QStringLiteral("Local LLM base URL이 유효하지 않습니다: ") + Text::trimmed(m_baseURL));
    QList<std::pair<QByteArray, QByteArray>> headers{{QByteArrayLiteral("User-Agent"), BackendHosts::userAgent()}};
    const QString key = Text::trimmed(m_apiKey);
    if (!key.isEmpty())
        headers.append(bearerAuthorization(key));
    const QString prompt = systemPrompt.isEmpty() ? BuiltInPrompts::languagePrompt(localeID) : systemPrompt;
    return HttpExchange::Request{*url, headers, ChatCompletions::requestBody(m_model, prompt, transcript), 120s};
}

std::optional<QString> LocalOpenAICompatClient::extractReply(const QJsonObject& body) const
{
    return ChatCompletions::firstReply(body);
}

std::shared_ptr<const HttpAssistantClient> LocalOpenAICompatClient::copy() const
{
    return std::make_shared<LocalOpenAICompatClient>(*this);
}

QString LocalOpenAICompatClient::describeTransportFailure(const HttpExchange::Outcome& outcome, const QUrl& url) const
{
    if (outcome.failure == HttpExchange::Outcome::Failure::cannotConnect)
        return failed(friendlyConnectionError(url)).description();
    return failed(outcome.failureText).description();
}

QString LocalOpenAICompatClient::describeStatus(int status, const QByteArray& body) const
{
    return failed(friendlyError(status, Text::graphemePrefix(statusMessage(status, body), 400))).description();
}

QString LocalOpenAICompatClient::describeMalformedBody() const
{
    return failed(kMalformedBodyText).description();
}
