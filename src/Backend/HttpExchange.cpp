#include "Backend/HttpExchange.h"

#include <QHostAddress>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// How far Qt may read ahead of what the exchange has taken.
constexpr qint64 kReadAheadBytes = 256 * 1024;

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
    : QObject(parent), m_timeout(scheduler), m_completed(std::move(completed)), m_maxBodyBytes(request.maxBodyBytes)
{
    if (isLoopback(request.url))
        m_network.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest networkRequest(request.url);
    // A redirect would carry the key to wherever it points, and turn the POST into a GET:
    // a 3xx answer is a failed request like any other outside 2xx.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Set by hand, it also keeps Qt from inflating a reply itself: Qt 6.4 checks an inflated
    // reply against its own bomb limit only without a read buffer limit, which is set below.
    networkRequest.setRawHeader(QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity"));
    for (const auto& [name, value] : request.headers)
        networkRequest.setRawHeader(name, value);
    if (request.body) {
        networkRequest.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        m_reply = m_network.post(networkRequest, QJsonDocument(*request.body).toJson(QJsonDocument::Compact));
    } else {
        m_reply = m_network.get(networkRequest);
    }
    // Qt's network thread reads the socket only this far ahead of what we have taken, so a
    // server faster than this thread cannot fill memory before the bound is seen. Qt 6.4
    // passes the limit on only once the request has started (a POST starts from the event
    // loop): it is set again from there.
    m_reply->setReadBufferSize(kReadAheadBytes);
    QMetaObject::invokeMethod(
        m_reply, [reply = m_reply] { if (reply) reply->setReadBufferSize(kReadAheadBytes); }, Qt::QueuedConnection);
    // Drained as it comes, and checked on every piece.
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpExchange::takeBody);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpExchange::onHeaders);
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

QString HttpExchange::tooLargeText(qint64 maxBodyBytes)
{
    const QString size = maxBodyBytes % (1024 * 1024) == 0 ? QStringLiteral("%1 MiB").arg(maxBodyBytes / (1024 * 1024))
                                                           : QStringLiteral("%1 bytes").arg(maxBodyBytes);
    return QStringLiteral("The reply was larger than %1; the request was stopped.").arg(size);
}

QString HttpExchange::encodedText(const QByteArray& contentEncoding)
{
    return QStringLiteral("The server sent a %1-encoded reply, which was not asked for; the request was stopped.")
        .arg(QString::fromLatin1(contentEncoding));
}

void HttpExchange::onHeaders()
{
    if (!m_reply || m_stopped.failure != Outcome::Failure::none)
        return;
    const QByteArray encoding = m_reply->rawHeader(QByteArrayLiteral("Content-Encoding")).trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return stop(Outcome::Failure::encoded, encodedText(encoding));
    const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() > m_maxBodyBytes)
        stop(Outcome::Failure::tooLarge, tooLargeText(m_maxBodyBytes));
}

void HttpExchange::takeBody()
{
    if (!m_reply || m_stopped.failure != Outcome::Failure::none)
        return;
    const QByteArray piece = m_reply->readAll();
    // Checked before the piece is added, so the body never grows past the bound.
    if (m_body.size() + piece.size() > m_maxBodyBytes)
        return stop(Outcome::Failure::tooLarge, tooLargeText(m_maxBodyBytes));
    m_body += piece;
}

void HttpExchange::stop(Outcome::Failure failure, const QString& text)
{
    m_stopped.failure = failure;
    m_stopped.failureText = text;
    m_body = QByteArray();  // its memory goes now, not with the exchange
    if (m_reply)
        m_reply->abort();  // finishes at once, with the failure below
}

void HttpExchange::onFinished()
{
    m_timeout.cancel();
    QNetworkReply* reply = m_reply;
    reply->deleteLater();
    Outcome outcome;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    takeBody();
    if (m_stopped.failure != Outcome::Failure::none) {
        outcome = m_stopped;
    } else if (m_timedOut) {
        outcome.failure = Outcome::Failure::timedOut;
        outcome.failureText = kTimedOutText;
    } else if (isTransportError(reply->error()) || !status.isValid()) {
        const bool cannotConnect = reply->error() == QNetworkReply::ConnectionRefusedError ||
                                   reply->error() == QNetworkReply::HostNotFoundError;
        outcome.failure = cannotConnect ? Outcome::Failure::cannotConnect : Outcome::Failure::transport;
        outcome.failureText = reply->errorString();
    } else {
        outcome.status = status.toInt();
        outcome.body = std::exchange(m_body, QByteArray());
    }
    if (auto completed = std::exchange(m_completed, nullptr))
        completed(outcome);
}
