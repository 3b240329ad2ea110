#include "Endpointing/AdaptiveTurnDetector.h"

#include "Endpointing/SilencePrediction.h"
#include "Support/Text.h"

#include <QLoggingCategory>

#include <algorithm>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcAdaptiveTurn, "app.parlivox.endpointing.adaptive")

// A pause shorter than this is a breath inside a phrase, not a pause between phrases.
constexpr int kShortestPauseMs = 101;

QString yesNo(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

int millisecondsBetween(Scheduler::TimePoint from, Scheduler::TimePoint to)
{
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
}

}  // namespace

AdaptiveTurnDetector::AdaptiveTurnDetector(Scheduler& scheduler)
    : m_scheduler(scheduler), m_silenceTask(scheduler), m_dwellTask(scheduler), m_graceFireTask(scheduler),
      m_finalTextTask(scheduler)
{
}

bool AdaptiveTurnDetector::isInSilence() const
{
    return m_lastSpeechEndedAt && !(m_lastSpeechStartedAt && *m_lastSpeechStartedAt > *m_lastSpeechEndedAt);
}

void AdaptiveTurnDetector::handle(const VoiceActivity& activity)
{
    const auto now = m_scheduler.now();
    switch (activity.kind()) {
    case VoiceActivity::Kind::speechStarted:
        recordPause(now);
        m_hasReceivedSpeech = true;
        m_lastSpeechStartedAt = now;
        if (!m_turnStartedAt)
            m_turnStartedAt = now;
        m_lastSpeechEndedAt.reset();
        if (m_handoffLatched) {
            m_handoffLatched = false;
            diagnose(QStringLiteral("HANDOFF LATCH cleared — user resumed speaking"));
        }
        // The dwell timer and a pending grace fire run on.
        m_silenceTask.cancel();
        m_finalTextTask.cancel();
        m_heldFireReason.reset();
        break;
    case VoiceActivity::Kind::speechEnded:
        m_lastSpeechEndedAt = now;
        diagnose(QStringLiteral("VAD speechEnded — gaze=") + rawValue(m_gazeMachine.state()));
        // The waits count from the real end of speech, which the detector saw a little late.
        if (m_gazeMachine.state() == GazeMachineState::averted && m_hasReceivedSpeech)
            scheduleFastFire(QStringLiteral("silence + look-away (primary)"), activity.silentForMs());
        else
            scheduleSilenceFire(activity.silentForMs());
        break;
    case VoiceActivity::Kind::level:
        break;  // levels arrive through updateMicLevel()
    }
}

void AdaptiveTurnDetector::handle(const QString& transcript)
{
    const bool wasEmpty = m_currentTranscript.isEmpty();
    if (transcript != m_currentTranscript) {
        m_currentTranscript = transcript;
        scheduleDwellFire();
    }
    if (wasEmpty && !transcript.isEmpty() && hasStartedSpeaking() && m_handoffLatched)
        scheduleFastFire(QStringLiteral("transcript arrived after handoff latch (turn-scoped)"));
    if (m_heldFireReason && !recognizerIsFinishing())
        releaseHeldFire();
}

void AdaptiveTurnDetector::updateMicLevel(double level)
{
    m_currentMicLevel = level;
    if (m_firstMicActivityAt || level < m_tuning.silenceMicThreshold)
        return;
    m_firstMicActivityAt = m_scheduler.now();
    diagnose(QString::asprintf("FIRST MIC ACTIVITY at level=%.2f (>= %.2f) — 발화 시작 latched", level,
                               m_tuning.silenceMicThreshold));
    if (onMicActivityFirstDetected) {
        const auto callback = onMicActivityFirstDetected;
        callback(m_scheduler.wallNow());
    }
}

void AdaptiveTurnDetector::updateGaze(const GazeState& estimate)
{
    m_currentGaze = estimate;
    const auto transition = m_gazeMachine.update(estimate, m_scheduler.now());
    if (!transition)
        return;
    diagnose(QStringLiteral("gaze FSM → %1 [%2] | hasSpoken=%3 inSilence=%4 transcriptLen=%5")
                 .arg(rawValue(m_gazeMachine.state()), rawValue(*transition), yesNo(m_hasReceivedSpeech),
                      yesNo(isInSilence()))
                 .arg(Text::graphemeCount(m_currentTranscript)));

    switch (*transition) {
    case GazeTransition::reengaged: {
        const bool cancelledSomething = m_silenceTask.isPending() || m_graceFireTask.isPending();
        m_silenceTask.cancel();
        m_graceFireTask.cancel();
        if (cancelledSomething)
            diagnose(
                QStringLiteral("look-away fast-fire CANCELLED — user returned to eye contact (silence+grace cleared)"));
        // A fast fire that was already rejected has left the silence slot empty: without a
        // fresh silence fire the turn would wait for the much longer dwell.
        if (isInSilence())
            scheduleSilenceFire();
        break;
    }
    case GazeTransition::avertedAfterEngagement:
        if (!hasStartedSpeaking()) {
            diagnose(QStringLiteral("look-away ignored — hasStartedSpeaking=false (no mic activity, no VAD onset)"));
            break;
        }
        m_handoffLatched = true;
        diagnose(QStringLiteral("HANDOFF LATCHED (turn-scoped) — via ") +
                 (m_hasReceivedSpeech ? QStringLiteral("VAD") : QStringLiteral("mic")));
        scheduleFastFire(QStringLiteral("look-away (primary, debounced)"));
        break;
    case GazeTransition::enteredEngaged:
    case GazeTransition::avertedWithoutEngagement:
    case GazeTransition::faceLost:
        break;
    }
}

