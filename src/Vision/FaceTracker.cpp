#include "Vision/FaceTracker.h"

#include <QLoggingCategory>

#include <exception>

namespace {

Q_LOGGING_CATEGORY(lcFace, "app.parlivox.vision.face")

}  // namespace

FaceTracker::FaceTracker(Scheduler& scheduler, std::unique_ptr<FaceDetector> detector, QObject* parent)
    : QObject(parent), m_scheduler(scheduler), m_detector(std::move(detector)), m_thread([this] { analyse(); })
{
}

FaceTracker::~FaceTracker()
{
    m_stopping = true;
    m_mailbox.close();
    m_thread.join();
}

void FaceTracker::process(const CameraFrame& frame)
{
    const Scheduler::TimePoint now = m_scheduler.now();
    if (m_lastProcessedAt && now - *m_lastProcessedAt < kMinInterval)
        return;
    const bool fresh = m_lastProcessedAt && now - *m_lastProcessedAt >= kFreshAfter;
    m_lastProcessedAt = now;
    m_mailbox.push(Job{frame, fresh});
}

void FaceTracker::analyse()
{
    while (const std::optional<Job> job = m_mailbox.pop()) {
        if (m_stopping)
            return;
        const auto start = std::chrono::steady_clock::now();
        const std::optional<FaceObservation> observation = detect(*job);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        QMetaObject::invokeMethod(
            this,
            [this, seconds, observation] {
                if (onProcessingTime)
                    onProcessingTime(seconds);
                if (onObservation)
                    onObservation(observation);
            },
            Qt::QueuedConnection);
    }
}

std::optional<FaceObservation> FaceTracker::detect(const Job& job)
{
    try {
        if (job.fresh)
            m_detector->reset();
        return m_detector->detect(job.frame.pixels, m_grayscale);
    } catch (const std::exception& error) {
        // OpenCV reports what it cannot read by throwing.
        qCWarning(lcFace, "vision request failed: %s", error.what());
        m_detector->reset();
        return std::nullopt;
    }
}
