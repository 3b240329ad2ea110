#pragma once

#include "Persistence/AvatarGender.h"
#include "Speech/SpeechDiag.h"
#include "Speech/SpeechPlayer.h"
#include "Speech/SpeechSynthesizer.h"
#include "Support/Scheduler.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>

// The speech player on the platform's synthesizer: one utterance at a time, the voice chosen
// from the settings or by locale and gender, every utterance bounded by a hard time limit,
// each step reported as a SpeechDiag. Used on the GUI thread.
class SystemSpeechPlayer final : public SpeechPlayer {
public:
    SystemSpeechPlayer(std::unique_ptr<SpeechSynthesizer> synthesizer, Scheduler& scheduler);
    ~SystemSpeechPlayer() override;
    SystemSpeechPlayer(const SystemSpeechPlayer&) = delete;
    SystemSpeechPlayer& operator=(const SystemSpeechPlayer&) = delete;

    void speak(const QString& text, const std::optional<QString>& localeID, Completion done) override;
    void stop() override;

    // The voice for a locale when none is chosen: exact locale first, then the same language,
    // preferring the gender within each group and keeping the platform's order; else the
    // platform's own choice, which may be nothing.
    static std::optional<SpeechVoice> bestVoice(const SpeechSynthesizer& synthesizer, const QString& localeID,
                                                AvatarGender gender);
    // The installed voices, for the voice picker.
    QList<SpeechVoice> voices() const { return m_synthesizer->voices(); }

    AvatarGender preferredGender() const { return m_preferredGender; }
    void setPreferredGender(AvatarGender gender) { m_preferredGender = gender; }
    // "" or nothing chooses automatically; an identifier that is not installed does too.
    std::optional<QString> preferredVoiceID() const { return m_preferredVoiceID; }
    void setPreferredVoiceID(const std::optional<QString>& voiceID) { m_preferredVoiceID = voiceID; }

    std::function<void(const SpeechDiag&)> onDiagnostic;

private:
    std::optional<SpeechVoice> voiceFor(const QString& localeID) const;
    void handleEnd(const SpeechUtterance& utterance, SpeechDiag diag, std::optional<SpeechPlayerError> error);
    void armHardCeiling(double timeoutSec, quint64 generation);
    void finish(std::optional<SpeechPlayerError> error);
    void complete(Completion done, std::optional<SpeechPlayerError> error);
    int elapsedMs() const;
    void report(const SpeechDiag& diag);

    std::unique_ptr<SpeechSynthesizer> m_synthesizer;
    Scheduler& m_scheduler;
    Completion m_pending;  // the speak() call waiting for its utterance to end
    AvatarGender m_preferredGender = AvatarGender::female;
    std::optional<QString> m_preferredVoiceID;
    int m_currentChars = 0;
    std::optional<Scheduler::TimePoint> m_currentStartedAt;
    QString m_currentVoiceLabel = QStringLiteral("?");
    SingleShot m_hardCeiling;
    // Raised at every start and end of an utterance; the current utterance's id is the value
    // it got at its start, so reports and timers of older utterances never match.
    quint64 m_generation = 0;
    std::unordered_set<Scheduler::TimerId> m_completions;  // completions waiting for the event loop
};
