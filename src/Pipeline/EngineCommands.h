#pragma once

#include <QString>

// The operations the window may ask of the conversation engine. The engine implements them;
// widget tests hand views a recording fake. Every call is made on the GUI thread and returns
// at once: work that waits (starting a session, the camera) goes on afterwards, and what
// comes of it shows in EngineState. None reports a failure to the caller; failures show as
// the state's error message and phase, and in the pipeline log.
class EngineCommands {
public:
    virtual ~EngineCommands() = default;

    // Clocks in (starts listening) or out; a repeat of the current choice does nothing, and
    // starts and stops run one after another in the order asked.
    virtual void setEnabled(bool on) = 0;
    // Ends the user's turn now with what has been transcribed; ignored outside listening.
    virtual void fireNow() = 0;
    // Stops the reply being fetched and spoken.
    virtual void stopSpeaking() = 0;
    // Forgets the conversation held in memory (the day files stay) and empties the chat texts.
    virtual void clearHistory() = 0;
    // A typed turn, answered as if spoken; blank text does nothing.
    virtual void submitTextTurn(const QString& text) = 0;
    // Run or drop the skill call waiting for consent; nothing when none waits.
    virtual void approvePendingSkill() = 0;
    virtual void cancelPendingSkill() = 0;
    // Re-reads the settings the running parts use (speech timing, voice, sounds, camera
    // processing, logging, telemetry); the window calls it when one of them changes.
    virtual void applySettings() = 0;
    // Applies the mode setting to the running session without restarting it.
    virtual void applyAppModeChange() = 0;
    // Follows the camera-gaze setting: starts the camera during a session, or stops it.
    virtual void setCameraGaze(bool on) = 0;
    // Rests for an hour while clocked in; the rest window is AppSettings::restingUntil.
    virtual void restNow() = 0;
    // Ends the rest at once; the reason goes to the log ("button" from the clock-in button).
    virtual void wakeFromRest(const QString& reason) = 0;
    // Names a minutes speaker, in the lines already written too; a blank name does nothing.
    virtual void renameSpeaker(int speakerID, const QString& name) = 0;
    // Stores the voice of the last finished utterance as a named speaker; false when there is
    // no minutes capture, no such utterance, or the name is blank.
    virtual bool enrollLastUtterance(const QString& name) = 0;
    // Shows the minutes recording selected in the file manager; nothing without a recording.
    virtual void revealRecordingInFinder() = 0;
    // Empties the pipeline log (the diagnostics views' Clear); recording goes on into it.
    virtual void clearLog() = 0;
};
