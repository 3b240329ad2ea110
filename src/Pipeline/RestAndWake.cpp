#include "Pipeline/RestAndWake.h"

#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AssistantVoice.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/HistoryRecorder.h"
#include "Pipeline/LiveTranscript.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/WakePhrase.h"
#include "Skills/RestSkill.h"
#include "Support/Text.h"
#include "TTS/TTSQueue.h"

#include <algorithm>

namespace {

const QString kRestCategory = QStringLiteral("rest");
const QString kAnnouncementReason = QStringLiteral("rest announcement");
const QString kTimerReason = QStringLiteral("timer");

}  // namespace

RestAndWake::RestAndWake(Parts parts) : m_parts(std::move(parts)), m_timer(m_parts.scheduler)
{
    m_window = m_parts.settings.restingUntil();
    m_watch = QObject::connect(&m_parts.settings, &AppSettings::restingUntilChanged, [this] { restWindowChanged(); });
}

RestAndWake::~RestAndWake()
{
    QObject::disconnect(m_watch);
}

void RestAndWake::setRestWindow(const QDateTime& until)
{
    m_parts.settings.setRestingUntil(until);
}

void RestAndWake::restWindowChanged()
{
    const std::optional<QDateTime> window = m_parts.settings.restingUntil();
    if (window == m_window)
        return;
    m_window = window;
    m_timer.cancel();
    if (!window)
        return;
    m_parts.turnDetector.reset();
    m_parts.log.record(kRestCategory, QStringLiteral("resting until ") +
                                          window->toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                                          QStringLiteral(" +0000"));
    checkDeadline();
}

void RestAndWake::checkDeadline()
{
    if (!m_window)
        return;
    // The deadline is wall-clock time, which runs on while the machine sleeps and a
    // monotonic timer does not: wait in steps and look at the clock again after each.
    const auto left = std::chrono::milliseconds(m_parts.scheduler.wallNow().msecsTo(*m_window));
    if (left <= std::chrono::milliseconds::zero()) {
        m_timer.start(std::chrono::milliseconds::zero(), [this] { wakeFromRest(kTimerReason); });
        return;
    }
    m_timer.start(std::min<std::chrono::milliseconds>(left, kDeadlineCheck), [this] { checkDeadline(); });
}

void RestAndWake::restNow()
{
    if (!m_parts.state.isEnabled() || m_parts.settings.restingUntil())
        return;
    const ConversationPhase phase = m_parts.phase.phase();
    if (phase == ConversationPhase::thinking || phase == ConversationPhase::speaking ||
        phase == ConversationPhase::error)
        m_parts.stopReply();
    if (m_parts.phase.phase() != ConversationPhase::listening)
        return;
    const QString announcement = RestSkill::confirmation(int(kButtonRest.count()), m_parts.voice.spokenLanguage());
    m_parts.history.record(ConversationTurn::Role::assistant, announcement);
    m_parts.transcript.prepareForNextTurn();
    m_parts.settings.setRestingUntil(
        m_parts.scheduler.wallNow().addSecs(std::chrono::duration_cast<std::chrono::seconds>(kButtonRest).count()));
    m_parts.voice.speakAside(announcement, kAnnouncementReason);
}

void RestAndWake::wakeFromRest(const QString& reason)
{
    if (!m_parts.settings.restingUntil())
        return;
    m_parts.settings.setRestingUntil(std::nullopt);
    m_parts.log.record(kRestCategory, QStringLiteral("woke (") + reason + QLatin1Char(')'));
    m_parts.turnDetector.reset();
    m_parts.transcript.prepareForNextTurn();
    const QString line =
        m_parts.voice.line(reason == kTimerReason ? QStringLiteral("speech.rest_over") : QStringLiteral("speech.back"));
    m_parts.history.record(ConversationTurn::Role::assistant, line);
    switch (m_parts.phase.phase()) {
    case ConversationPhase::listening:
        m_parts.voice.speakAside(line, kAnnouncementReason);
        break;
    case ConversationPhase::thinking:
    case ConversationPhase::speaking:
        m_parts.voice.speak({line});
        break;
    default:
        // Idle, interrupted or error: the line stays in the history, unspoken.
        break;
    }
}

void RestAndWake::hearWhileResting(const QString& transcript)
{
    if (m_parts.speech.isSpeaking())
        return;
    if (WakePhrase::isWakeWord(WakePhrase::recentPart(transcript))) {
        m_parts.log.record(kRestCategory, QStringLiteral("wake phrase heard"));
        wakeFromRest(QStringLiteral("wake phrase"));
    } else if (Text::graphemeCount(transcript) > kMaxHeardChars) {
        m_parts.resetRecognizer();
    }
}

void RestAndWake::speechFinished()
{
    if (m_parts.settings.restingUntil())
        m_parts.resetRecognizer();
}

void RestAndWake::cancel()
{
    m_timer.cancel();
}
