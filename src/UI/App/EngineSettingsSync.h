#pragma once

#include <QObject>

class AppSettings;
class EngineCommands;
class EngineState;

// Keeps the running engine in step with the settings it must follow at once: a new speech
// locale, translation target, avatar gender, voice, phase-sound, grayscale,
// diagnostics-logging or telemetry choice makes it re-apply its settings; the camera-gaze switch switches the camera; a
// new mode is applied to the running session, or starts listening when it is off. Everything else the engine reads when
// it next needs it.
//
// Only real changes count: AppSettings announces every assignment, so each watched value is
// compared with the one last seen. Nothing is called at construction.
class EngineSettingsSync final : public QObject {
    Q_OBJECT
public:
    EngineSettingsSync(const AppSettings& settings, const EngineState& engine, EngineCommands& commands,
                       QObject* parent = nullptr);

private:
    // Runs `act` with the new value whenever the setting's value really changes.
    template <typename Getter, typename Signal, typename Action>
    void watch(Getter get, Signal changed, Action act);

    const AppSettings& m_settings;
};
