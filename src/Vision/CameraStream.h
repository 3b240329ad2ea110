#pragma once

#include "Support/ChannelFanOut.h"
#include "Support/Scheduler.h"
#include "Support/SerialWorker.h"
#include "Vision/CameraError.h"
#include "Vision/CameraFrame.h"
#include "Vision/FrameSource.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using FrameChannel = LatestChannel<CameraFrame>;

// The one camera of the system. It starts, pauses, resumes and stops a frame source on a
// session thread ("app.parlivox.camera.session") and hands every frame the source captures
// to each subscriber's channel, which keeps the 2 newest unread frames, so a slow consumer
// loses frames and never gains latency. It can also write one still picture as a PNG.
// Everything but the channels is used on the GUI thread; completions run there later, never
// inside the call that was given them.
class CameraStream : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t subscriberCapacity = 2;
    // A camera that has not delivered its first frame by then fails the start.
    static constexpr std::chrono::milliseconds startTimeout{5000};
    // How long a still waits for its frame once the camera runs.
    static constexpr std::chrono::milliseconds stillTimeout{4000};

    using StartCompletion = std::function<void(const std::optional<CameraError>& error)>;
    // The path written, or nothing when the camera failed, no frame came or writing failed.
    using StillCompletion = std::function<void(const std::optional<QString>& path)>;

    CameraStream(std::unique_ptr<FrameSource> source, Scheduler& scheduler, QObject* parent = nullptr);
    // Stops the source and joins the session thread; no completion runs after it.
    ~CameraStream() override;

    // Idle to capturing. Starting a running stream changes nothing; a start while another is
    // under way shares its result.
    void start(StartCompletion done);
    // Capturing to paused: the source stops, subscriptions stay.
    void pause();
    // Paused to capturing.
    void resume();
    // Running or paused to idle: closes every subscriber's channel and every waiting still.
    void stop();

    // A new subscriber's channel. Closing it, or dropping every reference to it, unsubscribes.
    std::shared_ptr<FrameChannel> subscribe();

    // Takes the next frame (starting or resuming the camera when needed, and returning it to
    // the state found) and writes it at `path` as an 8-bit RGBA sRGB PNG, unmirrored, at the
    // camera's size and in colour.
    void captureStill(const QString& path, StillCompletion done);

    bool isRunning() const { return m_running; }
    bool isCapturing() const { return m_capturing; }

private:
    struct Still;

    // Starts the source on the session thread for a new run; `onResult` gets its answer here.
    void runSource(std::function<void(const std::optional<CameraError>&)> onResult);
    void finishStart(std::uint64_t attempt, const std::optional<CameraError>& error);
    void deliver(std::uint64_t run, const CameraFrame& frame);  // capture thread
    void awaitStillFrame(std::uint64_t id);
    void stillFrameArrived(std::uint64_t id);
    void finishStill(std::uint64_t id, const std::optional<CameraFrame>& frame);
    std::unique_ptr<Still> takeStill(std::uint64_t id);

    std::unique_ptr<FrameSource> m_source;  // the session thread only
    Scheduler& m_scheduler;
    SingleShot m_startTimer;
    std::vector<StartCompletion> m_pendingStarts;
    std::vector<std::unique_ptr<Still>> m_stills;
    std::uint64_t m_lastStillId = 0;
    std::uint64_t m_startAttempt = 0;
    std::uint64_t m_lastRun = 0;
    // Frames of any other run than this one are dropped (0: none is delivered).
    std::atomic<std::uint64_t> m_activeRun{0};
    ChannelFanOut<CameraFrame> m_subscribers{subscriberCapacity};
    bool m_running = false;
    bool m_capturing = false;
    bool m_starting = false;
    bool m_stopRequested = false;
    // Last, so it is destroyed first: it finishes the queued stop while everything it uses exists.
    SerialWorker m_session{QStringLiteral("app.parlivox.camera.session")};
};
