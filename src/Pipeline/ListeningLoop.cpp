#include "Pipeline/ListeningLoop.h"

#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/PhaseStateMachine.h"
#include "STT/StreamingSpeechRecognizer.h"
#include "Support/Text.h"
#include "VAD/EnergyVAD.h"

ListeningLoop::ListeningLoop(Parts parts, std::shared_ptr<AudioChannel> channel, StreamingSpeechRecognizer* recognizer,
                             Taps taps)
    : m_parts(parts), m_recognizer(recognizer), m_taps(std::move(taps))
{
    if (channel)
        m_subscription = std::make_unique<AudioSubscription>(std::move(channel),
                                                             [this](const AudioBufferPtr& buffer) { handle(buffer); });
}

void ListeningLoop::handle(const AudioBufferPtr& buffer)
{
    const AppSettings& settings = m_parts.settings;
    ++m_bufferCount;
    if (!m_firstBufferLogged) {
        m_firstBufferLogged = true;
        m_parts.log.record(QStringLiteral("audio"), QStringLiteral("first buffer received frames=%1 sr=%2 ch=%3")
                                                        .arg(buffer->frameCount())
                                                        .arg(Text::shortestDecimal(buffer->format().sampleRate))
                                                        .arg(buffer->format().channels));
    }
    // The detector's events are measured first, since the recognizer's gate needs the level
    // (its first event), and handled after the recognizer and the listeners have the buffer.
    const EnergyVAD::Events events = m_parts.vad.process(*buffer);
    const bool feeding =
        m_recognizer && (m_parts.fsm.phase() != ConversationPhase::speaking || settings.bargeInEnabled());
    m_gate.pass(buffer, events.first().levelValue(), [this, feeding](const AudioBufferPtr& heard) {
        if (feeding)
            m_recognizer->feed(heard);
    });
    if (m_taps.onBuffer)
        m_taps.onBuffer(buffer);

    const bool resting = settings.restingUntil().has_value();
    for (const VoiceActivity& event : events) {
        switch (event.kind()) {
        case VoiceActivity::Kind::level:
            if (!resting)
                m_parts.turnDetector.updateMicLevel(event.levelValue());
            m_parts.micLevel.offer(event.levelValue());
            break;
        case VoiceActivity::Kind::speechStarted:
            m_lastVadEvent = QStringLiteral("started");
            if (!resting && settings.cameraGazeEnabled() && m_taps.onSpeechStarted)
                m_taps.onSpeechStarted();
            break;
        case VoiceActivity::Kind::speechEnded:
            m_lastVadEvent = QStringLiteral("ended");
            break;
        }
        if (resting)
            continue;
        m_parts.turnDetector.handle(event);
        m_parts.bargeIn.handle(event);
    }
}
