#pragma once

#include "Support/LatestChannel.h"
#include "Support/Scheduler.h"
#include "Vision/CameraFrame.h"
#include "Vision/FaceDetector.h"
#include "Vision/FaceObservation.h"

#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

// Turns camera frames into head-pose observations. Frames are offered on the GUI thread and
// at most one per 130 ms is analysed, on a thread of the tracker's own ("app.parlivox.face"):
// shrunk to gray, read mirrored, searched for a face. At most one accepted frame waits while
// another is analysed, a newer one replacing it, so a slow analysis loses frames instead of
// piling up latency and memory. Each analysed frame reports back on the GUI thread: first
// its processing time, then the observation (none when no face was found). The destructor
// stops and joins the analysis thread; nothing is reported after it.
class FaceTracker : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kMinInterval{130};
    // Frames this far apart start the face search afresh (capture was paused in between).
    static constexpr std::chrono::seconds kFreshAfter{1};

    FaceTracker(Scheduler& scheduler, std::unique_ptr<FaceDetector> detector, QObject* parent = nullptr);
    ~FaceTracker() override;

    // Returns at once; drops the frame when the last accepted one is under minInterval old.
    void process(const CameraFrame& frame);

    // Whether frames are shrunk to gray before the search (from the next frame; any thread).
    void setGrayscale(bool on) { m_grayscale = on; }
    // Accepted frames that a newer one replaced before their analysis began.
    std::uint64_t replacedFrames() const { return m_mailbox.dropped(); }

    std::function<void(double seconds)> onProcessingTime;
    std::function<void(const std::optional<FaceObservation>& observation)> onObservation;

private:
    struct Job {
        CameraFrame frame;
        bool fresh = false;
    };

    void analyse();  // the analysis thread
    std::optional<FaceObservation> detect(const Job& job);

    Scheduler& m_scheduler;
    std::optional<Scheduler::TimePoint> m_lastProcessedAt;
    std::atomic<bool> m_grayscale{true};
    std::unique_ptr<FaceDetector> m_detector;  // the analysis thread only
    LatestChannel<Job> m_mailbox{1};
    std::atomic<bool> m_stopping{false};
    // Last, so it starts after everything it uses exists.
    std::thread m_thread;
};
