#include "Platform/QtAudioOutput.h"

#include "Platform/PcmStreamDevice.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QLoggingCategory>
#include <QMediaDevices>

Q_LOGGING_CATEGORY(lcAudioOutput, "app.parlivox.audio.output")

namespace {

constexpr std::chrono::milliseconds kDrainTime{1000};

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
    m_closeWhenDrained.setSingleShot(true);
    m_closeWhenDrained.setInterval(kDrainTime);
    connect(&m_closeWhenDrained, &QTimer::timeout, this, &QtAudioOutput::releaseSink);
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

    m_stream = new PcmStreamDevice(this);
    m_stream->open(QIODevice::ReadOnly);
    m_stream->append(std::move(audio));
    m_sink = new QAudioSink(device, format, this);
    connect(m_sink, &QAudioSink::stateChanged, this,
            [this, playback](QAudio::State state) { handleState(playback, state); });
    m_sink->start(m_stream);
    if (m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError)
        fail(playback, describe(m_sink->error()));
    if (m_finished)
        return;
    report(playback, [this] {
        if (onStarted)
            onStarted();
    });
}

void QtAudioOutput::append(AudioBufferPtr audio)
{
    if (m_stream)
        m_stream->append(std::move(audio));
}

void QtAudioOutput::endStream()
{
    if (!m_stream)
        return;
    m_stream->endStream();
    // A sink that already drained what it had reports no new state by itself.
    if (m_sink->state() == QAudio::IdleState)
        handleState(m_playback, QAudio::IdleState);
}

void QtAudioOutput::stop()
{
    ++m_playback;
    releaseSink();
}

void QtAudioOutput::releaseSink()
{
    m_closeWhenDrained.stop();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    if (m_stream) {
        m_stream->deleteLater();
        m_stream = nullptr;
    }
}

void QtAudioOutput::handleState(quint64 playback, QAudio::State state)
{
    if (playback != m_playback || !m_sink || m_finished)
        return;
    const QAudio::Error error = m_sink->error();
    if (state == QAudio::StoppedState && error != QAudio::NoError && error != QAudio::UnderrunError) {
        fail(playback, describe(error));
    } else if (state == QAudio::IdleState && m_stream->atEnd()) {
        // Idle after the last sample: the device has it all. The sink stays open a little
        // longer so the device's own buffer is not cut short.
        m_finished = true;
        m_closeWhenDrained.start();
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
