#include "Audio/AudioInputStream.h"

#include "Audio/AudioChunker.h"
#include "Audio/AudioDeviceManager.h"
#include "Platform/QtCaptureBackend.h"
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
    : QObject(parent), m_backend(backend ? std::move(backend) : std::make_unique<QtCaptureBackend>())
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
    if (!m_backend->hasInputDevice()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                finishStart(AudioInputError{AudioInputError::Kind::noInputDevice, {}, {}}, {});
            },
            Qt::QueuedConnection);
        return;
    }
    const std::optional<AudioInputDevice> preferred =
        preferredDeviceUID.isEmpty() ? std::nullopt : AudioDeviceManager::device(preferredDeviceUID);
    m_setup.post([this, preferred, preferredDeviceUID] {
        m_backend->selectDevice(QString());
        if (preferred) {
            if (const auto error = AudioDeviceManager::applyDevice(*preferred, *m_backend)) {
                qCWarning(lcInput, "failed to apply mic '%s': %s. Falling back to system default.",
                          qPrintable(preferredDeviceUID), qPrintable(error->description()));
                m_backend->selectDevice(QString());
            } else {
                qCInfo(lcInput, "microphone set to user choice: %s", qPrintable(preferred->name));
            }
        }
        const AudioFormat format = m_backend->deviceFormat();
        std::optional<AudioInputError> error;
        if (!format.isValid()) {
            error = AudioInputError{AudioInputError::Kind::invalidFormat, format, {}};
        } else {
            m_chunker = std::make_unique<AudioChunker>(format, framesPerBuffer);
            m_delivering = !m_stopRequested;
            if (const auto failure = m_backend->start(
                    format, [this](const float* frames, std::int64_t count) { broadcast(frames, count); }))
                error = AudioInputError{AudioInputError::Kind::engineFailed, format, *failure};
        }
        QMetaObject::invokeMethod(
            this, [this, error, format] { finishStart(error, format); }, Qt::QueuedConnection);
    });
}

void AudioInputStream::finishStart(const std::optional<AudioInputError>& error, AudioFormat format)
{
    m_starting = false;
    if (!error && !m_stopRequested) {
        m_inputFormat = format;
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

void AudioInputStream::broadcast(const float* interleaved, std::int64_t frameCount)
{
    if (!m_delivering)
        return;
    for (const AudioBufferPtr& buffer : m_chunker->append(interleaved, frameCount, std::chrono::steady_clock::now()))
        m_subscribers.push(buffer);
}
