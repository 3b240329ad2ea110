#pragma once

#include "Analytics/RozeSeverity.h"
#include "Diagnostics/PipelineLog.h"

#include <QObject>
#include <QString>

class RozeClient;

// Switches the analytics client on and off with the telemetry setting and forwards chosen
// pipeline-log entries to its logger, reduced so that nothing the user said leaves the
// machine: free text goes out as its length only. GUI thread only.
class RozeTelemetry final : public QObject {
    Q_OBJECT
public:
    static const QString kIngestionHost;
    static const QString kProjectToken;

    // Drives `client` (which must outlive this bridge), reporting to `host`.
    explicit RozeTelemetry(RozeClient& client, QString host = kIngestionHost, QObject* parent = nullptr);

    // Sets the client up when enabled and not yet active, closes it when disabled and
    // active; otherwise does nothing. `serviceName` only appears in the log line.
    void setup(bool enabled, const QString& serviceName);
    // Sends one entry when active and its category is one of the forwardable ones.
    void forward(const PipelineLog::Entry& entry);

    // True exactly while this bridge has set the client up and not closed it.
    bool isActive() const { return m_isActive; }

private:
    static QString sanitize(const QString& category, const QString& message);
    static RozeSeverity level(const QString& category, const QString& message);

    RozeClient& m_client;
    const QString m_host;
    bool m_isActive = false;
};
