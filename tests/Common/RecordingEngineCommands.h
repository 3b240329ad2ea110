#pragma once

#include "Pipeline/EngineCommands.h"

#include <QStringList>

// Stands in for the engine in widget tests: records each command, in order, as one line
// "name(argument, …)", for example "setEnabled(true)" or "renameSpeaker(2, Mina)".
class RecordingEngineCommands final : public EngineCommands {
public:
    QStringList calls;
    bool enrollAnswer = true;  // what enrollLastUtterance returns

    void setEnabled(bool on) override { record("setEnabled", flag(on)); }
    void fireNow() override { record("fireNow"); }
    void stopSpeaking() override { record("stopSpeaking"); }
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
    bool enrollLastUtterance(const QString& name) override
    {
        record("enrollLastUtterance", name);
        return enrollAnswer;
    }
    void revealRecordingInFinder() override { record("revealRecordingInFinder"); }
    void clearLog() override { record("clearLog"); }

private:
    static QString flag(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }
    void record(const char* name, const QString& arguments = QString())
    {
        calls << QString::fromLatin1(name) + QLatin1Char('(') + arguments + QLatin1Char(')');
    }
};
