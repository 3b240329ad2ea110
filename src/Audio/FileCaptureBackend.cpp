#include "Audio/FileCaptureBackend.h"

#include <QFile>
#include <QLoggingCategory>

#include <sndfile.h>

#include <vector>

namespace {

Q_LOGGING_CATEGORY(lcFile, "app.parlivox.audio.input")

}  // namespace

struct FileCaptureBackend::OpenFile {
    SNDFILE* handle = nullptr;
    SF_INFO info{};
    ~OpenFile()
    {
        if (handle)
            sf_close(handle);
    }
};

FileCaptureBackend::FileCaptureBackend(QString path, Pacing pacing, std::optional<AudioFormat> rawFormat)
    : m_path(std::move(path)), m_pacing(pacing), m_rawFormat(rawFormat)
{
    if (const auto file = open(nullptr))
        m_format = {double(file->info.samplerate), file->info.channels};
}

FileCaptureBackend::~FileCaptureBackend()
{
    stop();
}

std::unique_ptr<FileCaptureBackend::OpenFile> FileCaptureBackend::open(QString* error) const
{
    auto file = std::make_unique<OpenFile>();
    if (m_rawFormat) {
        file->info.samplerate = int(m_rawFormat->sampleRate);
        file->info.channels = m_rawFormat->channels;
        file->info.format = SF_FORMAT_RAW | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE;
    }
    file->handle = sf_open(QFile::encodeName(m_path).constData(), SFM_READ, &file->info);
    if (!file->handle) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(m_path, QString::fromUtf8(sf_strerror(nullptr)));
        return nullptr;
    }
    return file;
}

std::optional<AudioDeviceError> FileCaptureBackend::selectDevice(const QString&)
{
    if (m_format.isValid())
        return std::nullopt;
    QString reason;
    open(&reason);
    qCWarning(lcFile, "%s", qPrintable(reason));
    return AudioDeviceError{AudioDeviceError::Kind::setDeviceFailed, sf_error(nullptr)};
}

std::optional<QString> FileCaptureBackend::start(const AudioFormat& format, FramesHandler handler, LostHandler)
{
    stop();
    QString error;
    auto file = open(&error);
    if (!file)
        return error;
    if (format != m_format)
        return QStringLiteral("the file is %1 Hz, %2 ch").arg(m_format.sampleRate).arg(m_format.channels);
    m_stopping = false;
    m_finished = false;
    m_thread = std::thread([this, file = std::move(file), handler = std::move(handler)]() mutable {
        play(std::move(file), std::move(handler));
    });
    return std::nullopt;
}

void FileCaptureBackend::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FileCaptureBackend::play(std::unique_ptr<OpenFile> file, FramesHandler handler)
{
    // 20 ms periods, as a sound server delivers them, cut into buffers downstream.
    const auto periodFrames = std::max<sf_count_t>(1, file->info.samplerate / 50);
    std::vector<float> period(static_cast<std::size_t>(periodFrames * file->info.channels));
    const auto begin = std::chrono::steady_clock::now();
    std::int64_t delivered = 0;
    for (;;) {
        const sf_count_t frames = sf_readf_float(file->handle, period.data(), periodFrames);
        if (frames <= 0)
            break;
        delivered += frames;
        if (m_pacing == Pacing::realTime) {
            const auto due = begin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                         std::chrono::duration<double>(double(delivered) / file->info.samplerate));
            std::unique_lock lock(m_mutex);
            if (m_wake.wait_until(lock, due, [this] { return m_stopping; }))
                return;
        } else {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
        }
        handler(period.data(), frames);
    }
    m_finished = true;
}