void AdaptiveTurnDetector::forceFire(const QString& reason)
{
    const QString text = Text::trimmed(m_currentTranscript);
    if (text.isEmpty()) {
        diagnose(QStringLiteral("manual fire ignored — transcript empty"));
        return;
    }
    diagnose(QStringLiteral("MANUAL FIRE — '%1'").arg(text));
    deliver(text, reason);
}

void AdaptiveTurnDetector::reset()
{
    m_currentTranscript.clear();
    m_hasReceivedSpeech = false;
    m_firstMicActivityAt.reset();
    m_lastSpeechEndedAt.reset();
    m_lastSpeechStartedAt.reset();
    m_turnStartedAt.reset();
    m_pauseSamplesMs.clear();
    m_handoffLatched = false;
    m_gazeMachine.reset();
    m_silenceTask.cancel();
    m_dwellTask.cancel();
    m_graceFireTask.cancel();
    m_finalTextTask.cancel();
    m_heldFireReason.reset();
}

void AdaptiveTurnDetector::trimPauseSamples(int keepLatest)
{
    if (keepLatest >= 1 && m_pauseSamplesMs.size() > static_cast<std::size_t>(keepLatest))
        m_pauseSamplesMs.erase(m_pauseSamplesMs.begin(), m_pauseSamplesMs.end() - keepLatest);
}

int AdaptiveTurnDetector::predictedSilenceMs() const
{
    std::optional<double> sinceTurnStart;
    if (m_turnStartedAt)
        sinceTurnStart = Scheduler::secondsBetween(*m_turnStartedAt, m_scheduler.now());
    return SilencePrediction{
        .initialSilenceMs = m_tuning.initialSilenceMs,
        .minSilenceMs = m_tuning.minSilenceMs,
        .maxSilenceMs = m_tuning.maxSilenceMs,
        .pauseSamplesMs = m_pauseSamplesMs,
        .transcript = m_currentTranscript,
        .secondsSinceTurnStart = sinceTurnStart,
        .gaze = m_gazeMachine.state(),
        .gazeConfidence = m_currentGaze.confidence,
    }
        .predictedMs();
}

void AdaptiveTurnDetector::recordPause(Scheduler::TimePoint now)
{
    if (!m_lastSpeechEndedAt) {
        diagnose(QStringLiteral("VAD speechStarted (turn opened)"));
        return;
    }
    const int pauseMs = millisecondsBetween(*m_lastSpeechEndedAt, now);
    if (pauseMs >= kShortestPauseMs)
        m_pauseSamplesMs.push_back(pauseMs);
    diagnose(QStringLiteral("VAD speechStarted (pause=%1ms, samples=%2)").arg(pauseMs).arg(m_pauseSamplesMs.size()));
}

void AdaptiveTurnDetector::scheduleSilenceFire(int alreadySilentMs)
{
    const int lengthMs = predictedSilenceMs();
    qCInfo(lcAdaptiveTurn, "schedule silence fire in %dms (samples=%d tail='%s' gaze=%s)", lengthMs,
           pauseSamplesCount(), qUtf8Printable(SilencePrediction::trailingToken(m_currentTranscript)),
           qUtf8Printable(rawValue(m_currentGaze.status)));
    // No snapshot: a new onset cancels this wait, so a transcript that changes during it is the
    // recognizer finishing what it heard before the silence (its final text often comes after
    // the end of speech and revises the last partial). The turn ends on time with that text.
    m_silenceTask.start(std::chrono::milliseconds(std::max(0, lengthMs - alreadySilentMs)), [this, lengthMs] {
        const QString reason = QStringLiteral("predicted silence %1ms").arg(lengthMs);
        if (hasStartedSpeaking() && m_tuning.finalTextWaitMs > 0 && recognizerIsFinishing())
            holdForFinalText(reason);
        else
            readyCheck(reason, std::nullopt);
    });
}

void AdaptiveTurnDetector::scheduleDwellFire()
{
    const int lengthMs = m_tuning.transcriptDwellMs;
    m_dwellTask.start(std::chrono::milliseconds(lengthMs), [this, lengthMs, snapshot = m_currentTranscript] {
        readyCheck(QStringLiteral("transcript dwell %1ms").arg(lengthMs), snapshot);
    });
}

