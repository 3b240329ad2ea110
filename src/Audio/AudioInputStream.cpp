#include "Audio/AudioInputStream.h"

#include "Audio/AudioChunker.h"
#include "Support/Text.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcInput, "app.parlivox.audio.input")

}  // namespace

QString AudioInputError::description() const
{
    switch (kind) {
    case Kind::invalidFormat:
        return QStringLiteral("Invalid input format (%1 Hz, %2 ch).")
            .arg(Text::shortestDecimal(format.sampleRate))
            .arg(format.channels);
    case Kind::engineFailed:
        return QStringLiteral("Audio engine failed to start: ") + detail;
    case Kind::noInputDevice:
        return QStringLiteral("No audio input device is available.");
    }
    return {};
}

AudioInputStream::AudioInputStream(std::unique_ptr<CaptureBackend> backend, QObject* parent)
    : QObject(parent), m_backend(std::move(backend))
{
}

AudioInputStream::~AudioInputStream()
{
    if (m_running || m_starting)
        m_setup.post([this] { m_backend->stop(); });
}

void AudioInputStream::start(const QString& preferredDeviceUID, StartCompletion done)
{
    if (m_running) {
        QMetaObject::invokeMethod(
            this, [done = std::move(done)] { done(std::nullopt); }, Qt::QueuedConnection);
        return;
    }
    m_pendingStarts.push_back(std::move(done));
    if (m_starting)
        return;
    m_starting = true;
    m_stopRequested = false;
    m_setup.post([this, preferredDeviceUID] {
        std::optional<AudioInputError> error = selectDevice(preferredDeviceUID);
        const AudioFormat format = m_backend->deviceFormat();
        const QString deviceName = m_backend->deviceName();
        if (!error && !format.isValid()) {
            error = AudioInputError{AudioInputError::Kind::invalidFormat, format, {}};
        } else if (!error) {
            m_chunker = std::make_unique<AudioChunker>(format, kFramesPerBuffer);
            m_delivering = !m_stopRequested;
            if (const auto failure = m_backend->start(
                    format, [this](const float* frames, std::int64_t count) { broadcast(frames, count); },
                    [this] { QMetaObject::invokeMethod(this, &AudioInputStream::deviceLost, Qt::QueuedConnection); }))
                error = AudioInputError{AudioInputError::Kind::engineFailed, format, *failure};
        }
        QMetaObject::invokeMethod(
            this, [this, error, format, deviceName] { finishStart(error, format, deviceName); }, Qt::QueuedConnection);
    });
}

std::optional<AudioInputError> AudioInputStream::selectDevice(const QString& preferredDeviceUID)
{
    if (!preferredDeviceUID.isEmpty()) {
        const std::optional<AudioDeviceError> refusal = m_backend->selectDevice(preferredDeviceUID);
        if (!refusal) {
            qCInfo(lcInput, "microphone set to user choice: %s", qPrintable(m_backend->deviceName()));
            return std::nullopt;
        }
        qCWarning(lcInput, "failed to apply mic '%s': %s. Falling back to system default.",
                  qPrintable(preferredDeviceUID), qPrintable(refusal->description()));
    }
    if (const std::optional<AudioDeviceError> refusal = m_backend->selectDevice(QString())) {
        qCWarning(lcInput, "no microphone: %s", qPrintable(refusal->description()));
        return AudioInputError{AudioInputError::Kind::noInputDevice, {}, {}};
    }
    return std::nullopt;
}

void AudioInputStream::finishStart(const std::optional<AudioInputError>& error, AudioFormat format,
                                   const QString& deviceName)
{
    m_starting = false;
    if (!error && !m_stopRequested) {
        m_inputFormat = format;
        m_deviceName = deviceName;
        m_running = true;
        qCInfo(lcInput, "AudioInputStream started (%f Hz, %u ch)", format.sampleRate, unsigned(format.channels));
    }
    for (const StartCompletion& done : std::exchange(m_pendingStarts, {}))
        done(error);
}

std::shared_ptr<AudioChannel> AudioInputStream::subscribe()
{
    return m_subscribers.subscribe();
}

void AudioInputStream::stop()
{
    if (!m_running && !m_starting)
        return;
    // A stop during set-up queues behind it and keeps the start from counting as running.
    m_stopRequested = m_starting;
    m_running = false;
    m_delivering = false;
    m_subscribers.closeAll();
    m_setup.post([this] {
        m_backend->stop();
        qCInfo(lcInput, "AudioInputStream stopped (capture stopped off the GUI thread)");
    });
}

void AudioInputStream::deviceLost()
{
    // A loss reported after a stop is that stop's own doing.
    if (!m_running)
        return;
    qCWarning(lcInput, "microphone disconnected: %s", qPrintable(m_deviceName));
    stop();
    if (onDeviceLost)
        onDeviceLost(m_deviceName);
}

void AudioInputStream::broadcast(const float* interleaved, std::int64_t frameCount)
{
    if (!m_delivering)
        return;
    for (const AudioBufferPtr& buffer : m_chunker->append(interleaved, frameCount, std::chrono::steady_clock::now()))
        m_subscribers.push(buffer);
}
