#include "Platform/PulseDeviceSource.h"

#include <QLoggingCategory>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcDevices, "app.parlivox.audio.devices")

}  // namespace

PulseDeviceSource::PulseDeviceSource(QObject* parent) : AudioDeviceSource(parent)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] { m_worker.post([this] { connectAndRead(); }); });
    // Connected and read on the worker: the window does not wait for the sound server.
    m_worker.post([this] { connectAndRead(); });
}

PulseDeviceSource::~PulseDeviceSource()
{
    // Behind any connecting job, which may still install the watch; none connects after it.
    m_worker.runAndWait([this] {
        m_closing = true;
        m_connection.watch(nullptr);
    });
}

QList<AudioDeviceSource::Device> PulseDeviceSource::inputs() const
{
    const std::lock_guard lock(m_mutex);
    return m_snapshot.inputs;
}

std::optional<AudioDeviceSource::Device> PulseDeviceSource::defaultInput() const
{
    const std::lock_guard lock(m_mutex);
    return m_snapshot.defaultInput;
}

std::optional<QString> PulseDeviceSource::defaultOutputName() const
{
    const std::lock_guard lock(m_mutex);
    return m_snapshot.defaultOutputName;
}

void PulseDeviceSource::connectAndRead()
{
    m_retrying = false;
    if (m_closing || m_connection.isConnected())
        return;
    if (const std::optional<QString> refusal = m_connection.connect()) {
        // Said once per absence, not at every look.
        if (m_nextRetry == kFirstRetry)
            qCWarning(lcDevices, "no sound server: %s", qPrintable(*refusal));
        retryLater();
        return;
    }
    qCInfo(lcDevices, "sound server reached");
    m_nextRetry = kFirstRetry;
    // Watched first, so no change between the first reading and the watch is missed; read
    // on the worker, behind any reading an event has already queued.
    m_connection.watch([this] {
        if (!m_refreshQueued.exchange(true))
            m_worker.post([this] {
                m_refreshQueued = false;
                refresh();
            });
    });
    refresh();
}

PulseDeviceSource::Snapshot PulseDeviceSource::read() const
{
    Snapshot snapshot;
    const std::optional<PulseConnection::Defaults> defaults = m_connection.defaults();
    const std::optional<QList<PulseConnection::Source>> sources = m_connection.sources();
    if (!defaults || !sources)
        return snapshot;
    for (const PulseConnection::Source& source : *sources) {
        const Device device{source.name, source.description, source.monitor};
        snapshot.inputs.append(device);
        if (source.name == defaults->source)
            snapshot.defaultInput = device;
    }
    if (!defaults->sink.isEmpty())
        snapshot.defaultOutputName = m_connection.sinkDescription(defaults->sink);
    return snapshot;
}

void PulseDeviceSource::refresh()
{
    if (m_closing)
        return;
    Snapshot snapshot = read();
    if (!m_connection.isConnected()) {
        // The server went away: its devices with it, until it answers again.
        if (!m_retrying)
            qCWarning(lcDevices, "sound server gone");
        snapshot = {};
        retryLater();
    }
    {
        const std::lock_guard lock(m_mutex);
        if (snapshot == m_snapshot)
            return;
        m_snapshot = std::move(snapshot);
    }
    QMetaObject::invokeMethod(
        this, [this] { emit devicesChanged(); }, Qt::QueuedConnection);
}

void PulseDeviceSource::retryLater()
{
    if (m_retrying)
        return;
    m_retrying = true;
    const std::chrono::milliseconds delay = m_nextRetry;
    m_nextRetry = std::min(m_nextRetry * 2, kLongestRetry);
    QMetaObject::invokeMethod(
        this, [this, delay] { m_retry.start(delay); }, Qt::QueuedConnection);
}
