#include "Platform/QtCaptureBackend.h"

#include "Platform/QtAudioDeviceSource.h"

#include <QAudioSource>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcCapture, "app.parlivox.audio.input")

// The status for a device id that is no longer listed.
constexpr int kDeviceNotFound = -1;

QString describe(QAudio::Error error)
{
    switch (error) {
    case QAudio::NoError:
        return QStringLiteral("no error");
    case QAudio::OpenError:
        return QStringLiteral("the device could not be opened");
    case QAudio::IOError:
        return QStringLiteral("reading from the device failed");
    case QAudio::UnderrunError:
        return QStringLiteral("the device delivered no data");
    case QAudio::FatalError:
        return QStringLiteral("the audio system failed");
    }
    return QStringLiteral("unknown audio error %1").arg(int(error));
}

}  // namespace

QtCaptureBackend::QtCaptureBackend()
{
    m_thread.setObjectName(QStringLiteral("audio.capture"));
    m_context.moveToThread(&m_thread);
    m_thread.start();
}

QtCaptureBackend::~QtCaptureBackend()
{
    stop();
    m_thread.quit();
    m_thread.wait();
}

bool QtCaptureBackend::hasInputDevice() const
{
    return !QtAudioDeviceSource::inputDevices().isEmpty();
}

std::optional<int> QtCaptureBackend::selectDevice(const QString& deviceId)
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

AudioFormat QtCaptureBackend::deviceFormat() const
{
    if (m_device.isNull())
        return {};
    const QAudioFormat preferred = m_device.preferredFormat();
    return {double(preferred.sampleRate()), preferred.channelCount()};
}

std::optional<QString> QtCaptureBackend::start(const AudioFormat& format, FramesHandler handler)
{
    std::optional<QString> failure;
    QMetaObject::invokeMethod(
        &m_context,
        [&] {
            QAudioFormat wanted;
            wanted.setSampleFormat(QAudioFormat::Float);
            wanted.setSampleRate(int(format.sampleRate));
            wanted.setChannelCount(format.channels);
            m_source = new QAudioSource(m_device, wanted, &m_context);
            // About one 4096-frame period, so reads come at roughly the rate buffers are cut.
            m_source->setBufferSize(4096 * format.channels * int(sizeof(float)));
            m_handler = std::move(handler);
            m_channels = format.channels;
            m_partialFrame.clear();
            m_io = m_source->start();
            if (!m_io || m_source->error() != QAudio::NoError) {
                failure = describe(m_source->error());
                delete m_source;
                m_source = nullptr;
                m_io = nullptr;
                return;
            }
            QObject::connect(m_io, &QIODevice::readyRead, &m_context, [this] { readCaptured(); });
            QObject::connect(m_source, &QAudioSource::stateChanged, &m_context, [this](QAudio::State state) {
                if (state == QAudio::StoppedState && m_source && m_source->error() != QAudio::NoError)
                    qCWarning(lcCapture, "capture stopped: %s", qPrintable(describe(m_source->error())));
            });
        },
        Qt::BlockingQueuedConnection);
    return failure;
}

void QtCaptureBackend::stop()
{
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            if (!m_source)
                return;
            m_source->stop();
            delete m_source;
            m_source = nullptr;
            m_io = nullptr;
            m_handler = nullptr;
        },
        Qt::BlockingQueuedConnection);
}

void QtCaptureBackend::readCaptured()
{
    if (!m_io || !m_handler)
        return;
    m_partialFrame += m_io->readAll();
    const qsizetype frameBytes = qsizetype(sizeof(float)) * m_channels;
    const qsizetype frames = m_partialFrame.size() / frameBytes;
    if (frames == 0)
        return;
    m_handler(reinterpret_cast<const float*>(m_partialFrame.constData()), frames);
    m_partialFrame.remove(0, frames * frameBytes);
}
