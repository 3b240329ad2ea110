#include "Vision/CameraStream.h"

#include "Support/FileIO.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QLoggingCategory>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcCamera, "app.parlivox.camera")

// Frames are BGRA bytes, which is QImage's ARGB32 on the little-endian machines we run on.
bool writePng(const QImage& frame, const QString& path)
{
    if (frame.isNull())
        return false;
    QImage picture = frame.convertToFormat(QImage::Format_RGBA8888);
    picture.setColorSpace(QColorSpace::SRgb);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return picture.save(&buffer, "PNG") && FileIO::writeAtomically(path, png);
}

}  // namespace

struct CameraStream::Still {
    std::uint64_t id = 0;
    QString path;
    StillCompletion done;
    bool wasRunning = false;
    bool wasCapturing = false;
    std::shared_ptr<FrameChannel> channel;
    std::unique_ptr<SingleShot> timer;

    ~Still() { channel->close(); }
};

CameraStream::CameraStream(std::unique_ptr<FrameSource> source, Scheduler& scheduler, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_scheduler(scheduler), m_startTimer(scheduler)
{
}

CameraStream::~CameraStream()
{
    m_activeRun = 0;
    m_stills.clear();
    m_subscribers.closeAll();
    m_session.post([this] { m_source->stop(); });
}

void CameraStream::start(StartCompletion done)
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
    const std::uint64_t attempt = ++m_startAttempt;
    m_startTimer.start(kStartTimeout, [this, attempt] {
        qCWarning(lcCamera, "camera did not start within %lld ms", static_cast<long long>(kStartTimeout.count()));
        finishStart(attempt, CameraError{CameraError::Kind::timedOut, {}});
        // Releases the camera should it open after all.
        m_session.post([this] { m_source->stop(); });
    });
    runSource([this, attempt](const std::optional<CameraError>& error) { finishStart(attempt, error); });
}

void CameraStream::runSource(std::function<void(const std::optional<CameraError>&)> onResult)
{
    const std::uint64_t run = ++m_lastRun;
    m_activeRun = run;
    m_session.post([this, run, onResult = std::move(onResult)] {
        const std::optional<CameraError> error =
            m_source->start([this, run](const CameraFrame& frame) { deliver(run, frame); });
        QMetaObject::invokeMethod(
            this, [onResult, error] { onResult(error); }, Qt::QueuedConnection);
    });
}

void CameraStream::finishStart(std::uint64_t attempt, const std::optional<CameraError>& error)
{
    if (attempt != m_startAttempt || !m_starting)
        return;  // a result that arrives after the time-out
    m_starting = false;
    m_startTimer.cancel();
    if (error) {
        m_activeRun = 0;
    } else if (!m_stopRequested) {
        m_running = m_capturing = true;
        qCInfo(lcCamera, "camera started");
    }
    for (const StartCompletion& done : std::exchange(m_pendingStarts, {}))
        done(error);
}

void CameraStream::pause()
{
    if (!m_running || !m_capturing)
        return;
    m_capturing = false;
    m_activeRun = 0;
    m_session.post([this] { m_source->stop(); });
    qCInfo(lcCamera, "camera paused (capture stopped, session kept)");
}

void CameraStream::resume()
{
    if (!m_running || m_capturing)
        return;
    m_capturing = true;
    runSource([](const std::optional<CameraError>& error) {
        if (error)
            qCWarning(lcCamera, "camera resume failed: %s", qPrintable(error->description()));
    });
    qCInfo(lcCamera, "camera resumed");
}

void CameraStream::stop()
{
    if (!m_running && !m_starting)
        return;
    // A stop during a start queues behind it and keeps the start from counting as running.
    m_stopRequested = m_starting;
    m_running = m_capturing = false;
    m_activeRun = 0;
    m_subscribers.closeAll();
    m_session.post([this] { m_source->stop(); });
    qCInfo(lcCamera, "camera stopped (session.stopRunning dispatched off main)");
    for (const std::unique_ptr<Still>& still : std::exchange(m_stills, {})) {
        qCWarning(lcCamera, "captureStill: no frame within timeout");
        still->done(std::nullopt);
    }
}

std::shared_ptr<FrameChannel> CameraStream::subscribe()
{
    return m_subscribers.subscribe();
}

void CameraStream::deliver(std::uint64_t run, const CameraFrame& frame)
{
    if (m_activeRun != run)
        return;
    m_subscribers.push(frame);
}

void CameraStream::captureStill(const QString& path, StillCompletion done)
{
    auto still = std::make_unique<Still>();
    const std::uint64_t id = still->id = ++m_lastStillId;
    still->path = path;
    still->done = std::move(done);
    still->wasRunning = m_running;
    still->wasCapturing = m_capturing;
    still->timer = std::make_unique<SingleShot>(m_scheduler);
    still->channel = subscribe();
    still->channel->setOnReadable([this, id] {
        QMetaObject::invokeMethod(
            this, [this, id] { stillFrameArrived(id); }, Qt::QueuedConnection);
    });
    const bool wasRunning = still->wasRunning;
    const bool wasCapturing = still->wasCapturing;
    m_stills.push_back(std::move(still));
    if (wasRunning) {
        if (!wasCapturing)
            resume();
        awaitStillFrame(id);
        return;
    }
    start([this, id](const std::optional<CameraError>& error) {
        if (!error) {
            awaitStillFrame(id);
            return;
        }
        qCWarning(lcCamera, "captureStill: camera start failed — %s", qPrintable(error->description()));
        if (const std::unique_ptr<Still> failed = takeStill(id))
            failed->done(std::nullopt);
    });
}

void CameraStream::awaitStillFrame(std::uint64_t id)
{
    for (const std::unique_ptr<Still>& still : m_stills)
        if (still->id == id)
            still->timer->start(kStillTimeout, [this, id] { finishStill(id, std::nullopt); });
}

void CameraStream::stillFrameArrived(std::uint64_t id)
{
    for (const std::unique_ptr<Still>& still : m_stills)
        if (still->id == id)
            if (const std::optional<CameraFrame> frame = still->channel->tryPop())
                return finishStill(id, frame);
}

void CameraStream::finishStill(std::uint64_t id, const std::optional<CameraFrame>& frame)
{
    const std::unique_ptr<Still> still = takeStill(id);
    if (!still)
        return;
    if (!still->wasRunning)
        stop();
    else if (!still->wasCapturing)
        pause();
    if (!frame) {
        qCWarning(lcCamera, "captureStill: no frame within timeout");
        still->done(std::nullopt);
        return;
    }
    m_session.post([this, pixels = frame->pixels, path = still->path, done = still->done] {
        const bool written = writePng(pixels, path);
        QMetaObject::invokeMethod(
            this, [done, path, written] { done(written ? std::optional<QString>(path) : std::nullopt); },
            Qt::QueuedConnection);
    });
}

std::unique_ptr<CameraStream::Still> CameraStream::takeStill(std::uint64_t id)
{
    const auto found = std::find_if(m_stills.begin(), m_stills.end(),
                                    [id](const std::unique_ptr<Still>& still) { return still->id == id; });
    if (found == m_stills.end())
        return nullptr;
    std::unique_ptr<Still> still = std::move(*found);
    m_stills.erase(found);
    return still;
}
