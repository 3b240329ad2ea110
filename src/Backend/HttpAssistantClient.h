#pragma once

#include "Backend/AssistantClient.h"
#include "Backend/AssistantClientError.h"
#include "Backend/HttpExchange.h"

#include <QJsonObject>

#include <optional>
#include <variant>

class Scheduler;

// The shared road of the HTTP backends: one non-streamed JSON POST per turn, the whole reply
// delivered as a single trimmed piece. History is never sent. Subclasses give the request,
// the reply extraction and, where they word failures their own way, the error texts.
class HttpAssistantClient : public AssistantClient {
public:
    std::unique_ptr<ReplyStream> stream(const QString& systemPrompt, const QString& transcript, const QString& localeID,
                                        const QList<ConversationTurn>& history) const final;

    struct Verdict {
        bool succeeded = false;
        QString text;  // the reply, or the description of the failure
    };
    // How an answered (or failed) request ends the turn.
    Verdict judge(const HttpExchange::Outcome& outcome, const QUrl& url) const;

protected:
    // The scheduler times every request out and must outlive the streams.
    explicit HttpAssistantClient(Scheduler& scheduler) : m_scheduler(scheduler) {}

    // The request of one turn, or the error that ends the turn before anything is sent.
    virtual std::variant<HttpExchange::Request, AssistantClientError>
    makeRequest(const QString& systemPrompt, const QString& transcript, const QString& localeID) const = 0;
    // The reply text of a 2xx body ("" when it holds none), or nothing when the body does
    // not have the expected shape.
    virtual std::optional<QString> extractReply(const QJsonObject& body) const = 0;

    // Failure texts; by default a failed request carrying what went wrong: the transport's
    // reason, or what a non-2xx answer says (statusMessage).
    virtual QString describeTransportFailure(const HttpExchange::Outcome& outcome, const QUrl& url) const;
    virtual QString describeStatus(int status, const QByteArray& body) const;
    virtual QString describeMalformedBody() const;

    // What a non-2xx answer says: the message of a JSON error body, else the body as text,
    // else (a blank body or one that is not UTF-8) "HTTP <code>".
    static QString statusMessage(int status, const QByteArray& body);

    // The header that presents an API key as a bearer token.
    static std::pair<QByteArray, QByteArray> bearerAuthorization(const QString& apiKey);

    // The stream works on a copy, so it can finish after the client is gone.
    virtual std::shared_ptr<const HttpAssistantClient> copy() const = 0;

    static inline const QString kMalformedBodyText =
        QStringLiteral("The data couldn't be read because it isn't in the correct format.");

private:
    Scheduler& m_scheduler;
};
