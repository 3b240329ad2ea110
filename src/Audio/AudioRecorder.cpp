#include "Audio/AudioRecorder.h"

#include "Storage/AppPaths.h"
#include "Support/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <sndfile.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcRecorder, "app.parlivox.recorder")

// Attempts at a free name before giving up: "-2" up to "-<this>".
constexpr int kMaxNameAttempts = 1000;

bool fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return false;
}

// Creates the first name in the series that does not exist yet: the check and the creation
// are one step, so two recorders can never open the same file.
int createExclusively(QString& path, QString* error)
{
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(info.completeBaseName());
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const QString candidate = attempt == 1 ? path : QStringLiteral("%1-%2%3").arg(stem).arg(attempt).arg(suffix);
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            path = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            fail(error, QStringLiteral("cannot create %1: %2").arg(candidate, QString::fromLocal8Bit(strerror(errno))));
            return -1;
        }
    }
    fail(error, QStringLiteral("cannot create %1: every numbered name is taken").arg(path));
    return -1;
}

}  // namespace

QString AudioRecorder::makeURL(const QString& prefix, const QDateTime& time)
{
    return AppPaths::recordings() + QLatin1Char('/') + prefix + QLatin1Char('-') +
           time.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".caf");
}

std::unique_ptr<AudioRecorder> AudioRecorder::create(const QString& path, const AudioFormat& format, QString* error)
{
    if (const auto refused = AppPaths::validate(path)) {
        fail(error, refused->description());
        return nullptr;
    }
    if (!format.isValid()) {
        fail(error, QStringLiteral("cannot record %1 Hz, %2 ch").arg(format.sampleRate).arg(format.channels));
        return nullptr;
    }
    if (!FileIO::ensureDirectory(QFileInfo(path).absolutePath(), false, error))
        return nullptr;
    QString chosen = path;
    const int fd = createExclusively(chosen, error);
    if (fd < 0)
        return nullptr;
    SF_INFO info{};
    info.samplerate = int(format.sampleRate);
    info.channels = format.channels;
    info.format = SF_FORMAT_CAF | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        fail(error,
             QStringLiteral("cannot open %1 for recording: %2").arg(chosen, QString::fromUtf8(sf_strerror(nullptr))));
        QFile::remove(chosen);  // libsndfile closed the descriptor
        return nullptr;
    }
    qCInfo(lcRecorder, "recording to %s", qPrintable(chosen));
    return std::unique_ptr<AudioRecorder>(new AudioRecorder(chosen, format, file));
}

AudioRecorder::AudioRecorder(QString path, AudioFormat format, SNDFILE* file)
    : m_path(std::move(path)), m_format(format), m_file(file)
{
}

AudioRecorder::~AudioRecorder()
{
    if (!m_closeQueued)
        m_writeQueue.post([this] { finish(); });
}

QString AudioRecorder::baseName() const
{
    return QFileInfo(m_path).completeBaseName();
}

void AudioRecorder::append(AudioBufferPtr buffer)
{
    m_writeQueue.post([this, buffer = std::move(buffer)] { write(*buffer); });
}

void AudioRecorder::close(std::function<void(const Totals&)> onClosed)
{
    m_closeQueued = true;
    m_writeQueue.post([this, onClosed = std::move(onClosed)] {
        const Totals totals = finish();
        if (onClosed)
            QMetaObject::invokeMethod(
                this, [onClosed, totals] { onClosed(totals); }, Qt::QueuedConnection);
    });
}

void AudioRecorder::write(const AudioBuffer& buffer)
{
    if (!m_file)
        return;
    if (buffer.format() != m_format) {
        qCCritical(lcRecorder, "write failed: a buffer of %g Hz, %d ch does not fit the recording",
                   buffer.format().sampleRate, buffer.format().channels);
        return;
    }
    const std::int64_t frames = buffer.frameCount();
    const int channels = m_format.channels;
    m_interleaved.resize(std::size_t(frames * channels));
    for (int c = 0; c < channels; ++c) {
        const float* samples = buffer.channelData(c);
        for (std::int64_t i = 0; i < frames; ++i)
            m_interleaved[std::size_t(i * channels + c)] = samples[i];
    }
    errno = 0;
    const sf_count_t written = sf_writef_float(m_file, m_interleaved.data(), frames);
    if (written == frames) {
        m_failing = false;
        // The header's sizes follow every buffer, not only the close: a recording whose process
        // dies (crash, kill, power loss) still opens with every buffer written before. (Left to
        // libsndfile after each write, this would also clear a failed write's error.) The count
        // moves only once the header holds the buffer, so a reader never sees more than the file.
        sf_command(m_file, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        m_samplesWritten += frames;
        if (const qint64 size = QFileInfo(m_path).size(); size > 0)
            m_bytesWritten = size;
        return;
    }
    // A buffer the disk did not take whole is taken back whole: the file then ends on the last
    // whole buffer, the next one starts on a frame boundary of its own, and the count stays
    // that of the file.
    const QString cause = errno != 0 ? QString::fromStdString(std::generic_category().message(errno))
                                     : QString::fromUtf8(sf_strerror(m_file));
    sf_count_t kept = m_samplesWritten;
    sf_command(m_file, SFC_FILE_TRUNCATE, &kept, sizeof kept);
    m_framesLost += frames;
    // One line for a run of failures (a full disk refuses every buffer until space returns).
    if (!m_failing)
        qCCritical(lcRecorder, "write failed: %s", qPrintable(cause));
    m_failing = true;
}

AudioRecorder::Totals AudioRecorder::finish()
{
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
        if (const qint64 size = QFileInfo(m_path).size(); size > 0)
            m_bytesWritten = size;
    }
    const Totals totals{m_samplesWritten, m_bytesWritten};
    qCInfo(lcRecorder, "closed (%lld samples, %lld bytes)", static_cast<long long>(totals.samplesWritten),
           static_cast<long long>(totals.bytesWritten));
    if (m_framesLost > 0)
        qCCritical(lcRecorder, "%lld frames (%.1f s) were not written", static_cast<long long>(m_framesLost),
                   double(m_framesLost) / m_format.sampleRate);
    return totals;
}
