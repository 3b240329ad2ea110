#include "Pipeline/CameraGazeLoop.h"

#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/EngineState.h"
#include "Vision/GazeEstimator.h"

namespace {

const QString kCameraCategory = QStringLiteral("camera");

}  // namespace

QString CameraGazeLoop::startFailure(const QString& cause)
{
    return QStringLiteral("Camera gaze could not start: ") + cause;
}

CameraGazeLoop::CameraGazeLoop(Parts parts, QObject* parent) : QObject(parent), m_parts(std::move(parts))
{
}

CameraGazeLoop::~CameraGazeLoop()
{
    closeFrames();
}

CameraStream& CameraGazeLoop::camera()
{
    if (!m_camera)
        m_camera = std::make_unique<CameraStream>(m_parts.makeSource(), m_parts.scheduler);
    return *m_camera;
}

bool CameraGazeLoop::ensureTracker(QString* error)
{
    if (m_tracker)
        return true;
    std::unique_ptr<FaceDetector> detector = m_parts.makeDetector ? m_parts.makeDetector(error) : nullptr;
    if (!detector) {
        if (error->isEmpty())
            *error = QStringLiteral("face detection is not available");
        return false;
    }
    m_tracker = std::make_unique<FaceTracker>(m_parts.scheduler, std::move(detector));
    m_tracker->setGrayscale(m_grayscale);
    m_tracker->onProcessingTime = [this](double seconds) {
        m_parts.state.setFaceProcessingMs(kProcessingTimeWeight * seconds * 1000.0 +
                                          (1.0 - kProcessingTimeWeight) * m_parts.state.faceProcessingMs());
    };
    m_tracker->onObservation = [this](const std::optional<FaceObservation>& observation) { observe(observation); };
    return true;
}

void CameraGazeLoop::startForSession(std::function<void()> done)
{
    start(std::move(done));
}

void CameraGazeLoop::start(std::function<void()> done)
{
    m_parts.log.record(kCameraCategory, QStringLiteral("starting…"));
    QString detectorError;
    if (!ensureTracker(&detectorError)) {
        fail(detectorError);
        done();
        return;
    }
    m_starting = true;
    camera().start([this, run = m_run, done = std::move(done)](const std::optional<CameraError>& error) {
        if (run != m_run) {  // stopped while starting
            done();
            return;
        }
        m_starting = false;
        if (error) {
            fail(error->description());
            done();
            return;
        }
        m_parts.log.record(kCameraCategory,
                           QStringLiteral("started OK (session.isRunning=%1)")
                               .arg(m_camera->isRunning() ? QStringLiteral("true") : QStringLiteral("false")));
        if (!m_failureShown.isEmpty() && m_parts.state.errorMessage() == m_failureShown)
            m_parts.state.setErrorMessage(std::nullopt);
        m_failureShown.clear();
        closeFrames();
        m_frames = m_camera->subscribe();
        // The wake holds the channel weakly: the channel holds the wake.
        m_wake = QueuedWake::make(*this, [this, frames = std::weak_ptr<FrameChannel>(m_frames)] {
            if (const std::shared_ptr<FrameChannel> open = frames.lock())
                drain(open);
        });
        m_frames->setOnReadable([wake = m_wake] { wake->wake(); });
        // Gaze waits for the user to speak.
        m_camera->pause();
        m_parts.state.setCameraActive(false);
        done();
    });
}

void CameraGazeLoop::fail(const QString& cause)
{
    m_parts.log.record(kCameraCategory, QStringLiteral("start FAILED: ") + cause);
    m_failureShown = startFailure(cause);
    m_parts.state.setErrorMessage(m_failureShown);
    m_parts.settings.setCameraGazeEnabled(false);
}

void CameraGazeLoop::stop()
{
    ++m_run;
    m_starting = false;
    closeFrames();
    if (m_camera)
        m_camera->stop();
    m_parts.state.setCameraActive(false);
    forgetGaze();
    m_lastFaceFoundAt.reset();
    m_firstFrameLogged = false;
    m_frameCount = 0;
}

