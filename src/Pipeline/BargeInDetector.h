#pragma once

#include "Endpointing/VoiceActivity.h"
#include "Support/Scheduler.h"

#include <functional>

// Tells a real interruption of the spoken reply from a cough: once armed, it fires when
// the user's speech has lasted a set time after its onset without an end in between.
// It fires at most once per arming. GUI thread only.
class BargeInDetector {
public:
    BargeInDetector(Scheduler& scheduler, int triggerSpeechMs);
    BargeInDetector(const BargeInDetector&) = delete;
    BargeInDetector& operator=(const BargeInDetector&) = delete;

    std::function<void()> onBargeIn;

    void arm();
    void disarm();
    void handle(const VoiceActivity& activity);

    bool isArmed() const { return m_armed; }
    int triggerSpeechMs() const { return m_triggerSpeechMs; }
    // Applies from the next onset on.
    void setTriggerSpeechMs(int ms) { m_triggerSpeechMs = ms; }

private:
    int m_triggerSpeechMs;
    bool m_armed = false;
    SingleShot m_trigger;
};
