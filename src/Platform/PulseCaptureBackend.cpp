#include "Platform/PulseCaptureBackend.h"

#include "Audio/AudioInputStream.h"

#include <QLoggingCategory>

#include <pulse/pulseaudio.h>

namespace {

Q_LOGGING_CATEGORY(lcCapture, "app.parlivox.audio.input")
Q_LOGGING_CATEGORY(lcDevices, "app.parlivox.audio.devices")

}  // namespace

PulseCaptureBackend::~PulseCaptureBackend()
{
    stop();
}

std::optional<AudioDeviceError> PulseCaptureBackend::selectDevice(const QString& deviceId)
{
    m_source.reset();
    if (!m_connection) {
        auto connection = std::make_unique<PulseConnection>("audio.capture");
        if (const std::optional<QString> refusal = connection->connect()) {
            qCWarning(lcCapture, "no sound server: %s", qPrintable(*refusal));
            return AudioDeviceError{AudioDeviceError::Kind::noAudioUnit, 0};
        }
        m_connection = std::move(connection);
    }
    const auto refused = [](const QString& reason, int status) {
        qCWarning(lcCapture, "%s", qPrintable(reason));
        return AudioDeviceError{AudioDeviceError::Kind::setDeviceFailed, status};
    };
    QString name = deviceId;
    if (name.isEmpty()) {
        const std::optional<PulseConnection::Defaults> defaults = m_connection->defaults();
        if (!defaults)
            return refused(m_connection->lastError(), m_connection->lastErrorCode());
        if (defaults->source.isEmpty())
            return refused(QStringLiteral("the sound server has no default source"), PA_ERR_NOENTITY);
        name = defaults->source;
    }
    std::optional<PulseConnection::Source> source = m_connection->source(name);
    if (!source)
        return refused(QStringLiteral("no source '%1'").arg(name), PA_ERR_NOENTITY);
    // An output's monitor would have the assistant hear itself: only ever by the user's choice.
    if (deviceId.isEmpty() && source->monitor)
        return refused(QStringLiteral("the default source '%1' is the monitor of an output").arg(name),
                       PA_ERR_NOENTITY);
    qCInfo(lcDevices, "input device set to %s (%s)", qPrintable(source->description), qPrintable(source->name));
    m_source = std::move(source);
    return std::nullopt;
}

QString PulseCaptureBackend::deviceName() const
{
    return m_source ? m_source->description : QString();
}

AudioFormat PulseCaptureBackend::deviceFormat() const
{
    return m_source ? m_source->format : AudioFormat();
}

std::optional<QString> PulseCaptureBackend::start(const AudioFormat& format, FramesHandler frames, LostHandler lost)
{
    if (!m_connection || !m_source)
        return QStringLiteral("no source selected");
    const PulseConnection::Lock lock(*m_connection);
    disconnectStream();
    m_frames = std::move(frames);
    m_lost = std::move(lost);
    m_frameBytes = sizeof(float) * std::size_t(format.channels);
    const std::optional<QString> failure = connectStream(format);
    if (failure)
        disconnectStream();
    return failure;
}

std::optional<QString> PulseCaptureBackend::connectStream(const AudioFormat& format)
{
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, uint32_t(format.sampleRate), uint8_t(format.channels)};
    m_stream = pa_stream_new(m_connection->context(), "microphone", &spec, nullptr);
    if (!m_stream)
        return m_connection->lastError();
    pa_stream_set_state_callback(m_stream, handleStreamState, this);
    pa_stream_set_read_callback(m_stream, readCaptured, this);
    // One fragment per buffer the stream cuts: the server wakes us once per buffer, and a
    // real microphone's source runs no faster than its clients ask.
    pa_buffer_attr attributes;
    attributes.maxlength = uint32_t(-1);
    attributes.tlength = uint32_t(-1);
    attributes.prebuf = uint32_t(-1);
    attributes.minreq = uint32_t(-1);
    attributes.fragsize = uint32_t(AudioInputStream::kFramesPerBuffer * std::int64_t(m_frameBytes));
    if (pa_stream_connect_record(m_stream, m_source->name.toUtf8().constData(), &attributes,
                                 pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE)) < 0)
        return m_connection->lastError();
    for (pa_stream_state_t state; (state = pa_stream_get_state(m_stream)) != PA_STREAM_READY;) {
        if (!PA_STREAM_IS_GOOD(state))
            return m_connection->lastError();
        pa_threaded_mainloop_wait(m_connection->loop());
    }
    m_streaming = true;
    return std::nullopt;
}

void PulseCaptureBackend::disconnectStream()
{
    m_streaming = false;
    if (!m_stream)
        return;
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseCaptureBackend::stop()
{
    if (m_connection) {
        const PulseConnection::Lock lock(*m_connection);
        disconnectStream();
    }
    m_connection.reset();  // joins the loop's thread: no handler is running
    m_source.reset();
    m_frames = nullptr;
    m_lost = nullptr;
}

void PulseCaptureBackend::handleStreamState(pa_stream* stream, void* self)
{
    auto* backend = static_cast<PulseCaptureBackend*>(self);
    if (backend->m_streaming && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        backend->m_streaming = false;
        qCWarning(lcCapture, "capture of '%s' ended: %s", qPrintable(backend->m_source->name),
                  qPrintable(backend->m_connection->lastError()));
        if (backend->m_lost)
            backend->m_lost();
    }
    backend->m_connection->signal();
}

void PulseCaptureBackend::readCaptured(pa_stream* stream, std::size_t, void* self)
{
    auto* backend = static_cast<PulseCaptureBackend*>(self);
    const void* data = nullptr;
    std::size_t bytes = 0;
    // The client's queue holds whole frames, so every piece is frame-aligned.
    while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        if (data)  // null marks a hole the server left, which is skipped
            backend->m_frames(static_cast<const float*>(data), std::int64_t(bytes / backend->m_frameBytes));
        pa_stream_drop(stream);
    }
}
