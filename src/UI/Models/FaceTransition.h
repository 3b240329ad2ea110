#pragma once

#include "Support/Scheduler.h"
#include "UI/Models/FaceAvatarModel.h"

#include <functional>
#include <optional>

// How the face eases into a change instead of snapping: a new phase over 0.18 s, a new idle
// mood over 0.4 s, both ease-in-out, timed on the scheduler. From the frame on screen when the
// phase changed, every size, colour and opacity moves towards the frame of the state as it is
// now (which keeps moving with the talking, the blinks and the level), the old halo fades out
// under the new one, and what comes or goes (the bubble, the ring, the glow, the irises) fades
// in or out in its own colour; a new mood fades the bubble's
// old content out and the new one in while the box takes the new width. A change while one
// runs eases on from what is on screen then. GUI thread.
class FaceTransition {
public:
    using Frame = FaceAvatarModel::Frame;

    static constexpr std::chrono::milliseconds kPhaseDuration{180};
    static constexpr std::chrono::milliseconds kMoodDuration{400};
    // How often a running change asks to be drawn again.
    static constexpr std::chrono::milliseconds kFrameInterval{16};

    explicit FaceTransition(Scheduler& scheduler);
    FaceTransition(const FaceTransition&) = delete;
    FaceTransition& operator=(const FaceTransition&) = delete;

    // Runs every frame interval while a change runs, and once more when it has ended.
    std::function<void()> onFrame;

    // The phase or the mood changed now, while `shown` was on screen.
    void phaseChanged(const Frame& shown);
    void moodChanged(const Frame& shown);
    // Ends any change at once (the face was hidden or laid out afresh).
    void finish();

    bool isRunning() const;
    // What to draw now of `target`, the frame of the state as it is now.
    Frame frame(const Frame& target) const;

    // The ease-in-out curve: 0 at 0, 1 at 1, slow at both ends.
    static double eased(double linear);
    // `from` moved towards `to` by `share` (0…1, already eased).
    static Frame blended(const Frame& from, const Frame& to, double share);

private:
    // How far a change started at `start` has come, 0…1 in time.
    double progress(std::optional<Scheduler::TimePoint> start, std::chrono::milliseconds duration) const;
    void tick();

    Scheduler& m_scheduler;
    std::optional<Frame> m_phaseFrom;
    std::optional<Scheduler::TimePoint> m_phaseStart;
    std::optional<Frame::Bubble::Mood> m_moodFrom;
    std::optional<Scheduler::TimePoint> m_moodStart;
    SingleShot m_tick;
};
