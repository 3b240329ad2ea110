#include "Speech/SystemSpeechPlayer.h"

#include "SpeechWatchdog/SpeechWatchdog.h"
#include "Support/Text.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// The pause between sentences comes after each one, so a reply's first sound is not delayed.
constexpr double kLeadingSilenceSec = 0.0;
constexpr double kTrailingSilenceSec = 0.1;
const QString kDefaultLocale = QStringLiteral("en-US");

int characterCount(const QString& text)
{
    return static_cast<int>(Text::graphemeCount(text));
}

bool endsWithSentenceMark(const QString& text, qsizetype characters)
{
    static const QStringList kMarks{QStringLiteral("."), QStringLiteral("!"),  QStringLiteral("?"),
                                    QStringLiteral("…"), QStringLiteral("。"), QStringLiteral("！"),
                                    QStringLiteral("？")};
    const QString last = text.mid(Text::graphemePrefix(text, characters - 1).size());
    return kMarks.contains(last);
}

QString normalizedLocale(const QString& localeID)
{
    return QString(localeID).replace(QLatin1Char('_'), QLatin1Char('-'));
}

// Whether a voice's language tag is `locale` (already normalized), '_' counting as '-'.
bool sameLocale(const QString& language, const QString& locale)
{
    if (language.size() != locale.size())
        return false;
    for (qsizetype i = 0; i < language.size(); ++i) {
        const QChar c = language[i] == QLatin1Char('_') ? QLatin1Char('-') : language[i];
        if (c != locale[i])
            return false;
    }
    return true;
}

}  // namespace

SystemSpeechPlayer::SystemSpeechPlayer(std::unique_ptr<SpeechSynthesizer> synthesizer, Scheduler& scheduler)
    : m_synthesizer(std::move(synthesizer)), m_scheduler(scheduler), m_hardCeiling(scheduler)
{
    m_synthesizer->onStarted = [this](const SpeechUtterance& utterance) {
        if (utterance.id == m_generation && m_pending)
            m_currentStartedAt = m_scheduler.now();
        report(SpeechDiag::started(characterCount(utterance.text), m_currentVoiceLabel));
    };
    m_synthesizer->onFinished = [this](const SpeechUtterance& utterance) {
        handleEnd(utterance, SpeechDiag::finished(characterCount(utterance.text), elapsedMs()), std::nullopt);
    };
    m_synthesizer->onCancelled = [this](const SpeechUtterance& utterance) {
        handleEnd(utterance, SpeechDiag::cancelled(characterCount(utterance.text), elapsedMs()), std::nullopt);
    };
    m_synthesizer->onFailed = [this](const SpeechUtterance& utterance, const QString& reason) {
        handleEnd(utterance, SpeechDiag::aborted(reason, characterCount(utterance.text)),
                  SpeechPlayerError::playbackFailed(reason));
    };
}

SystemSpeechPlayer::~SystemSpeechPlayer()
{
    for (const Scheduler::TimerId id : m_completions)
        m_scheduler.cancel(id);
}

void SystemSpeechPlayer::speak(const QString& text, const std::optional<QString>& localeID, Completion done)
{
    stop();
    const QString trimmed = Text::trimmed(text);
    if (trimmed.isEmpty()) {
        // Nothing to say: a synthesizer would never report on it.
        complete(std::move(done), std::nullopt);
        return;
    }
    const int chars = characterCount(trimmed);
    QString spoken = trimmed;
    if (chars < 7 && !endsWithSentenceMark(trimmed, chars))
        spoken += QLatin1Char('.');

    const QString locale = localeID.value_or(kDefaultLocale);
    const std::optional<SpeechVoice> voice = voiceFor(locale);
    if (!voice) {
        report(SpeechDiag::aborted(QStringLiteral("no voice installed for locale '%1'").arg(locale), chars));
        complete(std::move(done), SpeechPlayerError::voiceUnavailable(locale));
        return;
    }

    m_currentChars = chars;
    m_currentVoiceLabel = QStringLiteral("%1 (%2)").arg(voice->name, voice->language);
    const double timeout = SpeechWatchdog::timeout(text, localeID);
    report(SpeechDiag::queued(chars, m_currentVoiceLabel, timeout));

    const quint64 generation = ++m_generation;
    m_pending = std::move(done);
    m_synthesizer->speak({generation, spoken, *voice, kLeadingSilenceSec, kTrailingSilenceSec});
    armHardCeiling(timeout, generation);
}

