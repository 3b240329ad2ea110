#pragma once

#include "Pipeline/GazeLoop.h"
#include "Support/QueuedWake.h"
#include "Support/Scheduler.h"
#include "Vision/FaceDetector.h"
#include "Vision/FaceTracker.h"
#include "Vision/FrameSource.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class AdaptiveTurnDetector;
class AppSettings;
class EngineState;
class PipelineLog;

// Camera gaze: the camera starts paused with the session (or when the setting is turned on
// during one), captures from the user's first speech until the turn is over, and hands a
// frame at most every 130 ms to the face tracker, whose observations become the published
// head pose and gaze and reach the turn detector. Every change of gaze is logged. The camera
// and the tracker are made at first use and kept; a tracker answer that arrives after
// capture paused or stopped is dropped, so a paused camera always reads as no face. When the
// camera or the face detector cannot start, the engine's error says why and the setting goes
// back off, so the switch never shows a gaze that does not run. GUI thread only.
class CameraGazeLoop final : public QObject, public GazeLoop {
    Q_OBJECT
public:
    // Smoothing of the published face-processing time: the share of the newest frame.
    static constexpr double kProcessingTimeWeight = 0.3;

    struct Parts {
        Scheduler& scheduler;
        AppSettings& settings;
        EngineState& state;
        PipelineLog& log;
        AdaptiveTurnDetector& turnDetector;
        std::function<std::unique_ptr<FrameSource>()> makeSource;
        // Null, with the reason, when face detection cannot work here.
        std::function<std::unique_ptr<FaceDetector>(QString* error)> makeDetector;
    };

    // The engine's error when gaze cannot start for this cause.
    static QString startFailure(const QString& cause);

    explicit CameraGazeLoop(Parts parts, QObject* parent = nullptr);
    ~CameraGazeLoop() override;

    void startForSession(std::function<void()> done) override;
    void stop() override;
    void setEnabled(bool on, bool sessionRunning) override;
    bool isRunning() const override;
    void pause() override;
    void resume() override;
    void setGrayscale(bool on) override;
    int takeFrameCount() override;
    QString faceAge() const override;
    std::shared_ptr<FrameChannel> subscribePreview() override;
    void captureStill(const QString& path, CameraStream::StillCompletion done) override;

private:
    CameraStream& camera();
    bool ensureTracker(QString* error);
    void start(std::function<void()> done);
    // Gaze cannot run: logged, shown with its cause, and the setting turned off.
    void fail(const QString& cause);
    void drain(const std::shared_ptr<FrameChannel>& frames);
    void observe(const std::optional<FaceObservation>& observation);
    // No face is seen while the camera is off or paused.
    void forgetGaze();
    void closeFrames();

    Parts m_parts;
    bool m_starting = false;
    bool m_grayscale = true;
    bool m_firstFrameLogged = false;
    int m_frameCount = 0;
    std::uint64_t m_run = 0;  // counts stops, so a start answered after one is dropped
    std::optional<Scheduler::TimePoint> m_lastFaceFoundAt;
    QString m_failureShown;  // the engine error of the last failure, cleared by a start that works
    std::shared_ptr<FrameChannel> m_frames;
    std::shared_ptr<QueuedWake> m_wake;
    // Last, so the tracker's analysis thread stops first.
    std::unique_ptr<CameraStream> m_camera;
    std::unique_ptr<FaceTracker> m_tracker;
};
