#pragma once

#include "Pipeline/CancelToken.h"
#include "Skills/SkillArgs.h"
#include "Support/Scheduler.h"

#include <QString>

#include <functional>
#include <memory>

class AdaptiveTurnDetector;
class AppSettings;
class AssistantVoice;
class EngineState;
class HistoryRecorder;
class LiveTranscript;
class PhaseStateMachine;
class PipelineLog;
class Skill;
class SkillRegistry;

// The engine's side of tool calls: a decoded call is refused (disabled), run, handed to the
// camera pass or held until the user approves or cancels it by button or by voice. At most
// one call waits; the engine publishes it as EngineState::pendingSkill. GUI thread only.
//
// A spoken answer is taken only once the transcript has stayed the same for
// kAnswerSettleTime, or when the user's turn ends, never on a first partial; taking it
// resets the turn detector and the transcript at once, so no fragment of it comes back as
// a turn of its own.
class SkillConfirmation {
public:
    static constexpr std::chrono::milliseconds kAnswerSettleTime{600};

    SkillConfirmation(EngineState& state, PhaseStateMachine& phase, PipelineLog& log, const SkillRegistry& registry,
                      const AppSettings& settings, AssistantVoice& voice, HistoryRecorder& history,
                      LiveTranscript& transcript, AdaptiveTurnDetector& turnDetector, Scheduler& scheduler);

    // The end of a reply that held a tool-call line. `token` is the reply's: when it is
    // cancelled while a skill runs, the result is still recorded but not spoken.
    void handleToolCall(const QString& rawJSON, const CancelToken& token);

    // The confirmation card's buttons; nothing happens when no call waits.
    void approvePendingSkill();
    void cancelPendingSkill();

    // A transcript update while a call waits. True when it reads as an answer: it is then
    // held back from the turn detector and taken if it stays unchanged for the settle time.
    bool offerTranscript(const QString& transcript);
    // The user's turn ended with `transcript`. While a call waits, a turn is its answer or
    // nothing: an answer is taken, anything else is dropped (an answer still settling is taken
    // when it has settled), so a misheard answer never reaches the backend as a request while
    // the card is up. True when a call was waiting.
    bool takeTurnWhileWaiting(const QString& transcript);
    // Forgets the waiting call (the session ended), so a later "네" approves nothing.
    void clearPending();

    // The camera pass takes over a "camera.describe" call; the reply's token goes with it.
    // Left unset, the call is run like any other skill.
    std::function<void(const CancelToken& token)> onCameraDescribe;
    // A "memory.add" call stored a note (for the notes vault).
    std::function<void(const QString& note)> onMemoryNoted;

private:
    bool takeAnswer(const QString& transcript);
    void executeSkill(const std::shared_ptr<Skill>& skill, const SkillArgs& args, const CancelToken& token);

    EngineState& m_state;
    PhaseStateMachine& m_phase;
    PipelineLog& m_log;
    const SkillRegistry& m_registry;
    const AppSettings& m_settings;
    AssistantVoice& m_voice;
    HistoryRecorder& m_history;
    LiveTranscript& m_transcript;
    AdaptiveTurnDetector& m_turnDetector;
    SingleShot m_settle;
    QString m_heldAnswer;
    // Skills may answer after this object is gone; their completions check this first.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};
