#include "Analytics/RozeLogUploader.h"

#include "Analytics/Gzip.h"
#include "Analytics/RozeOtlp.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>

Q_LOGGING_CATEGORY(lcUpload, "app.parlivox.analytics")

namespace {

enum class Outcome { delivered, refused, failed };

Outcome outcomeOf(QNetworkReply* reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 200 && status < 300)
        return Outcome::delivered;
    // The service will never take these records: keeping them would block the queue.
    if (status >= 400 && status < 500 && status != 408 && status != 429)
        return Outcome::refused;
    return Outcome::failed;  // no answer, time-out, overload, server error
}

}  // namespace

RozeLogUploader::RozeLogUploader(const RozeConfig& config, QUrl endpoint, Scheduler& scheduler, QObject* parent)
    : QObject(parent), m_config(config), m_endpoint(std::move(endpoint)),
      m_resource(RozeOtlp::resource(QCoreApplication::applicationName(), QCoreApplication::applicationVersion())),
      m_scheduler(scheduler), m_tickTimer(scheduler), m_retryTimer(scheduler), m_timeoutTimer(scheduler),
      m_network(new QNetworkAccessManager(this)), m_queue(config.storageDirectory, config.maxQueueSize),
      m_worker(QStringLiteral("app.parlivox.analytics"))
{
    flush();
    m_tickTimer.start(m_config.flushInterval, [this] { onTick(); });
}

RozeLogUploader::~RozeLogUploader()
{
    m_tickTimer.cancel();
    m_retryTimer.cancel();
    m_timeoutTimer.cancel();
    if (m_reply) {
        // Aborting emits finished at once; nothing may react to it any more.
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
        m_reply = nullptr;
    }
}

std::chrono::milliseconds RozeLogUploader::retryDelay(const RozeConfig& config, int failures)
{
    auto delay = config.minRetryDelay;
    for (int i = 1; i < failures && delay < config.maxRetryDelay; ++i)
        delay *= 2;
    return std::min(delay, config.maxRetryDelay);
}

void RozeLogUploader::add(const RozeLogRecord& record)
{
    m_worker.post([this, json = RozeOtlp::logRecord(record)] {
        QString error;
        const auto droppedBefore = m_queue.dropped();
        if (!m_queue.enqueue(json, &error))
            qCWarning(lcUpload, "log record lost: %s", qPrintable(error));
        if (m_queue.dropped() != droppedBefore)
            qCWarning(lcUpload, "log queue full: dropped its oldest record");
    });
    if (++m_sinceFlush >= m_config.flushAt)
        flush();
}

void RozeLogUploader::onTick()
{
    flush();
    m_tickTimer.start(m_config.flushInterval, [this] { onTick(); });
}

void RozeLogUploader::flush()
{
    if (m_busy) {
        m_flushWanted = true;  // records may have come in after this batch was read
        return;
    }
    if (m_retryTimer.isPending())
        return;
    m_busy = true;
    m_flushWanted = false;
    m_sinceFlush = 0;
    m_worker.post([this] {
        const QList<RozeLogQueue::Item> items = m_queue.oldest(m_config.maxBatchSize);
        Batch batch;
        QList<QJsonObject> records;
        for (const auto& item : items) {
            batch.names.append(item.name);
            records.append(item.record);
        }
        batch.remaining = m_queue.size() - static_cast<int>(items.size());
        QString error;
        if (!items.isEmpty()) {
            if (auto body = Gzip::compress(RozeOtlp::logsRequest(m_resource, records), &error))
                batch.body = std::move(*body);
            else
                qCWarning(lcUpload, "log batch not compressed: %s", qPrintable(error));
        }
        QMetaObject::invokeMethod(
            this, [this, batch] { send(batch); }, Qt::QueuedConnection);
    });
}

void RozeLogUploader::send(const Batch& batch)
{
    if (batch.names.isEmpty()) {
        finishBatch(false);
        return;
    }
    if (batch.body.isEmpty()) {
        retryLater();
        return;
    }
    QNetworkRequest request(m_endpoint);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setRawHeader("Content-Encoding", "gzip");
    request.setRawHeader("Authorization", "Bearer " + m_config.projectToken.toUtf8());
    m_reply = m_network->post(request, batch.body);
    connect(m_reply, &QNetworkReply::finished, this, [this, batch] { onReplyFinished(batch); });
    m_timeoutTimer.start(m_config.requestTimeout, [this] {
        qCWarning(lcUpload, "log upload timed out");
        m_reply->abort();
    });
}

void RozeLogUploader::onReplyFinished(const Batch& batch)
{
    m_timeoutTimer.cancel();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();

    const Outcome outcome = outcomeOf(reply);
    if (outcome == Outcome::failed) {
        qCInfo(lcUpload, "log upload failed, kept for a retry: %s", qPrintable(reply->errorString()));
        retryLater();
        return;
    }
    if (outcome == Outcome::refused)
        qCWarning(lcUpload, "log batch of %lld records refused (HTTP %d), dropped",
                  static_cast<long long>(batch.names.size()),
                  reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    m_failures = 0;
    discard(batch.names);
    finishBatch(batch.remaining > 0);
}

void RozeLogUploader::finishBatch(bool moreQueued)
{
    m_busy = false;
    if (moreQueued || m_flushWanted)
        flush();
}

void RozeLogUploader::retryLater()
{
    m_busy = false;
    ++m_failures;
    // Half fixed, half random, so many clients do not come back at the same moment.
    const auto half = retryDelay(m_config, m_failures) / 2;
    const auto jitter = QRandomGenerator::global()->bounded(static_cast<qint64>(half.count()) + 1);
    m_retryTimer.start(half + std::chrono::milliseconds(jitter), [this] { flush(); });
}

void RozeLogUploader::discard(const QStringList& names)
{
    m_worker.post([this, names] { m_queue.remove(names); });
}
