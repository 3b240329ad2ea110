#include "Pipeline/TurnRoad.h"

#include "Backend/AssistantClient.h"
#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Persona/AliasStore.h"
#include "Persona/NemotronPersonaCatalog.h"
#include "Persona/PersonaStore.h"
#include "Pipeline/AssistantVoice.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/HistoryRecorder.h"
#include "Pipeline/LiveTranscript.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/ReplyConsumer.h"
#include "Pipeline/SkillConfirmation.h"
#include "Skills/SkillRegistry.h"
#include "Support/Text.h"

namespace {

constexpr qsizetype kLoggedTypedChars = 80;

}  // namespace

TurnRoad::TurnRoad(EngineState& state, PhaseStateMachine& phase, PipelineLog& log, const AppSettings& settings,
                   const SkillRegistry& registry, HistoryRecorder& history, AssistantVoice& voice,
                   LiveTranscript& transcript, AdaptiveTurnDetector& turnDetector, SkillConfirmation& confirmation,
                   Scheduler& scheduler, ClientFactory makeClient)
    : m_state(state), m_phase(phase), m_log(log), m_settings(settings), m_registry(registry), m_history(history),
      m_voice(voice), m_transcript(transcript), m_turnDetector(turnDetector), m_confirmation(confirmation),
      m_scheduler(scheduler), m_makeClient(std::move(makeClient))
{
}

TurnRoad::~TurnRoad()
{
    for (const QPointer<ReplyConsumer>& reply : std::as_const(m_replies))
        delete reply.data();
}

void TurnRoad::handleDetectedTurn(const QString& transcript, const QString& reason)
{
    m_state.setLastFireReason(reason);
    m_state.setLastFireAt(m_scheduler.wallNow());
    // As a typed turn does: after a failed reply the user is heard again at once.
    if (m_phase.phase() == ConversationPhase::error)
        m_phase.transition(ConversationPhase::listening, QStringLiteral("spoken turn (error → listening)"));
    handleTurnEnded(transcript);
}

void TurnRoad::handleTurnEnded(const QString& transcript)
{
    if (m_settings.restingUntil())
        return;
    if (m_confirmation.takeTurnWhileWaiting(transcript))
        return;
    if (m_phase.phase() != ConversationPhase::listening)
        return;

    const AppMode mode = m_settings.appMode();
    const QString text = recordUserTurn(transcript, mode);
    if (mode == AppMode::minutes) {
        if (onMinutesTurn)
            onMinutesTurn(text);
        return;
    }
    m_phase.transition(ConversationPhase::thinking, QStringLiteral("turn ended"));
    m_currentTranscript = text;
    m_state.setAssistantMessage({});
    startReply(text);
}

void TurnRoad::writeMinutesTurn(const QString& transcript)
{
    const QString text = recordUserTurn(transcript, AppMode::minutes);
    if (onMinutesTurn)
        onMinutesTurn(text);
}

void TurnRoad::amendMinutesTurn(const QString& transcript)
{
    const QString text = AliasStore::apply(transcript);
    m_log.record(QStringLiteral("turn"), QStringLiteral("final text of the last minutes turn: ") + text);
    if (onMinutesAmended)
        onMinutesAmended(text);
}

QString TurnRoad::recordUserTurn(const QString& transcript, AppMode mode)
{
    const QString text = AliasStore::apply(transcript);
    if (text != transcript)
        m_log.record(QStringLiteral("alias"),
                     QStringLiteral("applied: '") + transcript + QStringLiteral("' → '") + text + QLatin1Char('\''));
    m_log.record(QStringLiteral("turn"), QStringLiteral("ended (") + rawValue(mode) + QStringLiteral("): ") + text);
    m_history.record(ConversationTurn::Role::user, text);
    m_pendingTurnUserText = text;
    m_transcript.prepareForNextTurn();
    return text;
}

void TurnRoad::submitTextTurn(const QString& text)
{
    const QString trimmed = Text::trimmed(text);
    if (trimmed.isEmpty())
        return;
    // A typed turn is also the way out of an error, so one failed reply never leaves the user unheard.
    if (m_phase.phase() == ConversationPhase::idle)
        m_phase.transition(ConversationPhase::listening, QStringLiteral("text turn (idle → listening)"));
    else if (m_phase.phase() == ConversationPhase::error)
        m_phase.transition(ConversationPhase::listening, QStringLiteral("text turn (error → listening)"));
    if (m_phase.phase() != ConversationPhase::listening) {
        m_log.record(QStringLiteral("text"), QStringLiteral("ignored — phase=") + rawValue(m_phase.phase()));
        return;
    }
    m_log.record(QStringLiteral("text"),
                 QStringLiteral("submitted: ") + Text::graphemePrefix(trimmed, kLoggedTypedChars));
    handleTurnEnded(trimmed);
}

