#pragma once

#include "Pipeline/EngineCommands.h"
#include "Pipeline/EngineState.h"
#include "Vision/CameraStream.h"

#include <QStringList>

// Stands in for the engine in widget tests: records each command, in order, as one line
// "name(argument, …)", for example "setEnabled(true)" or "renameSpeaker(2, Mina)". Given a
// state to act on, it also changes it as the engine would, at once: clocking in listens,
// clocking out goes idle, firing thinks, stopping the speech listens again.
class RecordingEngineCommands final : public EngineCommands {
public:
    QStringList calls;
    EngineState* actsOn = nullptr;
    bool enrollAnswer = true;  // what enrollSpeaker returns
    // The newest camera preview subscription, for the test to push frames into.
    std::shared_ptr<FrameChannel> cameraPreview;

    void setEnabled(bool on) override
    {
        record("setEnabled", flag(on));
        if (actsOn) {
            actsOn->setEnabled(on);
            actsOn->setPhase(on ? ConversationPhase::listening : ConversationPhase::idle);
        }
    }
    void fireNow() override
    {
        record("fireNow");
        if (actsOn)
            actsOn->setPhase(ConversationPhase::thinking);
    }
    void stopSpeaking() override
    {
        record("stopSpeaking");
        if (actsOn)
            actsOn->setPhase(ConversationPhase::listening);
    }
    void clearHistory() override { record("clearHistory"); }
    void submitTextTurn(const QString& text) override { record("submitTextTurn", text); }
    void approvePendingSkill() override { record("approvePendingSkill"); }
    void cancelPendingSkill() override { record("cancelPendingSkill"); }
    void applySettings() override { record("applySettings"); }
    void applyAppModeChange() override { record("applyAppModeChange"); }
    void setCameraGaze(bool on) override { record("setCameraGaze", flag(on)); }
    void restNow() override { record("restNow"); }
    void wakeFromRest(const QString& reason) override { record("wakeFromRest", reason); }
    void renameSpeaker(int speakerID, const QString& name) override
    {
        record("renameSpeaker", QString::number(speakerID) + QStringLiteral(", ") + name);
    }
    bool enrollSpeaker(int speakerID, const QString& name) override
    {
        record("enrollSpeaker", QString::number(speakerID) + QStringLiteral(", ") + name);
        return enrollAnswer;
    }
    void revealRecordingInFinder() override { record("revealRecordingInFinder"); }
    void clearLog() override { record("clearLog"); }
    // A subscription, not a command: not recorded.
    std::shared_ptr<FrameChannel> subscribeCameraPreview() override
    {
        cameraPreview = std::make_shared<FrameChannel>(CameraStream::kSubscriberCapacity);
        return cameraPreview;
    }

private:
    static QString flag(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }
    void record(const char* name, const QString& arguments = QString())
    {
        calls << QString::fromLatin1(name) + QLatin1Char('(') + arguments + QLatin1Char(')');
    }
};
