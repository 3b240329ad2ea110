#include "UI/Models/FaceAnimation.h"

#include <cmath>
#include <numbers>

FaceAnimation::FaceAnimation(Scheduler& scheduler, quint32 seed)
    : m_scheduler(scheduler), m_random(seed), m_blink(scheduler), m_talking(scheduler)
{
}

void FaceAnimation::start()
{
    if (m_running)
        return;
    m_running = true;
    m_started = m_scheduler.now();
    waitForBlink();
    setPhase(m_phase);
}

void FaceAnimation::stop()
{
    m_running = false;
    m_blink.cancel();
    m_talking.cancel();
    setBlinkOpen(true);
}

void FaceAnimation::setPhase(ConversationPhase phase)
{
    m_phase = phase;
    // The talking cycle is only ever seen while speaking; it resumes where it stood.
    if (m_running && phase == ConversationPhase::speaking && !m_talking.isPending())
        m_talking.start(kTalkingStep, [this] { talk(); });
    else if (phase != ConversationPhase::speaking)
        m_talking.cancel();
}

double FaceAnimation::bob() const
{
    return m_running ? bobAt(bobSeconds()) : 0.0;
}

double FaceAnimation::bobSeconds() const
{
    return m_running ? Scheduler::secondsBetween(m_started, m_scheduler.now()) : 0.0;
}

double FaceAnimation::bobAt(double seconds)
{
    const double inCycle = std::fmod(std::max(seconds, 0.0), 2 * kBobHalfCycleSeconds) / kBobHalfCycleSeconds;
    const double linear = inCycle <= 1.0 ? inCycle : 2.0 - inCycle;
    return (1.0 - std::cos(std::numbers::pi * linear)) / 2.0;
}

std::optional<double> FaceAnimation::secondsUntilNextBobStep(double seconds, double steps)
{
    if (steps < 0.5)
        return std::nullopt;
    const long now = std::lround(bobAt(seconds) * steps);
    // The bob turns back every half cycle, so the next step comes within one.
    for (double ahead = kBobResolution; ahead <= kBobHalfCycleSeconds + kBobResolution; ahead += kBobResolution)
        if (std::lround(bobAt(seconds + ahead) * steps) != now)
            return ahead;
    return kBobHalfCycleSeconds;
}

double FaceAnimation::talkingOpenness(double speakingPhase)
{
    return (std::sin(2 * std::numbers::pi * speakingPhase) + 1) / 2;
}

void FaceAnimation::waitForBlink()
{
    const int wait = m_random.bounded(int(kShortestBlinkWait.count()), int(kLongestBlinkWait.count()) + 1);
    m_blink.start(std::chrono::milliseconds(wait), [this] {
        // Idle eyes are slits: a blink there would not show.
        if (m_phase == ConversationPhase::idle)
            return waitForBlink();
        setBlinkOpen(false);
        m_blink.start(kBlinkClosed, [this] {
            setBlinkOpen(true);
            waitForBlink();
        });
    });
}

void FaceAnimation::setBlinkOpen(bool open)
{
    if (m_blinkOpen == open)
        return;
    m_blinkOpen = open;
    if (onChanged)
        onChanged();
}

void FaceAnimation::talk()
{
    m_speakingPhase = std::fmod(m_speakingPhase + kTalkingAdvance, 1.0);
    m_talking.start(kTalkingStep, [this] { talk(); });
    if (onChanged)
        onChanged();
}
