#include "Platform/PulseAudioOutput.h"

#include <QLoggingCategory>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcAudioOutput, "app.parlivox.audio.output")

// Short enough that the first block sounds at once and a stop is heard at once, long enough
// for the loop's thread to refill it in time on a loaded machine.
constexpr pa_usec_t kTargetLength = 50 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kPrebuffer = 10 * PA_USEC_PER_MSEC;
// How long a played-out stream waits for the next sentence; the sink's own buffer also plays
// out after the drain, which closing at once could cut short.
constexpr std::chrono::milliseconds kCloseAfter{1000};

}  // namespace

PulseAudioOutput::PulseAudioOutput(QString sink, QObject* parent) : QObject(parent), m_sink(std::move(sink))
{
    m_closeWhenIdle.setSingleShot(true);
    m_closeWhenIdle.setInterval(kCloseAfter);
    connect(&m_closeWhenIdle, &QTimer::timeout, this, &PulseAudioOutput::stop);
}

PulseAudioOutput::~PulseAudioOutput()
{
    stop();
}

void PulseAudioOutput::play(AudioBufferPtr audio)
{
    const quint64 playback = ++m_playback;
    m_closeWhenIdle.stop();
    if (const std::optional<QString> refusal = connectToServer()) {
        fail(playback, QStringLiteral("no sound server: %1").arg(*refusal));
        return;
    }
    const double rate = audio->format().sampleRate;
    const PulseConnection::Lock lock(*m_connection);
    if (!canReuseStream(rate))
        closeStream();
    m_queue = {};
    m_queue.append(std::move(audio));
    m_streamPlayback = playback;
    if (m_stream) {
        feed();
    } else if (const std::optional<QString> failure = openStream(rate)) {
        failStream(*failure);
        closeStream();
    }
    if (m_streamPlayback == playback)
        report(playback, [this] {
            if (onStarted)
                onStarted();
        });
}

void PulseAudioOutput::append(AudioBufferPtr audio)
{
    if (!m_connection)
        return;
    const PulseConnection::Lock lock(*m_connection);
    if (m_streamPlayback == 0)
        return;  // this playback has already ended
    m_queue.append(std::move(audio));
    feed();
}

void PulseAudioOutput::endStream()
{
    if (!m_connection)
        return;
    const PulseConnection::Lock lock(*m_connection);
    if (m_streamPlayback == 0)
        return;
    m_queue.endStream();
    feed();
}

void PulseAudioOutput::stop()
{
    ++m_playback;
    m_closeWhenIdle.stop();
    if (!m_connection)
        return;
    const PulseConnection::Lock lock(*m_connection);
    closeStream();
}

std::optional<QString> PulseAudioOutput::connectToServer()
{
    if (m_connection) {
        const PulseConnection::Lock lock(*m_connection);
        if (pa_context_get_state(m_connection->context()) == PA_CONTEXT_READY)
            return std::nullopt;
        closeStream();
    }
    m_connection.reset();  // a server that went away: joins its loop before a new one starts
    auto connection = std::make_unique<PulseConnection>("audio.output");
    if (std::optional<QString> refusal = connection->connect())
        return refusal;
    m_connection = std::move(connection);
    return std::nullopt;
}

bool PulseAudioOutput::canReuseStream(double rate) const
{
    return m_stream && m_rate == rate && m_streamPlayback == 0 && !m_drain &&
           pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

std::optional<QString> PulseAudioOutput::openStream(double rate)
{
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, uint32_t(rate), 1};
    m_stream = pa_stream_new(m_connection->context(), "speech", &spec, nullptr);
    if (!m_stream)
        return m_connection->lastError();
    m_rate = rate;
    pa_stream_set_state_callback(m_stream, handleState, this);
    pa_stream_set_write_callback(m_stream, handleWritable, this);
    pa_buffer_attr attributes;
    attributes.maxlength = uint32_t(-1);
    attributes.tlength = uint32_t(pa_usec_to_bytes(kTargetLength, &spec));
    attributes.prebuf = uint32_t(pa_usec_to_bytes(kPrebuffer, &spec));
    attributes.minreq = uint32_t(-1);
    attributes.fragsize = uint32_t(-1);
    const QByteArray sink = m_sink.toUtf8();
    if (pa_stream_connect_playback(m_stream, m_sink.isEmpty() ? nullptr : sink.constData(), &attributes,
                                   PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) == 0) {
        // The first write request comes with the ready state, on the loop's thread.
        for (pa_stream_state_t state; (state = pa_stream_get_state(m_stream)) != PA_STREAM_READY;) {
            if (!PA_STREAM_IS_GOOD(state))
                break;
            pa_threaded_mainloop_wait(m_connection->loop());
        }
        if (pa_stream_get_state(m_stream) == PA_STREAM_READY) {
            m_ready = true;
            return std::nullopt;
        }
    }
    if (pa_context_errno(m_connection->context()) == PA_ERR_NOENTITY)
        return m_sink.isEmpty() ? QStringLiteral("no audio output device")
                                : QStringLiteral("no audio output device '%1'").arg(m_sink);
    return QStringLiteral("the audio output stream could not start: %1").arg(m_connection->lastError());
}

