#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// A minimal HTTP/1.1 server on 127.0.0.1 (a free port) for testing network clients. It runs
// on the event loop of the thread that made it, records every request and answers each with
// the reply the test's handler returns.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray path;  // with the query
        QMap<QByteArray, QByteArray> headers;  // names in lower case
        QByteArray body;
        // The body with a gzip Content-Encoding undone (empty when it does not inflate).
        QByteArray decodedBody() const;
    };
    struct Reply {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
        QList<std::pair<QByteArray, QByteArray>> headers;
        bool neverAnswer = false;  // keep the connection open and silent (client time-outs)
    };
    using Handler = std::function<Reply(const Request&)>;

    // A 200 reply that says it is gzip-encoded and inflates to `inflatedBytes` spaces: a few
    // KiB on the wire per MiB inflated, whatever the request asked for.
    static Reply gzipBomb(qint64 inflatedBytes);

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    quint16 port() const;
    QUrl url(const QString& path = QString()) const;  // "http://127.0.0.1:<port><path>"
    const QList<Request>& requests() const { return m_requests; }

    // Waits (running the event loop) until `count` requests have arrived.
    bool waitForRequests(int count, int timeoutMs = 5000);

    // A port on which nothing listens (for "connection refused").
    static quint16 unusedPort();

private:
    void readFrom(QTcpSocket* socket);

    QTcpServer* m_server;
    Handler m_handler;
    QList<Request> m_requests;
    QMap<QTcpSocket*, QByteArray> m_pending;
};
