#include "Backend/HttpAssistantClient.h"

#include "Backend/ServerErrorMessage.h"
#include "Support/Text.h"

#include <QJsonDocument>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBackend, "app.parlivox.backend")

std::unique_ptr<ReplyStream> HttpAssistantClient::stream(const QString& systemPrompt, const QString& transcript,
                                                         const QString& localeID, const QList<ConversationTurn>&) const
{
    auto stream = std::make_unique<ReplyStream>();
    auto request = makeRequest(systemPrompt, transcript, localeID);
    if (const auto* error = std::get_if<AssistantClientError>(&request)) {
        stream->fail(error->description());
        return stream;
    }
    const HttpExchange::Request& http = std::get<HttpExchange::Request>(request);
    ReplyStream* target = stream.get();
    auto* exchange = new HttpExchange(
        http, m_scheduler,
        [target, client = copy(), url = http.url](const HttpExchange::Outcome& outcome) {
            const Verdict verdict = client->judge(outcome, url);
            if (verdict.succeeded) {
                target->push(verdict.text);
                target->finish();
            } else {
                qCWarning(lcBackend) << "request to" << url.host() << "failed:" << verdict.text;
                target->fail(verdict.text);
            }
        },
        target);
    // Aborting frees a local model server at once instead of letting it finish for nobody.
    stream->setCancelHandler([exchange] { exchange->abort(); });
    return stream;
}

std::pair<QByteArray, QByteArray> HttpAssistantClient::bearerAuthorization(const QString& apiKey)
{
    return {QByteArrayLiteral("Authorization"), "Bearer " + apiKey.toUtf8()};
}

HttpAssistantClient::Verdict HttpAssistantClient::judge(const HttpExchange::Outcome& outcome, const QUrl& url) const
{
    if (outcome.failure != HttpExchange::Outcome::Failure::none)
        return {false, describeTransportFailure(outcome, url)};
    if (outcome.status < 200 || outcome.status > 299)
        return {false, describeStatus(outcome.status, outcome.body)};
    // A stray byte that is not UTF-8 would fail the whole JSON document: it reads as U+FFFD,
    // as in the agents' output, and the answer survives.
    bool damaged = false;
    const QString body = Text::decodeUtf8Replacing(outcome.body, &damaged);
    if (damaged)
        qCWarning(lcBackend) << "reply from" << url.host() << "is not valid UTF-8; its damaged bytes read as U+FFFD";
    const QJsonDocument document = QJsonDocument::fromJson(damaged ? body.toUtf8() : outcome.body);
    const std::optional<QString> reply =
        document.isObject() ? extractReply(document.object()) : std::optional<QString>();
    if (!reply)
        return {false, describeMalformedBody()};
    const QString text = Text::trimmed(*reply);
    if (text.isEmpty())
        return {false, AssistantClientError::emptyResponse().description()};
    return {true, text};
}

QString HttpAssistantClient::describeTransportFailure(const HttpExchange::Outcome& outcome, const QUrl&) const
{
    // Wrapped like any failed request, so the window can tell where the backend is chosen.
    return AssistantClientError::requestFailed(outcome.failureText).description();
}

QString HttpAssistantClient::describeStatus(int status, const QByteArray& body) const
{
    return AssistantClientError::requestFailed(statusMessage(status, body)).description();
}

QString HttpAssistantClient::statusMessage(int status, const QByteArray& body)
{
    const std::optional<QString> text = Text::decodeUtf8Strict(body);
    if (!text || Text::trimmed(*text).isEmpty())
        return QStringLiteral("HTTP %1").arg(status);
    return ServerErrorMessage::of(*text).value_or(*text);
}

QString HttpAssistantClient::describeMalformedBody() const
{
    return kMalformedBodyText;
}
