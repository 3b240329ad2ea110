#pragma once

#include "Analytics/RozeConfig.h"
#include "Analytics/RozeLogQueue.h"
#include "Analytics/RozeLogRecord.h"
#include "Support/Scheduler.h"
#include "Support/SerialWorker.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Queues log records on disk and uploads them in batches. Files are written and batches
// read and compressed on a worker thread; requests and timers run on the owner's thread.
// An upload starts when `flushAt` records have come in, at each flush interval and at start
// (for what an earlier run left). A delivered or refused batch is deleted; a failed one is
// kept and retried after a growing pause. Destroying the uploader abandons the request in
// flight and keeps every queued record for the next start.
class RozeLogUploader : public QObject {
    Q_OBJECT
public:
    RozeLogUploader(const RozeConfig& config, QUrl endpoint, Scheduler& scheduler, QObject* parent = nullptr);
    ~RozeLogUploader() override;

    void add(const RozeLogRecord& record);
    // Starts an upload now unless one is running or a retry is waiting.
    void flush();

    // The pause before the next retry after `failures` failed uploads in a row, before jitter.
    static std::chrono::milliseconds retryDelay(const RozeConfig& config, int failures);

private:
    struct Batch {
        QStringList names;
        QByteArray body;  // gzip-compressed request
        int remaining = 0;  // records queued besides this batch
    };

    void onTick();
    void send(const Batch& batch);
    void onReplyFinished(const Batch& batch);
    void finishBatch(bool moreQueued);
    void retryLater();
    void discard(const QStringList& names);

    const RozeConfig m_config;
    const QUrl m_endpoint;
    const QJsonObject m_resource;
    Scheduler& m_scheduler;
    SingleShot m_tickTimer;
    SingleShot m_retryTimer;
    SingleShot m_timeoutTimer;
    QNetworkAccessManager* m_network;
    QNetworkReply* m_reply = nullptr;
    bool m_busy = false;  // a batch is being read or sent
    bool m_flushWanted = false;
    int m_failures = 0;
    int m_sinceFlush = 0;

    RozeLogQueue m_queue;  // worker thread only
    SerialWorker m_worker;  // declared last: its destructor finishes the jobs that use m_queue
};
