#include "Pipeline/SkillConfirmation.h"

#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AssistantVoice.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/HistoryRecorder.h"
#include "Pipeline/LiveTranscript.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/VoiceAnswer.h"
#include "Skills/SkillCall.h"
#include "Skills/SkillRegistry.h"
#include "Support/Text.h"

namespace {

constexpr qsizetype kLoggedChars = 120;
const QString kSkillCategory = QStringLiteral("skill");
const QString kQuestionReason = QStringLiteral("skill confirmation");
const QString kAnswerReason = QStringLiteral("skill result");

}  // namespace

SkillConfirmation::SkillConfirmation(EngineState& state, PhaseStateMachine& phase, PipelineLog& log,
                                     const SkillRegistry& registry, const AppSettings& settings, AssistantVoice& voice,
                                     HistoryRecorder& history, LiveTranscript& transcript,
                                     AdaptiveTurnDetector& turnDetector, Scheduler& scheduler)
    : m_state(state), m_phase(phase), m_log(log), m_registry(registry), m_settings(settings), m_voice(voice),
      m_history(history), m_transcript(transcript), m_turnDetector(turnDetector), m_settle(scheduler)
{
}

void SkillConfirmation::handleToolCall(const QString& rawJSON, const CancelToken& token)
{
    const QString json = Text::trimmed(rawJSON);
    const std::optional<SkillCall> call = SkillCall::decode(json);
    if (!call) {
        m_log.record(kSkillCategory,
                     QStringLiteral("failed to decode JSON tool call: ") + Text::graphemePrefix(json, kLoggedChars));
        m_phase.transition(ConversationPhase::listening, QStringLiteral("tool call decode failed"));
        return;
    }
    const std::shared_ptr<Skill> skill = m_registry.skill(call->skill);
    if (!skill) {
        m_log.record(kSkillCategory, QStringLiteral("unknown skill id '") + call->skill + QLatin1Char('\''));
        m_phase.transition(ConversationPhase::listening, QStringLiteral("unknown skill"));
        return;
    }
    if (!m_settings.isSkillEnabled(skill->id())) {
        m_log.record(kSkillCategory, QStringLiteral("✗ blocked disabled skill '") + skill->id() + QLatin1Char('\''));
        m_voice.speakAside(m_voice.line(QStringLiteral("speech.skill_off")), kAnswerReason);
        return;
    }
    const SkillArgs args = call->argsOrEmpty();
    const QString summary = skill->summary(args, m_voice.spokenLanguage());
    m_log.record(kSkillCategory,
                 QStringLiteral("→ ") + skill->id() + QStringLiteral(" (") + summary + QLatin1Char(')'));
    if (skill->id() == QLatin1String("camera.describe") && onCameraDescribe) {
        onCameraDescribe(token);
        return;
    }
    if (skill->requiresConfirmation()) {
        m_settle.cancel();
        m_heldAnswer.clear();
        m_state.setPendingSkill(PendingSkill::make(skill->id(), summary, args));
        m_voice.speakAside(m_voice.line(QStringLiteral("speech.skill_question")).arg(summary), kQuestionReason);
        return;
    }
    executeSkill(skill, args, token);
}

void SkillConfirmation::executeSkill(const std::shared_ptr<Skill>& skill, const SkillArgs& args,
                                     const CancelToken& token)
{
    const std::weak_ptr<int> alive = m_lifetime;
    const QString id = skill->id();
    skill->run(args, m_voice.spokenLanguage(), [this, alive, id, args, token](const Skill::Outcome& outcome) {
        if (alive.expired())
            return;
        // A run the user stopped still happened, so its result is recorded, but not spoken.
        const bool speak = !token.isCancelled();
        if (const auto* result = std::get_if<QString>(&outcome)) {
            m_log.record(kSkillCategory, QStringLiteral("✓ ") + id + QStringLiteral(" → ") +
                                             Text::graphemePrefix(*result, kLoggedChars));
            const QString note = Text::trimmed(args.value(QStringLiteral("note")));
            if (id == QLatin1String("memory.add") && !note.isEmpty() && onMemoryNoted)
                onMemoryNoted(note);
            m_history.record(ConversationTurn::Role::assistant, *result);
            if (speak)
                m_voice.speakAside(*result, kAnswerReason);
        } else {
            const QString description = std::get<SkillError>(outcome).description();
            m_log.record(QStringLiteral("error"),
                         QStringLiteral("skill ") + id + QStringLiteral(" failed: ") + description);
            if (speak)
                m_voice.speakAside(m_voice.line(QStringLiteral("speech.skill_failed")).arg(description), kAnswerReason);
        }
        if (speak)
            m_transcript.prepareForNextTurn();
    });
}

void SkillConfirmation::approvePendingSkill()
{
    const std::optional<PendingSkill> pending = m_state.pendingSkill();
    if (!pending)
        return;
    const std::shared_ptr<Skill> skill = m_registry.skill(pending->skillID);
    if (!skill)
        return;
    clearPending();
    executeSkill(skill, pending->args, CancelToken());
}

void SkillConfirmation::cancelPendingSkill()
{
    const std::optional<PendingSkill> pending = m_state.pendingSkill();
    if (!pending)
        return;
    m_log.record(kSkillCategory, QStringLiteral("✗ user cancelled ") + pending->skillID);
    clearPending();
    const QString cancelled = m_voice.line(QStringLiteral("speech.cancelled"));
    m_history.record(ConversationTurn::Role::assistant, cancelled);
    m_voice.speakAside(cancelled, kAnswerReason);
    m_transcript.prepareForNextTurn();
}

bool SkillConfirmation::offerTranscript(const QString& transcript)
{
    if (!m_state.pendingSkill() || VoiceAnswer::classify(transcript) == VoiceAnswer::Kind::none) {
        m_settle.cancel();
        m_heldAnswer.clear();
        return false;
    }
    if (transcript != m_heldAnswer || !m_settle.isPending()) {
        m_heldAnswer = transcript;
        m_settle.start(kAnswerSettleTime, [this, transcript] { takeAnswer(transcript); });
    }
    return true;
}

bool SkillConfirmation::takeTurnWhileWaiting(const QString& transcript)
{
    const std::optional<PendingSkill> pending = m_state.pendingSkill();
    if (!pending)
        return false;
    if (takeAnswer(transcript))
        return true;
    m_log.record(kSkillCategory, QStringLiteral("not an answer, still waiting for ") + pending->skillID +
                                     QStringLiteral(": '") + transcript + QLatin1Char('\''));
    // The next words are heard afresh, without this turn's.
    m_transcript.prepareForNextTurn();
    return true;
}

void SkillConfirmation::clearPending()
{
    m_settle.cancel();
    m_heldAnswer.clear();
    m_state.setPendingSkill(std::nullopt);
}

bool SkillConfirmation::takeAnswer(const QString& transcript)
{
    const VoiceAnswer::Kind kind = VoiceAnswer::classify(transcript);
    if (kind == VoiceAnswer::Kind::none)
        return false;
    m_settle.cancel();
    m_heldAnswer.clear();
    // The answer's own fragments must not come back as a turn of their own.
    m_turnDetector.reset();
    m_transcript.prepareForNextTurn();
    const bool approve = kind == VoiceAnswer::Kind::approve;
    m_log.record(kSkillCategory,
                 (approve ? QStringLiteral("voice approve via '") : QStringLiteral("voice cancel via '")) + transcript +
                     QLatin1Char('\''));
    if (approve)
        approvePendingSkill();
    else
        cancelPendingSkill();
    return true;
}
