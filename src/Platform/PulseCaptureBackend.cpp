#include "Platform/PulseCaptureBackend.h"

#include "Audio/AudioInputStream.h"
#include "Platform/QtAudioDeviceSource.h"

#include <QLoggingCategory>

#include <pulse/pulseaudio.h>

namespace {

Q_LOGGING_CATEGORY(lcCapture, "app.parlivox.audio.input")

// The status for a device id that is no longer listed.
constexpr int kDeviceNotFound = -1;

}  // namespace

PulseCaptureBackend::~PulseCaptureBackend()
{
    stop();
}

bool PulseCaptureBackend::hasInputDevice() const
{
    return !QtAudioDeviceSource::inputDevices().isEmpty();
}

std::optional<int> PulseCaptureBackend::selectDevice(const QString& deviceId)
{
    if (deviceId.isEmpty()) {
        m_device = QtAudioDeviceSource::defaultInputDevice();
        return std::nullopt;
    }
    for (const QAudioDevice& device : QtAudioDeviceSource::inputDevices()) {
        if (QString::fromUtf8(device.id()) == deviceId) {
            m_device = device;
            return std::nullopt;
        }
    }
    return kDeviceNotFound;
}

AudioFormat PulseCaptureBackend::deviceFormat() const
{
    if (m_device.isNull())
        return {};
    const QAudioFormat preferred = m_device.preferredFormat();
    return {double(preferred.sampleRate()), preferred.channelCount()};
}

std::optional<QString> PulseCaptureBackend::start(const AudioFormat& format, FramesHandler handler)
{
    stop();
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
        stop();
        return QStringLiteral("the sound server's event loop could not start");
    }
    pa_threaded_mainloop_set_name(m_loop, "audio.capture");
    m_handler = std::move(handler);
    m_frameBytes = sizeof(float) * std::size_t(format.channels);
    pa_threaded_mainloop_lock(m_loop);
    const std::optional<QString> failure = connectStream(format);
    pa_threaded_mainloop_unlock(m_loop);
    if (failure)
        stop();
    return failure;
}

std::optional<QString> PulseCaptureBackend::connectStream(const AudioFormat& format)
{
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Parlivox");
    pa_context_set_state_callback(
        m_context, [](pa_context*, void* loop) { signalLoop(static_cast<pa_threaded_mainloop*>(loop)); }, m_loop);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return serverError();
    for (pa_context_state_t state; (state = pa_context_get_state(m_context)) != PA_CONTEXT_READY;) {
        if (!PA_CONTEXT_IS_GOOD(state))
            return serverError();
        pa_threaded_mainloop_wait(m_loop);
    }

    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, uint32_t(format.sampleRate), uint8_t(format.channels)};
    m_stream = pa_stream_new(m_context, "microphone", &spec, nullptr);
    if (!m_stream)
        return serverError();
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
    const QByteArray source = m_device.id();
    if (pa_stream_connect_record(m_stream, source.isEmpty() ? nullptr : source.constData(), &attributes,
                                 PA_STREAM_ADJUST_LATENCY) < 0)
        return serverError();
    for (pa_stream_state_t state; (state = pa_stream_get_state(m_stream)) != PA_STREAM_READY;) {
        if (!PA_STREAM_IS_GOOD(state))
            return serverError();
        pa_threaded_mainloop_wait(m_loop);
    }
    m_streaming = true;
    return std::nullopt;
}

void PulseCaptureBackend::stop()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    m_streaming = false;
    if (m_stream) {
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);  // joins the loop's thread: the handler is not running
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
    m_handler = nullptr;
}

QString PulseCaptureBackend::serverError() const
{
    return QString::fromUtf8(pa_strerror(m_context ? pa_context_errno(m_context) : PA_ERR_INTERNAL));
}

void PulseCaptureBackend::signalLoop(pa_threaded_mainloop* loop)
{
    pa_threaded_mainloop_signal(loop, 0);
}

void PulseCaptureBackend::handleStreamState(pa_stream* stream, void* self)
{
    auto* backend = static_cast<PulseCaptureBackend*>(self);
    if (backend->m_streaming && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        backend->m_streaming = false;
        qCWarning(lcCapture, "capture stopped: %s", qPrintable(backend->serverError()));
    }
    signalLoop(backend->m_loop);
}

void PulseCaptureBackend::readCaptured(pa_stream* stream, std::size_t, void* self)
{
    auto* backend = static_cast<PulseCaptureBackend*>(self);
    const void* data = nullptr;
    std::size_t bytes = 0;
    // The client's queue holds whole frames, so every piece is frame-aligned.
    while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        if (data)  // null marks a hole the server left, which is skipped
            backend->m_handler(static_cast<const float*>(data), std::int64_t(bytes / backend->m_frameBytes));
        pa_stream_drop(stream);
    }
}
