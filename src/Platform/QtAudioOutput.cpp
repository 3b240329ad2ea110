#include "Platform/QtAudioOutput.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QLoggingCategory>
#include <QMediaDevices>

Q_LOGGING_CATEGORY(lcAudioOutput, "app.parlivox.audio.output")

namespace {

QString describe(QAudio::Error error)
{
    switch (error) {
    case QAudio::OpenError:
        return QStringLiteral("the audio output device could not be opened");
    case QAudio::IOError:
        return QStringLiteral("writing to the audio output device failed");
    case QAudio::FatalError:
        return QStringLiteral("the audio output device stopped working");
    case QAudio::UnderrunError:
    case QAudio::NoError:
        break;
    }
    return {};
}

}  // namespace

QtAudioOutput::QtAudioOutput(DeviceSource device, QObject* parent)
    : QObject(parent), m_device(device ? std::move(device) : DeviceSource(&QMediaDevices::defaultAudioOutput))
{
}

QtAudioOutput::~QtAudioOutput()
{
    stop();
}

void QtAudioOutput::play(AudioBufferPtr audio)
{
    stop();
    const quint64 playback = m_playback;
    m_finished = false;
    const QAudioDevice device = m_device();
    if (device.isNull()) {
        fail(playback, QStringLiteral("no audio output device"));
        return;
    }
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(audio->format().sampleRate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    if (!device.isFormatSupported(format)) {
        fail(playback, QStringLiteral("the audio output device cannot play %1 Hz mono").arg(format.sampleRate()));
        return;
    }

    // Mono planar samples are already the interleaved layout the sink reads.
    const float* samples = audio->channelData(0);
    m_buffer = new QBuffer(this);
    m_buffer->setData(reinterpret_cast<const char*>(samples),
                      static_cast<qsizetype>(audio->frameCount() * sizeof(float)));
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = new QAudioSink(device, format, this);
    connect(m_sink, &QAudioSink::stateChanged, this,
            [this, playback](QAudio::State state) { handleState(playback, state); });
    m_sink->start(m_buffer);
    if (m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError)
        fail(playback, describe(m_sink->error()));
    if (m_finished)
        return;
    report(playback, [this] {
        if (onStarted)
            onStarted();
    });
}

void QtAudioOutput::stop()
{
    ++m_playback;
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    if (m_buffer) {
        m_buffer->deleteLater();
        m_buffer = nullptr;
    }
}

void QtAudioOutput::handleState(quint64 playback, QAudio::State state)
{
    if (playback != m_playback || !m_sink || m_finished)
        return;
    const QAudio::Error error = m_sink->error();
    if (state == QAudio::StoppedState && error != QAudio::NoError && error != QAudio::UnderrunError) {
        fail(playback, describe(error));
    } else if (state == QAudio::IdleState && m_buffer->atEnd()) {
        // Idle after the last sample: the device has it all. The sink stays open until the
        // next play() so the device's own buffer is not cut short.
        m_finished = true;
        report(playback, [this] {
            if (onFinished)
                onFinished();
        });
    }
}

void QtAudioOutput::report(quint64 playback, std::function<void()> action)
{
    QMetaObject::invokeMethod(
        this,
        [this, playback, action = std::move(action)] {
            if (playback == m_playback)
                action();
        },
        Qt::QueuedConnection);
}

void QtAudioOutput::fail(quint64 playback, const QString& reason)
{
    if (m_finished)
        return;  // one report per playback
    qCWarning(lcAudioOutput, "playback failed: %s", qPrintable(reason));
    m_finished = true;
    report(playback, [this, reason] {
        if (onFailed)
            onFailed(reason);
    });
}
