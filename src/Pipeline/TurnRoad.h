#pragma once

#include "Persistence/AppMode.h"
#include "Pipeline/CancelToken.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class AdaptiveTurnDetector;
class AppSettings;
class AssistantClient;
class AssistantVoice;
class EngineState;
class HistoryRecorder;
class LiveTranscript;
class PhaseStateMachine;
class PipelineLog;
class ReplyConsumer;
class Scheduler;
class SkillConfirmation;
class SkillRegistry;

// The road of one turn: a finished utterance (from the turn detector or the chat composer)
// is checked, corrected with the user's aliases, recorded, and answered by a fresh backend
// client whose reply is shown and spoken as it streams; a tool call at its end goes to the
// skill confirmation. A reply that arrives clears the error shown. Also the turn side of the recognizer's transcripts,
// and cancelling a reply with the phase move that fits the cause. GUI thread only.
class TurnRoad {
public:
    using ClientFactory = std::function<std::unique_ptr<AssistantClient>()>;

    // Why a reply is being cut short; each cause leaves the phase where the user expects it.
    enum class StopCause {
        bargeIn,  // speaking → interrupted → listening, thinking → listening
        stopButton,  // thinking, speaking or error → listening
        rest,  // thinking, speaking or error → listening
    };

    TurnRoad(EngineState& state, PhaseStateMachine& phase, PipelineLog& log, const AppSettings& settings,
             const SkillRegistry& registry, HistoryRecorder& history, AssistantVoice& voice, LiveTranscript& transcript,
             AdaptiveTurnDetector& turnDetector, SkillConfirmation& confirmation, Scheduler& scheduler,
             ClientFactory makeClient);
    ~TurnRoad();
    TurnRoad(const TurnRoad&) = delete;
    TurnRoad& operator=(const TurnRoad&) = delete;

    // The turn detector fired: the fire's reason and time are published, an error gives way
    // to listening as for a typed turn, then the turn ends.
    void handleDetectedTurn(const QString& transcript, const QString& reason);
    // The end of a user turn; dropped unless the phase is listening and no rest is set.
    // While a skill call waits, the turn is its answer or is dropped.
    void handleTurnEnded(const QString& transcript);
    // The minutes turn still open when minutes stop or pause, whatever the mode and the rest
    // window are by then: recorded and written down like any minutes turn.
    void writeMinutesTurn(const QString& transcript);
    // The recognizer's final text of the last minutes turn, which ended before it came: the
    // turn's words as finally recognized, corrected with the aliases.
    void amendMinutesTurn(const QString& transcript);
    // A typed turn: blank text does nothing; idle and error first move to listening.
    void submitTextTurn(const QString& text);
    // The recognizer's whole transcript so far.
    void handleTranscript(const QString& text);

    // Cancels the reply being received and any skill run it started, stops speech, disarms
    // barge-in and moves the phase as the cause says.
    void cancelReply(StopCause cause);

    // The text of the turn being answered (the camera pass asks it again).
    const QString& currentTranscript() const { return m_currentTranscript; }
    // Asks the backend about `transcript` under `systemPrompt`, with the recent history before
    // the newest turn, and shows, speaks and records the reply like any other; the camera
    // pass asks its second question this way. Returns the reply's token.
    CancelToken streamReply(const QString& systemPrompt, const QString& transcript, const QString& localeID);

    // Hooks the engine fills, each optional:
    // a minutes-mode turn, already in the history; the road stops there, in listening.
    std::function<void(const QString& text)> onMinutesTurn;
    // The last minutes turn's final words.
    std::function<void(const QString& text)> onMinutesAmended;
    // A reply stored as an assistant turn, with the user text it answers (notes vault).
    std::function<void(const QString& userText, const QString& replyText)> onReplyStored;
    // A transcript while resting: it goes only here (the wake check), never to the turn.
    std::function<void(const QString& text)> onRestingTranscript;

private:
    // The user's turn after the aliases, logged and kept in the history; the next one starts
    // empty. Returns the text.
    QString recordUserTurn(const QString& transcript, AppMode mode);
    void startReply(const QString& text);
    void replyCompleted(ReplyConsumer* consumer, const QString& text);
    void replyFailed(ReplyConsumer* consumer, const QString& description);
    void toolCallArrived(ReplyConsumer* consumer, const QString& rawJSON);
    void release(ReplyConsumer* consumer);

    EngineState& m_state;
    PhaseStateMachine& m_phase;
    PipelineLog& m_log;
    const AppSettings& m_settings;
    const SkillRegistry& m_registry;
    HistoryRecorder& m_history;
    AssistantVoice& m_voice;
    LiveTranscript& m_transcript;
    AdaptiveTurnDetector& m_turnDetector;
    SkillConfirmation& m_confirmation;
    Scheduler& m_scheduler;
    ClientFactory m_makeClient;

    QString m_currentTranscript;
    std::optional<QString> m_pendingTurnUserText;
    CancelToken m_replyToken;  // the latest turn's: reaches its reply and the skill run it starts
    // Replies still streaming. A new turn does not cancel an older reply; cancelReply stops all.
    QList<QPointer<ReplyConsumer>> m_replies;
};
