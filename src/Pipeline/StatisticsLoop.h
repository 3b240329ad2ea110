#pragma once

#include "Support/Scheduler.h"

#include <QString>

#include <chrono>
#include <functional>

class AdaptiveTurnDetector;
class AppSettings;
class ConversationHistory;
class EngineState;
class MicLevelMonitor;
class PipelineLog;
class SystemMonitor;

// A session's pulse: every half second a one-line snapshot of the pipeline ("stats", when
// the probe is on) and the reset of the per-tick counts, the trim of the turn detector's
// pause samples (when asked), and once a minute of session time a line of memory and CPU
// use ("longrun"). Ticks run on the scheduler from construction until destruction.
class StatisticsLoop {
public:
    static constexpr std::chrono::milliseconds kTick{500};
    static constexpr std::chrono::seconds kLongRunEvery{60};
    static constexpr int kPauseSamplesKept = 10;

    struct Parts {
        Scheduler& scheduler;
        PipelineLog& log;
        const AppSettings& settings;
        const EngineState& state;
        const MicLevelMonitor& micLevel;
        AdaptiveTurnDetector& turnDetector;
        const ConversationHistory& history;
        SystemMonitor& systemMonitor;
    };
    // What the session's loops count; the counts are taken (and so reset) at every tick.
    struct Sources {
        std::function<int()> takeAudioBuffers;
        std::function<QString()> lastVadEvent;
        std::function<bool()> recognizerLive;
        std::function<int()> takeCameraFrames;  // unset: no camera loop
        std::function<QString()> faceAge;  // unset: "never"
    };

    StatisticsLoop(Parts parts, Sources sources);

private:
    void tick();
    void maybeEmitLongRun();

    Parts m_parts;
    Sources m_sources;
    Scheduler::TimePoint m_sessionStartedAt;
    Scheduler::TimePoint m_lastLongRunAt;
    SingleShot m_timer;
};
