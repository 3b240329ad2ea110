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
// this machine never go through a proxy.
class HttpExchange : public QObject {
    Q_OBJECT
public:
    struct Request {
        QUrl url;
        QList<std::pair<QByteArray, QByteArray>> headers;  // besides Content-Type
        std::optional<QJsonObject> body;  // posted as JSON; none sends a GET
        std::chrono::milliseconds timeout{0};
    };

    struct Outcome {
        enum class Failure { none, timedOut, cannotConnect, transport };
        Failure failure = Failure::none;
        QString failureText;  // what went wrong, when no HTTP response arrived
        int status = 0;  // the HTTP status when one arrived
        QByteArray body;
    };

    static inline const QString timedOutText = QStringLiteral("The request timed out.");

    // Sends at once; `completed` runs once, unless abort() or destruction comes first.
    HttpExchange(const Request& request, Scheduler& scheduler, std::function<void(const Outcome&)> completed,
                 QObject* parent = nullptr);
    ~HttpExchange() override;

    void abort();

private:
    void onFinished();

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    SingleShot m_timeout;
    bool m_timedOut = false;
    std::function<void(const Outcome&)> m_completed;
};
