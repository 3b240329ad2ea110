#pragma once

#include <QString>
#include <QStringList>

enum class AppLanguage;
class AppSettings;
class BargeInDetector;
class PhaseStateMachine;
class TTSQueue;

// The assistant's speech and the phase moves that go with it. Whatever is queued for speech
// goes through here, so the phase is speaking while the assistant talks (which keeps its own
// voice from the recognizer when barge-in is off) and barge-in is armed exactly while
// speech may play. GUI thread only.
class AssistantVoice {
public:
    AssistantVoice(PhaseStateMachine& phase, TTSQueue& speech, BargeInDetector& bargeIn, const AppSettings& settings);

    // The language the assistant speaks in: that of the speech-output locale, so the engine's
    // own lines are never read out by a voice of another language.
    AppLanguage spokenLanguage() const;
    // One of the engine's own lines, in that language.
    QString line(const QString& key) const;

    // thinking → speaking ("first sentence ready"), arming barge-in when it is enabled; in
    // any other phase nothing.
    void transitionToSpeakingIfNeeded();
    // Sentences of the reply being streamed, queued at once after the move to speaking.
    void speak(const QStringList& sentences);
    // Speech outside a streamed reply (a skill's question, result or refusal): from listening
    // the phase first moves to thinking with `reason`, then to speaking, as for a reply. In
    // idle, interrupted or error the text is queued without a move.
    void speakAside(const QString& text, const QString& reason);
    // Stops speech at once and disarms barge-in; the phase is the caller's.
    void silence();
    // The speech queue ran dry: barge-in is disarmed and speaking, or an error whose reply
    // was still being spoken, goes back to listening ("tts finished").
    void handleSpeechFinished();

private:
    PhaseStateMachine& m_phase;
    TTSQueue& m_speech;
    BargeInDetector& m_bargeIn;
    const AppSettings& m_settings;
};