void CameraGazeLoop::setEnabled(bool on, bool sessionRunning)
{
    if (!on)
        stop();
    else if (sessionRunning && !isRunning() && !m_starting)
        start([] {});
}

bool CameraGazeLoop::isRunning() const
{
    return m_camera && m_camera->isRunning();
}

void CameraGazeLoop::pause()
{
    if (!isRunning() || !m_camera->isCapturing())
        return;
    m_camera->pause();
    m_parts.state.setCameraActive(false);
    forgetGaze();
    m_parts.log.record(kCameraCategory, QStringLiteral("gaze paused (turn over)"));
}

void CameraGazeLoop::resume()
{
    if (!m_parts.settings.cameraGazeEnabled())
        return;
    if (!isRunning()) {
        m_parts.log.record(kCameraCategory, QStringLiteral("gaze resume skipped — camera session not running"));
        return;
    }
    if (m_camera->isCapturing())
        return;
    m_camera->resume();
    m_parts.state.setCameraActive(true);
    m_parts.log.record(kCameraCategory, QStringLiteral("gaze resumed (speech started)"));
}

void CameraGazeLoop::setGrayscale(bool on)
{
    m_grayscale = on;
    if (m_tracker)
        m_tracker->setGrayscale(on);
}

int CameraGazeLoop::takeFrameCount()
{
    return std::exchange(m_frameCount, 0);
}

QString CameraGazeLoop::faceAge() const
{
    if (!m_lastFaceFoundAt)
        return QStringLiteral("never");
    const auto age =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_parts.scheduler.now() - *m_lastFaceFoundAt);
    return QString::number(age.count()) + QStringLiteral("ms");
}

std::shared_ptr<FrameChannel> CameraGazeLoop::subscribePreview()
{
    return camera().subscribe();
}

void CameraGazeLoop::captureStill(const QString& path, CameraStream::StillCompletion done)
{
    camera().captureStill(path, std::move(done));
}

void CameraGazeLoop::drain(const std::shared_ptr<FrameChannel>& frames)
{
    if (frames != m_frames)
        return;  // a subscription already closed
    while (const std::optional<CameraFrame> frame = frames->tryPop()) {
        ++m_frameCount;
        if (!m_firstFrameLogged) {
            m_firstFrameLogged = true;
            m_parts.log.record(kCameraCategory, QStringLiteral("first frame received"));
        }
        m_tracker->process(*frame);
    }
}

void CameraGazeLoop::observe(const std::optional<FaceObservation>& observation)
{
    if (!isRunning() || !m_camera->isCapturing())
        return;
    if (observation)
        m_lastFaceFoundAt = m_parts.scheduler.now();
    m_parts.state.setHeadPose(observation ? HeadPose{observation->yaw, observation->pitch, observation->roll}
                                          : HeadPose{});
    const GazeState gaze = GazeEstimator{}.estimate(observation);
    if (gaze.status != m_parts.state.gazeStatus()) {
        m_parts.log.record(QStringLiteral("gaze"),
                           observation ? QString::asprintf("%s yaw=%.2f pitch=%.2f roll=%.2f conf=%.2f",
                                                           qPrintable(rawValue(gaze.status)), observation->yaw,
                                                           observation->pitch, observation->roll, gaze.confidence)
                                       : rawValue(gaze.status) + QStringLiteral(" (face lost)"));
    }
    m_parts.state.setGazeStatus(gaze.status);
    m_parts.turnDetector.updateGaze(gaze);
}

void CameraGazeLoop::forgetGaze()
{
    m_parts.state.setGazeStatus(GazeStatus::noFace);
    m_parts.turnDetector.updateGaze(GazeState{GazeStatus::noFace, 0.0});
}

void CameraGazeLoop::closeFrames()
{
    if (m_wake)
        m_wake->detach();
    if (m_frames) {
        m_frames->setOnReadable(nullptr);
        m_frames->close();
    }
    m_wake.reset();
    m_frames.reset();
}
