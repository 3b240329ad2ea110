#pragma once

#include "Persistence/ConversationPhase.h"
#include "Support/Scheduler.h"

#include <QRandomGenerator>

#include <functional>
#include <optional>

// What keeps the face alive: the slow bob, the blinks outside idle and the talking cycle
// while speaking. One blink timer and one talking timer at most, however often start() is
// called; stop() ends both and opens the eyes. GUI thread only.
class FaceAnimation {
public:
    static constexpr std::chrono::milliseconds kShortestBlinkWait{2'500};
    static constexpr std::chrono::milliseconds kLongestBlinkWait{5'000};
    static constexpr std::chrono::milliseconds kBlinkClosed{120};
    static constexpr std::chrono::milliseconds kTalkingStep{60};
    static constexpr double kTalkingAdvance = 0.18;
    static constexpr double kBobHalfCycleSeconds = 2.2;

    explicit FaceAnimation(Scheduler& scheduler, quint32 seed = QRandomGenerator::global()->generate());
    FaceAnimation(const FaceAnimation&) = delete;
    FaceAnimation& operator=(const FaceAnimation&) = delete;

    // Runs after every change of the blink or the talking cycle (not of the bob, which
    // moves continuously).
    std::function<void()> onChanged;

    void start();
    void stop();
    bool isRunning() const { return m_running; }
    void setPhase(ConversationPhase phase);

    bool blinkOpen() const { return m_blinkOpen; }
    // Position in the talking cycle, in [0, 1).
    double speakingPhase() const { return m_speakingPhase; }
    // The bob now: 0 to 1 and back, eased, since start(); 0 while stopped.
    double bob() const;
    // Seconds since start(); 0 while stopped.
    double bobSeconds() const;
    // The bob `seconds` after the animation started.
    static double bobAt(double seconds);
    // Seconds from `seconds` until the bob, scaled to `steps` whole steps, shows another step
    // (at least kBobResolution); nothing when it never will (less than half a step of travel).
    static std::optional<double> secondsUntilNextBobStep(double seconds, double steps);
    // The finest time the bob's steps are looked for at.
    static constexpr double kBobResolution = 0.01;
    // How far the talking mouth is open at a point of the cycle: 0 to 1 and back once a turn.
    static double talkingOpenness(double speakingPhase);

private:
    void waitForBlink();
    void setBlinkOpen(bool open);
    void talk();

    Scheduler& m_scheduler;
    QRandomGenerator m_random;
    ConversationPhase m_phase = ConversationPhase::idle;
    bool m_running = false;
    bool m_blinkOpen = true;
    double m_speakingPhase = 0.0;
    Scheduler::TimePoint m_started;
    SingleShot m_blink;
    SingleShot m_talking;
};
