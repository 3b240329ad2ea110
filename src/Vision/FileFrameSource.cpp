#include "Vision/FileFrameSource.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

FileFrameSource::FileFrameSource(QString path, double framesPerSecond)
    : m_path(std::move(path)), m_framesPerSecond(framesPerSecond > 0 ? framesPerSecond : 1.0)
{
}

FileFrameSource::~FileFrameSource()
{
    stop();
}

std::vector<QImage> FileFrameSource::load() const
{
    QStringList files;
    if (QFileInfo(m_path).isDir()) {
        const QDir folder(m_path);
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
            files.append(folder.filePath(name));
    } else {
        files.append(m_path);
    }
    std::vector<QImage> pictures;
    for (const QString& file : files) {
        QImage picture = QImage(file).convertToFormat(QImage::Format_ARGB32);
        if (!picture.isNull())
            pictures.push_back(std::move(picture));
    }
    return pictures;
}

std::optional<CameraError> FileFrameSource::start(FrameHandler handler)
{
    stop();
    std::vector<QImage> pictures = load();
    if (pictures.empty())
        return CameraError{CameraError::Kind::configurationFailed, QStringLiteral("no picture in ") + m_path};
    m_stopping = false;
    m_thread = std::thread([this, pictures = std::move(pictures), handler = std::move(handler)]() mutable {
        play(std::move(pictures), std::move(handler));
    });
    return std::nullopt;
}

void FileFrameSource::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FileFrameSource::play(std::vector<QImage> pictures, FrameHandler handler)
{
    const auto begin = std::chrono::steady_clock::now();
    for (std::size_t n = 0;; ++n) {
        const auto due = begin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(n / m_framesPerSecond));
        {
            std::unique_lock lock(m_mutex);
            if (m_wake.wait_until(lock, due, [this] { return m_stopping; }))
                return;
        }
        handler(CameraFrame{pictures[n % pictures.size()], std::chrono::steady_clock::now()});
    }
}