void AdaptiveTurnDetector::scheduleFastFire(const QString& reason, int alreadySilentMs)
{
    diagnose(QStringLiteral("FAST-FIRE scheduled in %1ms — %2 — transcript='%3'")
                 .arg(QString::number(m_tuning.fastFireMs), reason, m_currentTranscript));
    m_silenceTask.start(std::chrono::milliseconds(std::max(0, m_tuning.fastFireMs - alreadySilentMs)),
                        [this, reason] { fastFireCheck(reason); });
}

// The silence and dwell fires deliver only a turn that has begun and has enough text, the
// dwell only one whose transcript has not changed while it ran; a refusal leaves the turn to
// the other inputs.
void AdaptiveTurnDetector::readyCheck(const QString& reason, const std::optional<QString>& snapshot)
{
    if (!hasStartedSpeaking())
        return;
    const QString text = Text::trimmed(m_currentTranscript);
    if (Text::graphemeCount(text) < m_tuning.minTranscriptChars)
        return;
    if (snapshot && m_currentTranscript != *snapshot)
        return;
    qCInfo(lcAdaptiveTurn, "turn ended: %s — '%s'", qUtf8Printable(reason), qUtf8Printable(text));
    deliver(text, reason);
}

// The recognizer's final text comes a little after the speech and may revise or add the last
// words; a turn that ended on the partial would lose them. The wait is bounded: a final that
// never comes (a failed or empty one) only delays the turn.
void AdaptiveTurnDetector::holdForFinalText(const QString& reason)
{
    diagnose(QStringLiteral("silence fire waits up to %1ms for the recognizer's final text").arg(m_tuning.finalTextWaitMs));
    m_heldFireReason = reason;
    m_heldSince = m_scheduler.now();
    m_finalTextTask.start(std::chrono::milliseconds(m_tuning.finalTextWaitMs), [this] {
        diagnose(QStringLiteral("no final text came — the turn ends with the recognizer's partial"));
        releaseHeldFire();
    });
}

bool AdaptiveTurnDetector::recognizerIsFinishing() const
{
    return isTranscriptFinishing && isTranscriptFinishing();
}

void AdaptiveTurnDetector::releaseHeldFire()
{
    const bool cameInTime = m_finalTextTask.isPending();
    m_finalTextTask.cancel();
    const std::optional<QString> reason = std::exchange(m_heldFireReason, std::nullopt);
    if (!reason)
        return;
    if (cameInTime)
        diagnose(QStringLiteral("final text came %1ms into the wait for it")
                     .arg(millisecondsBetween(m_heldSince, m_scheduler.now())));
    readyCheck(*reason, std::nullopt);
}

void AdaptiveTurnDetector::fastFireCheck(const QString& reason)
{
    if (!hasStartedSpeaking()) {
        diagnose(QStringLiteral("fast-fire REJECTED: hasStartedSpeaking=false (%1)").arg(reason));
        return;
    }
    const QString initial = Text::trimmed(m_currentTranscript);
    const qsizetype initialChars = Text::graphemeCount(initial);
    if (initialChars < m_tuning.minTranscriptChars) {
        diagnose(QStringLiteral("fast-fire REJECTED: transcript empty (%1)").arg(reason));
        return;
    }
    if (m_currentMicLevel >= m_tuning.silenceMicThreshold) {
        diagnose(QString::asprintf("fast-fire REJECTED: still speaking (mic=%.2f >= ", m_currentMicLevel) +
                 Text::shortestDecimal(m_tuning.silenceMicThreshold) + QStringLiteral(") (%1)").arg(reason));
        return;
    }

    diagnose(QStringLiteral("fast-fire grace start %1ms — initial='%2' (%3 chars) reason='%4'")
                 .arg(QString::number(m_tuning.fastFireGraceMs), initial, QString::number(initialChars), reason));
    // Words that arrive during the grace window join the turn; a transcript that shrank
    // (a recognizer revision) never replaces the longer one.
    m_graceFireTask.start(std::chrono::milliseconds(m_tuning.fastFireGraceMs), [this, reason, initial, initialChars] {
        const QString latest = Text::trimmed(m_currentTranscript);
        const qsizetype latestChars = Text::graphemeCount(latest);
        const bool takeLatest = latestChars >= initialChars;
        const QString delivered = takeLatest ? latest : initial;
        const qsizetype deliveredChars = takeLatest ? latestChars : initialChars;
        diagnose(QStringLiteral("fast-fire FIRED — %1 — '%2' (%3 chars; +%4 during grace)")
                     .arg(reason, delivered, QString::number(deliveredChars),
                          QString::number(deliveredChars - initialChars)));
        deliver(delivered, reason);
    });
}

// The detector is fresh before the handler runs, so the handler may feed or fire it again.
void AdaptiveTurnDetector::deliver(const QString& transcript, const QString& reason)
{
    reset();
    if (onTurnEnded) {
        const auto callback = onTurnEnded;
        callback(transcript, reason);
    }
}

void AdaptiveTurnDetector::diagnose(const QString& message) const
{
    qCInfo(lcAdaptiveTurn).noquote() << message;
    if (onDiagnostic) {
        const auto callback = onDiagnostic;
        callback(message);
    }
}
