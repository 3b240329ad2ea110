#pragma once

#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "Pipeline/MicLevelMonitor.h"
#include "Pipeline/MinutesStore.h"
#include "Pipeline/PipelineLog.h"

// Stands in for the conversation engine until it is built: owns what the engine shares with
// the window (its state, log, microphone level and minutes), leaves them at rest, and logs
// each command, which nothing carries out yet. The window opens and works on it, idle.
class EngineStandIn final : public EngineCommands {
public:
    explicit EngineStandIn(const Scheduler& scheduler);

    EngineState state;
    PipelineLog log;
    MicLevelMonitor micLevel;
    MinutesStore minutes;

    void setEnabled(bool on) override;
    void fireNow() override;
    void stopSpeaking() override;
    void clearHistory() override;
    void submitTextTurn(const QString& text) override;
    void approvePendingSkill() override;
    void cancelPendingSkill() override;
    void applySettings() override;
    void applyAppModeChange() override;
    void setCameraGaze(bool on) override;
    void restNow() override;
    void wakeFromRest(const QString& reason) override;
    void renameSpeaker(int speakerID, const QString& name) override;
    bool enrollLastUtterance(const QString& name) override;
    void revealRecordingInFinder() override;
};