void PulseAudioOutput::closeStream()
{
    if (m_drain) {
        pa_operation_cancel(m_drain);
        pa_operation_unref(std::exchange(m_drain, nullptr));
    }
    m_streamPlayback = 0;
    m_queue = {};
    m_ready = false;
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    // The server drops what it still holds of a stream that disconnects.
    if (pa_stream_get_state(m_stream) == PA_STREAM_READY)
        pa_stream_disconnect(m_stream);
    pa_stream_unref(std::exchange(m_stream, nullptr));
}

void PulseAudioOutput::feed()
{
    if (pa_stream_get_state(m_stream) != PA_STREAM_READY)
        return;
    // Running dry before the next block comes is an underrun the server fills with silence.
    while (m_queue.bytesAvailable() > 0) {
        const std::size_t writable = pa_stream_writable_size(m_stream);
        if (writable == 0 || writable == std::size_t(-1))
            break;
        void* data = nullptr;
        std::size_t bytes = std::min(writable, m_queue.bytesAvailable());
        if (pa_stream_begin_write(m_stream, &data, &bytes) < 0 ||
            pa_stream_write(m_stream, data, m_queue.read(data, bytes), nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            failStream(QStringLiteral("writing to the sound server failed: %1").arg(m_connection->lastError()));
            return;
        }
    }
    if (m_queue.atEnd() && m_streamPlayback != 0 && !m_drain) {
        m_drain = pa_stream_drain(m_stream, handleDrained, this);
        if (!m_drain)
            failStream(QStringLiteral("the audio output stream could not drain: %1").arg(m_connection->lastError()));
    }
}

void PulseAudioOutput::failStream(const QString& reason)
{
    if (const quint64 playback = std::exchange(m_streamPlayback, 0))
        fail(playback, reason);
}

void PulseAudioOutput::handleState(pa_stream* stream, void* self)
{
    auto* output = static_cast<PulseAudioOutput*>(self);
    // Before it was ready, openStream() gives the reason.
    if (output->m_ready && !PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        output->m_ready = false;
        output->failStream(
            QStringLiteral("the audio output stream failed: %1").arg(output->m_connection->lastError()));
    }
    output->m_connection->signal();
}

void PulseAudioOutput::handleWritable(pa_stream*, std::size_t, void* self)
{
    static_cast<PulseAudioOutput*>(self)->feed();
}

void PulseAudioOutput::handleDrained(pa_stream*, int success, void* self)
{
    auto* output = static_cast<PulseAudioOutput*>(self);
    pa_operation_unref(std::exchange(output->m_drain, nullptr));
    if (!success) {
        output->failStream(
            QStringLiteral("the audio output stream could not drain: %1").arg(output->m_connection->lastError()));
        return;
    }
    // The stream stays open a little for the next sentence, then closes.
    output->report(std::exchange(output->m_streamPlayback, 0), [output] {
        output->m_closeWhenIdle.start();
        if (output->onFinished)
            output->onFinished();
    });
}

void PulseAudioOutput::report(quint64 playback, std::function<void()> action)
{
    QMetaObject::invokeMethod(
        this,
        [this, playback, action = std::move(action)] {
            if (playback == m_playback)
                action();
        },
        Qt::QueuedConnection);
}

void PulseAudioOutput::fail(quint64 playback, const QString& reason)
{
    qCWarning(lcAudioOutput, "playback failed: %s", qPrintable(reason));
    report(playback, [this, reason] {
        if (onFailed)
            onFailed(reason);
    });
}
