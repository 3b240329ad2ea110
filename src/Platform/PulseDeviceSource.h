#pragma once

#include "Audio/AudioDeviceSource.h"
#include "Platform/PulseConnection.h"
#include "Support/SerialWorker.h"

#include <QTimer>

#include <atomic>
#include <chrono>
#include <mutex>

// The machine's audio devices as the PulseAudio server reports them, kept current: every
// event of the server about its sources, sinks or defaults has the list read again on a
// worker of its own, and each real change is announced with devicesChanged() on the owner's
// thread. The server is reached and the first list read on that worker too, announced like
// any change. Without a server there are no devices; one that is not there yet, or goes away
// (a restart, a suspend), is looked for again, soon at first and then every few seconds,
// until it answers.
class PulseDeviceSource final : public AudioDeviceSource {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kFirstRetry{250};
    static constexpr std::chrono::milliseconds kLongestRetry{4000};

    explicit PulseDeviceSource(QObject* parent = nullptr);
    ~PulseDeviceSource() override;

    QList<Device> inputs() const override;
    std::optional<Device> defaultInput() const override;
    std::optional<QString> defaultOutputName() const override;

private:
    struct Snapshot {
        QList<Device> inputs;
        std::optional<Device> defaultInput;
        std::optional<QString> defaultOutputName;
        bool operator==(const Snapshot&) const = default;
    };

    // On the worker.
    void connectAndRead();
    Snapshot read() const;
    void refresh();
    void retryLater();

    mutable std::mutex m_mutex;
    Snapshot m_snapshot;
    std::atomic<bool> m_refreshQueued{false};
    // The worker's own, like the connection.
    bool m_closing = false;
    bool m_retrying = false;
    std::chrono::milliseconds m_nextRetry = kFirstRetry;
    QTimer m_retry;  // the owner's thread
    PulseConnection m_connection{"audio.devices"};
    // Last, so it is drained while the connection it reads still exists.
    SerialWorker m_worker{QStringLiteral("app.parlivox.audio.devices")};
};
