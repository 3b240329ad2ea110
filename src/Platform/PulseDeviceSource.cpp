#include "Platform/PulseDeviceSource.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcDevices, "app.parlivox.audio.devices")

}  // namespace

PulseDeviceSource::PulseDeviceSource(QObject* parent) : AudioDeviceSource(parent)
{
    // Connected and read on the worker: the window does not wait for the sound server.
    m_worker.post([this] {
        if (const std::optional<QString> refusal = m_connection.connect()) {
            qCWarning(lcDevices, "no sound server: %s", qPrintable(*refusal));
            return;
        }
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
    });
}

PulseDeviceSource::~PulseDeviceSource()
{
    // Behind the connecting job, which may still install the watch.
    m_worker.runAndWait([this] { m_connection.watch(nullptr); });
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
    Snapshot snapshot = read();
    {
        const std::lock_guard lock(m_mutex);
        if (snapshot == m_snapshot)
            return;
        m_snapshot = std::move(snapshot);
    }
    QMetaObject::invokeMethod(
        this, [this] { emit devicesChanged(); }, Qt::QueuedConnection);
}
