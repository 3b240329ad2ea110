#pragma once

#include "UI/Models/TalkButtons.h"
#include "UI/Models/WorkState.h"

class AppSettings;
class EngineCommands;
class EngineState;

// What the talk controls do, for their buttons and the window's shortcuts alike. Each press
// reads the state as it is at that moment and does one thing, so a key that follows a
// button acts on what the button shows now, not on what it showed before the last command.
class TalkActions {
public:
    TalkActions(AppSettings& settings, const EngineState& engine, EngineCommands& commands);

    WorkState workState() const;

    // A work-state button as shown; nothing when it is disabled.
    void press(const WorkState::Button& button);
    // Ctrl+Return: the primary work-state button, once.
    void pressPrimary();
    // A talk button (camera, fire, stop speech); nothing while it is disabled in this phase.
    void press(TalkButtons::Kind kind);

private:
    AppSettings& m_settings;
    const EngineState& m_engine;
    EngineCommands& m_commands;
};
