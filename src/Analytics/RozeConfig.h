#pragma once

#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

// What the analytics client is started with: the project it reports to and how it queues
// and uploads. Every option but the token and the host has a default.
struct RozeConfig {
    RozeConfig(QString projectToken, QString host);

    QString projectToken;
    QString host;  // base address of the ingestion service, e.g. "https://ingest.example"

    // This client captures neither application lifecycle events nor screen views; the
    // switches exist so a caller can state that it wants none whatever the client can do.
    bool captureApplicationLifecycleEvents = true;
    bool captureScreenViews = true;

    int flushAt = 20;  // queued records that start an upload at once
    std::chrono::milliseconds flushInterval{30'000};
    int maxQueueSize = 1000;  // the oldest records are dropped beyond this
    int maxBatchSize = 100;  // records per request
    std::chrono::milliseconds requestTimeout{15'000};
    std::chrono::milliseconds minRetryDelay{1'000};
    std::chrono::milliseconds maxRetryDelay{300'000};
    QString storageDirectory = defaultStorageDirectory();  // one file per queued record

    // "<application data>/roze/logs"
    static QString defaultStorageDirectory();

    // Where log batches are posted, or nothing with the reason when the host is unusable.
    // The token travels with every request, so only HTTPS is accepted, except to this
    // machine's loopback address.
    std::optional<QUrl> logsEndpoint(QString* error = nullptr) const;
};
