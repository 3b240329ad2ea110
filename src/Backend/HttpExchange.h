#pragma once

#include "Support/Scheduler.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

class QNetworkReply;

// One JSON POST (or a plain GET) and its whole answer, on the thread that makes it. The time-out is a timer
// of our own, so that running out of time reads as such instead of as a cancel; requests to
// this machine never go through a proxy. The body is taken as it arrives and has a bound: a
// reply that announces or sends more stops the request at once, so a server that streams
// without end costs neither the whole time-out nor memory beyond the bound. Replies are asked
// for unencoded: one that comes compressed all the same is stopped at its headers, since
// inflating it could pass any bound before the bound is seen.
class HttpExchange : public QObject {
    Q_OBJECT
public:
    struct Request {
        QUrl url;
        QList<std::pair<QByteArray, QByteArray>> headers;  // besides Content-Type
        std::optional<QJsonObject> body;  // posted as JSON; none sends a GET
        std::chrono::milliseconds timeout{0};
        qint64 maxBodyBytes = kMaxBodyBytes;
    };

    struct Outcome {
        enum class Failure { none, timedOut, cannotConnect, transport, tooLarge, encoded };
        Failure failure = Failure::none;
        QString failureText;  // what went wrong, when no HTTP response arrived
        int status = 0;  // the HTTP status when one arrived
        QByteArray body;
    };

    static inline const QString kTimedOutText = QStringLiteral("The request timed out.");
    // Far above any real reply of a language model (a long answer is tens of KiB).
    static constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;
    // "The reply was larger than 8 MiB; the request was stopped."
    static QString tooLargeText(qint64 maxBodyBytes);
    // "The server sent a gzip-encoded reply, which was not asked for; the request was stopped."
    static QString encodedText(const QByteArray& contentEncoding);

    // Sends at once; `completed` runs once, unless abort() or destruction comes first.
    HttpExchange(const Request& request, Scheduler& scheduler, std::function<void(const Outcome&)> completed,
                 QObject* parent = nullptr);
    ~HttpExchange() override;

    void abort();

private:
    void onFinished();
    void onHeaders();
    void takeBody();
    // Ends the request at once with this failure; what has arrived is dropped.
    void stop(Outcome::Failure failure, const QString& text);

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    SingleShot m_timeout;
    bool m_timedOut = false;
    std::function<void(const Outcome&)> m_completed;
    const qint64 m_maxBodyBytes;
    Outcome m_stopped;  // why the exchange stopped the request itself
    QByteArray m_body;  // as much as has arrived
};