void TurnRoad::handleTranscript(const QString& text)
{
    if (m_phase.phase() == ConversationPhase::speaking && !m_settings.bargeInEnabled())
        return;
    if (m_settings.restingUntil()) {
        if (onRestingTranscript)
            onRestingTranscript(text);
        return;
    }
    m_transcript.show(text);
    if (m_state.pendingSkill() && m_confirmation.offerTranscript(text))
        return;
    m_turnDetector.handle(text);
}

void TurnRoad::cancelReply(StopCause cause)
{
    m_replyToken.cancel();
    for (const QPointer<ReplyConsumer>& reply : std::as_const(m_replies)) {
        if (reply) {
            reply->cancel();
            reply->deleteLater();
        }
    }
    m_replies.clear();
    m_voice.silence();

    const ConversationPhase phase = m_phase.phase();
    switch (cause) {
    case StopCause::bargeIn:
        if (phase == ConversationPhase::speaking) {
            m_phase.transition(ConversationPhase::interrupted, QStringLiteral("user barge-in"));
            m_phase.transition(ConversationPhase::listening, QStringLiteral("resume after barge-in"));
        } else if (phase == ConversationPhase::thinking) {
            m_phase.transition(ConversationPhase::listening, QStringLiteral("user barge-in"));
        }
        return;
    case StopCause::stopButton:
    case StopCause::rest:
        if (phase == ConversationPhase::thinking || phase == ConversationPhase::speaking ||
            phase == ConversationPhase::error)
            m_phase.transition(ConversationPhase::listening, cause == StopCause::rest
                                                                 ? QStringLiteral("rest button")
                                                                 : QStringLiteral("manual stop speaking"));
        return;
    }
}

void TurnRoad::startReply(const QString& text)
{
    const AppMode mode = m_settings.appMode();
    SystemPromptRequest request;
    request.name = m_settings.assistantName();
    request.localeID = m_settings.effectiveSTTLocale();
    request.toolsManifest = m_registry.toolsManifest(m_settings.disabledSkillIDs());
    request.mode = mode;
    request.personaID = NemotronPersonaCatalog::chosenID(m_settings, mode);
    if (mode == AppMode::translate)
        request.translateTargetLocale = m_settings.translateTargetLocale();

    streamReply(PersonaStore::systemPrompt(request), text, m_settings.effectiveTTSLocale());
}

CancelToken TurnRoad::streamReply(const QString& systemPrompt, const QString& transcript, const QString& localeID)
{
    const std::unique_ptr<AssistantClient> client = m_makeClient();
    std::unique_ptr<ReplyStream> stream =
        client->stream(systemPrompt, transcript, localeID, m_history.contextBeforeLatest());
    m_replyToken = CancelToken();
    auto* reply = new ReplyConsumer(std::move(stream), m_replyToken, m_state, m_voice);
    reply->onCompleted = [this, reply](const QString& replyText) { replyCompleted(reply, replyText); };
    reply->onFailed = [this, reply](const QString& description) { replyFailed(reply, description); };
    reply->onToolCall = [this, reply](const QString& rawJSON) { toolCallArrived(reply, rawJSON); };
    m_replies.append(reply);
    return m_replyToken;
}

void TurnRoad::replyCompleted(ReplyConsumer* reply, const QString& text)
{
    const bool latest = !m_replies.isEmpty() && m_replies.last() == reply;
    release(reply);
    // A blank reply is no answer: it would show as an empty bubble and reach the next prompt.
    if (!Text::trimmed(text).isEmpty()) {
        // The backend answers again: an earlier error no longer holds.
        m_state.setErrorMessage(std::nullopt);
        m_history.record(ConversationTurn::Role::assistant, text);
        if (onReplyStored)
            onReplyStored(m_pendingTurnUserText.value_or(QString()), text);
        m_pendingTurnUserText.reset();
    }
    m_log.record(QStringLiteral("llm"), QStringLiteral("completed (%1 chars)").arg(Text::graphemeCount(text)));
    // Nothing was spoken, so no end of speech will bring the phase back.
    if (latest && m_phase.phase() == ConversationPhase::thinking)
        m_phase.transition(ConversationPhase::listening, QStringLiteral("empty reply"));
}

void TurnRoad::replyFailed(ReplyConsumer* reply, const QString& description)
{
    release(reply);
    m_state.setErrorMessage(description);
    m_phase.transition(ConversationPhase::error, QStringLiteral("llm error"));
    m_log.record(QStringLiteral("error"), description);
}

void TurnRoad::toolCallArrived(ReplyConsumer* reply, const QString& rawJSON)
{
    const CancelToken token = reply->token();
    release(reply);
    m_state.setErrorMessage(std::nullopt);
    m_confirmation.handleToolCall(rawJSON, token);
}

void TurnRoad::release(ReplyConsumer* reply)
{
    m_replies.removeAll(reply);
    reply->deleteLater();
}
