#include "Pipeline/BargeInDetector.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcBargeIn, "app.parlivox.barge-in")

}  // namespace

BargeInDetector::BargeInDetector(Scheduler& scheduler, int triggerSpeechMs)
    : m_triggerSpeechMs(triggerSpeechMs), m_trigger(scheduler)
{
}

void BargeInDetector::arm()
{
    m_armed = true;
    m_trigger.cancel();
    qCInfo(lcBargeIn, "armed");
}

void BargeInDetector::disarm()
{
    m_armed = false;
    m_trigger.cancel();
    qCInfo(lcBargeIn, "disarmed");
}

void BargeInDetector::handle(const VoiceActivity& activity)
{
    if (!m_armed)
        return;
    switch (activity.kind()) {
    case VoiceActivity::Kind::speechStarted: {
        const int waitMs = m_triggerSpeechMs;
        m_trigger.start(std::chrono::milliseconds(waitMs), [this, waitMs] {
            if (!m_armed)
                return;
            qCInfo(lcBargeIn, "barge-in triggered after %dms of user speech", waitMs);
            disarm();
            if (onBargeIn) {
                const auto callback = onBargeIn;
                callback();
            }
        });
        break;
    }
    case VoiceActivity::Kind::speechEnded:
        m_trigger.cancel();
        break;
    case VoiceActivity::Kind::level:
        break;
    }
}
