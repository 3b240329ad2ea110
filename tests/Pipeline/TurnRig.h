#pragma once

#include "Backend/AssistantClient.h"
#include "Conversation/ConversationHistory.h"
#include "Diagnostics/PipelineLog.h"
#include "Endpointing/AdaptiveTurnDetector.h"
#include "Persistence/AppSettings.h"
#include "Pipeline/AssistantVoice.h"
#include "Pipeline/BargeInDetector.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/HistoryRecorder.h"
#include "Pipeline/LiveTranscript.h"
#include "Pipeline/PhaseStateMachine.h"
#include "Pipeline/SkillConfirmation.h"
#include "Pipeline/TurnRoad.h"
#include "Skills/SkillRegistry.h"
#include "Support/UserDefaults.h"
#include "TTS/TTSQueue.h"

#include "Common/FakeScheduler.h"
#include "Common/ScriptedSpeechPlayer.h"
#include "Common/TestEnvironment.h"

#include <QPointer>

// A backend whose replies the test writes piece by piece.
struct ScriptedBackend {
    struct Call {
        QString transcript;
        QString localeID;
        QList<ConversationTurn> history;
    };
    struct Client final : AssistantClient {
        explicit Client(ScriptedBackend& backend) : backend(backend) {}
        std::unique_ptr<ReplyStream> stream(const QString&, const QString& transcript, const QString& localeID,
                                            const QList<ConversationTurn>& history) const override
        {
            backend.calls.push_back({transcript, localeID, history});
            auto stream = std::make_unique<ReplyStream>();
            backend.stream = stream.get();
            return stream;
        }
        ScriptedBackend& backend;
    };

    std::vector<Call> calls;
    QPointer<ReplyStream> stream;  // the latest reply
};

// A skill that answers when the test says so.
struct ScriptedSkill final : Skill {
    ScriptedSkill(const QString& id, bool confirm) : Skill(id, id, confirm) {}
    // Worded in Korean or, in any other language, in English.
    QString summary(const SkillArgs& args, AppLanguage language) const override
    {
        return (language == AppLanguage::korean ? QStringLiteral("요약 ") : QStringLiteral("summary ")) +
               args.value("x");
    }
    void run(const SkillArgs& args, AppLanguage language, Completion done) override
    {
        runs.append(args);
        languages.append(language);
        pending = std::move(done);
    }
    QList<SkillArgs> runs;
    QList<AppLanguage> languages;  // of each run's answer
    Completion pending;
};

// The turn road and the skill confirmation over real parts, with speech, backend and
// skills scripted; the wiring is the engine's.
struct TurnRig {
    TurnRig()
    {
        phase.setOnTransition([this](ConversationPhase from, ConversationPhase to, const QString& reason) {
            state.setPhase(to);
            log.record(QStringLiteral("fsm"), rawValue(from) + QStringLiteral(" → ") + rawValue(to) +
                                                  QStringLiteral(" [") + reason + QLatin1Char(']'));
        });
        speech.onFinishedAll = [this] { voice.handleSpeechFinished(); };
        turnDetector.onTurnEnded = [this](const QString& text, const QString& reason) {
            road.handleDetectedTurn(text, reason);
        };
        registry.add(runSkill);
        registry.add(confirmSkill);
    }

    static void settle() { QCoreApplication::processEvents(); }
    void reply(const QStringList& pieces, bool finish = true)
    {
        for (const QString& piece : pieces)
            backend.stream->push(piece);
        if (finish)
            backend.stream->finish();
        settle();
    }
    void speakAll()
    {
        settle();
        while (player.isSpeaking()) {
            player.finishCurrent();
            settle();
        }
    }
    QStringList spoken() const
    {
        QStringList texts;
        for (const auto& call : player.calls)
            texts.append(call.text);
        return texts;
    }
    QStringList lines(const QString& category) const
    {
        QStringList messages;
        for (const PipelineLog::Entry& entry : log.entries()) {
            if (entry.category == category)
                messages.append(entry.message);
        }
        return messages;
    }
    void listen() { phase.transition(ConversationPhase::listening, QStringLiteral("session start")); }

    ScopedDataRoot root;
    FakeScheduler scheduler;
    UserDefaults defaults{root.base() + QStringLiteral("/defaults.json")};
    AppSettings settings{defaults, AppSettings::Environment{}};
    EngineState state;
    PipelineLog log{scheduler};
    PhaseStateMachine phase{scheduler};
    ConversationHistory history;
    SkillRegistry registry;
    std::shared_ptr<ScriptedSkill> runSkill = std::make_shared<ScriptedSkill>(QStringLiteral("test.run"), false);
    std::shared_ptr<ScriptedSkill> confirmSkill = std::make_shared<ScriptedSkill>(QStringLiteral("test.confirm"), true);
    ScriptedSpeechPlayer player;
    TTSQueue speech{player};
    BargeInDetector bargeIn{scheduler, 350};
    AdaptiveTurnDetector turnDetector{scheduler};
    AssistantVoice voice{phase, speech, bargeIn, settings};
    HistoryRecorder recorder{history, state, scheduler};
    int recognizerResets = 0;
    LiveTranscript transcript{state, log, [this] { ++recognizerResets; }};
    SkillConfirmation confirmation{state, phase,    log,        registry,     settings,
                                   voice, recorder, transcript, turnDetector, scheduler};
    ScriptedBackend backend;
    TurnRoad road{state,        phase,      log,
                  settings,     registry,   recorder,
                  voice,        transcript, turnDetector,
                  confirmation, scheduler,  [this] { return std::make_unique<ScriptedBackend::Client>(backend); }};
};
