#include "Pipeline/AssistantVoice.h"

#include "Persistence/AppSettings.h"
#include "Persistence/L10n.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/PhaseStateMachine.h"
#include "TTS/TTSQueue.h"

AssistantVoice::AssistantVoice(PhaseStateMachine& phase, TTSQueue& speech, BargeInDetector& bargeIn,
                               const AppSettings& settings)
    : m_phase(phase), m_speech(speech), m_bargeIn(bargeIn), m_settings(settings)
{
}

AppLanguage AssistantVoice::spokenLanguage() const
{
    return L10n::languageOfLocale(m_settings.effectiveTTSLocale());
}

QString AssistantVoice::line(const QString& key) const
{
    return L10n::t(key, spokenLanguage());
}

void AssistantVoice::transitionToSpeakingIfNeeded()
{
    if (m_phase.phase() != ConversationPhase::thinking)
        return;
    m_phase.transition(ConversationPhase::speaking, QStringLiteral("first sentence ready"));
    if (m_settings.bargeInEnabled())
        m_bargeIn.arm();
}

void AssistantVoice::speak(const QStringList& sentences)
{
    transitionToSpeakingIfNeeded();
    m_speech.enqueue(sentences);
}

void AssistantVoice::speakAside(const QString& text, const QString& reason)
{
    if (m_phase.phase() == ConversationPhase::listening)
        m_phase.transition(ConversationPhase::thinking, reason);
    speak({text});
}

void AssistantVoice::silence()
{
    m_speech.cancel();
    m_bargeIn.disarm();
}

void AssistantVoice::handleSpeechFinished()
{
    m_bargeIn.disarm();
    const ConversationPhase phase = m_phase.phase();
    if (phase == ConversationPhase::speaking || phase == ConversationPhase::error)
        m_phase.transition(ConversationPhase::listening, QStringLiteral("tts finished"));
}