void SystemSpeechPlayer::stop()
{
    m_hardCeiling.cancel();
    if (m_synthesizer->isSpeaking())
        m_synthesizer->stop();
    finish(std::nullopt);
}

std::optional<SpeechVoice> SystemSpeechPlayer::bestVoice(const SpeechSynthesizer& synthesizer, const QString& localeID,
                                                         AvatarGender gender)
{
    const VoiceGender wanted = gender == AvatarGender::male ? VoiceGender::male : VoiceGender::female;
    const QString locale = normalizedLocale(localeID);
    const QString languageCode = locale.section(QLatin1Char('-'), 0, 0, QString::SectionSkipEmpty);

    // One pass, no copies: it runs before every utterance, ahead of its first sample.
    struct Group {
        const SpeechVoice* first = nullptr;
        const SpeechVoice* firstOfGender = nullptr;
        void offer(const SpeechVoice& voice, VoiceGender wantedGender)
        {
            if (!first)
                first = &voice;
            if (!firstOfGender && voice.gender == wantedGender)
                firstOfGender = &voice;
        }
        const SpeechVoice* best() const { return firstOfGender ? firstOfGender : first; }
    };
    Group exact;
    Group sameLanguage;
    const QList<SpeechVoice> voices = synthesizer.voices();
    for (const SpeechVoice& voice : voices) {
        if (sameLocale(voice.language, locale))
            exact.offer(voice, wanted);
        if (voice.language.startsWith(languageCode))
            sameLanguage.offer(voice, wanted);
    }
    for (const Group* group : {&exact, &sameLanguage}) {
        if (group->first)
            return *group->best();
    }
    return synthesizer.defaultVoice(localeID);
}

std::optional<SpeechVoice> SystemSpeechPlayer::voiceFor(const QString& localeID) const
{
    if (m_preferredVoiceID && !m_preferredVoiceID->isEmpty()) {
        const QList<SpeechVoice> installed = m_synthesizer->voices();
        const auto chosen = std::find_if(installed.begin(), installed.end(), [this](const SpeechVoice& voice) {
            return voice.identifier == *m_preferredVoiceID;
        });
        if (chosen != installed.end())
            return *chosen;
    }
    return bestVoice(*m_synthesizer, localeID, m_preferredGender);
}

void SystemSpeechPlayer::handleEnd(const SpeechUtterance& utterance, SpeechDiag diag,
                                   std::optional<SpeechPlayerError> error)
{
    report(diag);
    // A report about an utterance cut off earlier must not end the one speaking now.
    if (utterance.id == m_generation && m_pending)
        finish(std::move(error));
}

void SystemSpeechPlayer::armHardCeiling(double timeoutSec, quint64 generation)
{
    const auto delay = std::chrono::milliseconds(static_cast<long long>(std::ceil(timeoutSec * 1000.0)));
    m_hardCeiling.start(delay, [this, timeoutSec, generation] {
        if (generation != m_generation || !m_pending)
            return;
        // Whatever the synthesizer says: one that never started or never reports its end
        // must not keep the caller waiting.
        report(SpeechDiag::aborted(QStringLiteral("hard ceiling %1s reached").arg(static_cast<long long>(timeoutSec)),
                                   m_currentChars));
        m_synthesizer->stop();
        finish(SpeechPlayerError::timeout());
    });
}

void SystemSpeechPlayer::finish(std::optional<SpeechPlayerError> error)
{
    ++m_generation;
    m_hardCeiling.cancel();
    m_currentStartedAt.reset();
    if (m_pending)
        complete(std::exchange(m_pending, nullptr), std::move(error));
}

void SystemSpeechPlayer::complete(Completion done, std::optional<SpeechPlayerError> error)
{
    if (!done)
        return;
    // Through the event loop, so a caller is never re-entered from inside speak() or stop().
    auto id = std::make_shared<Scheduler::TimerId>(0);
    *id = m_scheduler.schedule(std::chrono::milliseconds(0), [this, id, done = std::move(done), error] {
        m_completions.erase(*id);
        done(error);
    });
    m_completions.insert(*id);
}

int SystemSpeechPlayer::elapsedMs() const
{
    if (!m_currentStartedAt)
        return 0;
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(m_scheduler.now() - *m_currentStartedAt).count());
}

void SystemSpeechPlayer::report(const SpeechDiag& diag)
{
    if (onDiagnostic)
        onDiagnostic(diag);
}
