#include "Backend/HttpExchange.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

bool isLoopback(const QUrl& url)
{
    const QString host = url.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

// Errors below 100 are network-layer failures, between 100 and 199 proxy failures: no HTTP
// answer came. Higher codes only restate the status of a response that did arrive.
bool isTransportError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

}  // namespace

HttpExchange::HttpExchange(const Request& request, Scheduler& scheduler, std::function<void(const Outcome&)> completed,
                           QObject* parent)
    : QObject(parent), m_timeout(scheduler), m_completed(std::move(completed))
{
    if (isLoopback(request.url))
        m_network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest networkRequest(request.url);
    // A redirect would carry the key to wherever it points, and turn the POST into a GET:
    // a 3xx answer is a failed request like any other outside 2xx.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    for (const auto& [name, value] : request.headers)
        networkRequest.setRawHeader(name, value);
    if (request.body) {
        networkRequest.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        m_reply = m_network.post(networkRequest, QJsonDocument(*request.body).toJson(QJsonDocument::Compact));
    } else {
        m_reply = m_network.get(networkRequest);
    }
    connect(m_reply, &QNetworkReply::finished, this, &HttpExchange::onFinished);
    m_timeout.start(request.timeout, [this] {
        m_timedOut = true;
        if (m_reply)
            m_reply->abort();
    });
}

HttpExchange::~HttpExchange()
{
    abort();
}

void HttpExchange::abort()
{
    m_timeout.cancel();
    m_completed = nullptr;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void HttpExchange::onFinished()
{
    m_timeout.cancel();
    QNetworkReply* reply = m_reply;
    reply->deleteLater();
    Outcome outcome;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (m_timedOut) {
        outcome.failure = Outcome::Failure::timedOut;
        outcome.failureText = timedOutText;
    } else if (isTransportError(reply->error()) || !status.isValid()) {
        const bool cannotConnect = reply->error() == QNetworkReply::ConnectionRefusedError ||
                                   reply->error() == QNetworkReply::HostNotFoundError;
        outcome.failure = cannotConnect ? Outcome::Failure::cannotConnect : Outcome::Failure::transport;
        outcome.failureText = reply->errorString();
    } else {
        outcome.status = status.toInt();
        outcome.body = reply->readAll();
    }
    if (auto completed = std::exchange(m_completed, nullptr))
        completed(outcome);
}
